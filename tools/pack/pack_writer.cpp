// The pack archive writer.
#include "tools/pack/pack_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr uint32_t HEADER = 0x50523233;
constexpr size_t LONGEST_NAME = 259;
constexpr size_t BUFFER_SIZE = 64 * 1024;

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

bool PutInt32(FILE* out, uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return std::fwrite(bytes, 1, 4, out) == 4;
}

std::string StoredName(const fs::path& path) {
    std::string name;
    for (const fs::path& part : path) {
        if (part == ".") continue;
        if (!name.empty()) name += '\\';
        name += part.string();
    }
    return name;
}

bool PackFile(FILE* out, const fs::path& path, std::string* error) {
    const std::string name = StoredName(path);
    std::error_code code;
    const uintmax_t size = fs::file_size(path, code);
    if (code) return *error = path.string() + ": " + code.message(), false;
    if (name.size() > LONGEST_NAME) return *error = name + ": the name is longer than 259 bytes", false;
    if (size > INT32_MAX) return *error = name + ": the file is 2 GB or larger", false;
    File in(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!in) return *error = path.string() + ": cannot be read", false;
    if (!PutInt32(out, static_cast<uint32_t>(name.size())) || std::fwrite(name.data(), 1, name.size(), out) != name.size() ||
        !PutInt32(out, static_cast<uint32_t>(size)))
        return *error = "cannot write the archive", false;
    std::vector<char> buffer(BUFFER_SIZE);
    for (uintmax_t left = size; left > 0;) {
        const size_t got = std::fread(buffer.data(), 1, std::min<uintmax_t>(left, buffer.size()), in.get());
        if (got == 0) return *error = path.string() + ": changed while it was packed", false;
        if (std::fwrite(buffer.data(), 1, got, out) != got) return *error = "cannot write the archive", false;
        left -= got;
    }
    return true;
}

bool PackPath(FILE* out, const fs::path& path, std::string* error) {
    std::error_code code;
    if (!fs::is_directory(path, code)) return PackFile(out, path, error);
    std::vector<fs::path> children;
    for (const fs::directory_entry& entry : fs::directory_iterator(path, code)) children.push_back(entry.path());
    if (code) return *error = path.string() + ": " + code.message(), false;
    std::sort(children.begin(), children.end());
    for (const fs::path& child : children)
        if (!PackPath(out, child, error)) return false;
    return true;
}

}  // namespace

bool WritePackArchive(const std::string& archivePath, const std::vector<std::string>& paths, std::string* error) {
    for (const std::string& path : paths) {
        const fs::path p(path);
        if (p.is_absolute() || std::find(p.begin(), p.end(), "..") != p.end())
            return *error = path + ": only paths inside the current folder can be packed", false;
    }
    File out(std::fopen(archivePath.c_str(), "wb"), std::fclose);
    if (!out) return *error = archivePath + ": cannot be created", false;
    if (!PutInt32(out.get(), HEADER)) return *error = "cannot write the archive", false;
    for (const std::string& path : paths)
        if (!PackPath(out.get(), path, error)) return false;
    if (std::fflush(out.get()) != 0) return *error = "cannot write the archive", false;
    return true;
}
