// The safety rules of pack-archive names. Nothing an archive says may lead a
// write outside the current folder: names are relative and never climb, and
// the folders on the way (made where missing) and the file itself must not
// be symbolic links that resolve outside.
#include "framework/dialog/archive_names.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool IsLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

bool IsInside(const fs::path& path, const fs::path& folder) {
    const auto [end, _] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return end == folder.end();
}

// Where a symbolic link leads, resolved as far as it exists.
fs::path Resolved(const fs::path& link) {
    std::error_code error;
    fs::path target = fs::read_symlink(link, error);
    if (error) return {};
    if (target.is_relative()) target = link.parent_path() / target;
    return fs::weakly_canonical(target, error);
}

}  // namespace

bool ArchiveNameToPath(const char* name, int length, std::string* path) {
    std::vector<std::string> parts(1);
    for (int i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (byte == 0) return false;
        if (IsLeadByte(byte) && i + 1 < length) {
            parts.back() += name[i];
            parts.back() += name[++i];
        } else if (byte == '\\' || byte == '/') {
            // A separator first is a root: "\dir" as much as "/dir".
            if (i == 0) return false;
            parts.emplace_back();
        } else {
            parts.back() += name[i];
        }
    }
    path->clear();
    for (const std::string& part : parts) {
        if (part == "..") return false;
        if (part.size() >= 2 && part[1] == ':') return false;  // "C:", "C:name"
        if (part.empty() || part == ".") continue;
        if (!path->empty()) *path += '/';
        *path += part;
    }
    return !path->empty();
}

bool PrepareArchiveOutput(const std::string& path) {
    std::error_code error;
    const fs::path base = fs::canonical(fs::current_path(error), error);
    if (error) return false;
    fs::path at = base;
    const fs::path relative(path);
    for (auto part = relative.begin(); part != relative.end(); ++part) {
        at /= *part;
        const bool last = std::next(part) == relative.end();
        const fs::file_status status = fs::symlink_status(at, error);
        if (fs::is_symlink(status)) {
            const fs::path target = Resolved(at);
            if (target.empty() || !IsInside(target, base)) return false;
        } else if (!last && !fs::exists(status)) {
            // A folder that cannot be made shows when the file cannot be opened.
            fs::create_directory(at, error);
        }
    }
    return true;
}
