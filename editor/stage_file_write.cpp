// Crash-safe stage file writes on the system's file calls.
#include "editor/stage_file_write.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "framework/dialog/diagnostics.h"

namespace {

constexpr char TEMPORARY_PREFIX[] = ".stage-";
constexpr size_t TEMPORARY_RANDOM_CHARS = 6;

// Why a file could not be written, for the log.
const char* Reason(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS: return "書き込みが許可されていません";
    case EISDIR: return "ファイルではありません";
    case ENOSPC:
    case EDQUOT: return "ディスクの空きが足りません";
    case EFBIG: return "ファイルサイズの上限を超えます";
    case ENOENT:
    case ENOTDIR: return "フォルダがありません";
    case ELOOP: return "シンボリックリンクが循環しています";
    default: return "書き込みに失敗しました";
    }
}

bool Fail(const std::string& path, int error) {
    DebugLog("ステージファイル[%s]を保存できません: %s\n", path.c_str(), Reason(error));
    return false;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return false;
        if (written == 0) {
            errno = ENOSPC;
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Truncates, writes and flushes an open file; errno tells why not.
bool WriteInPlace(int fd, const uint8_t* bytes, size_t size) {
    return ftruncate(fd, 0) == 0 && lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, bytes, size) && fdatasync(fd) == 0;
}

bool WriteInPlaceAndClose(const std::string& path, int fd, const uint8_t* bytes, size_t size) {
    const bool ok = WriteInPlace(fd, bytes, size);
    const int error = errno;
    if (close(fd) != 0 && ok) return Fail(path, errno);
    return ok || Fail(path, error);
}

void FlushFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

// Writes a complete copy beside target and renames it into place; -1 when no
// temporary file can be made there (the caller writes in place), else 1 for
// success and 0 for a failure already logged.
int ReplaceAtomically(const std::string& path, const std::string& target, mode_t mode, const uint8_t* bytes,
                      size_t size) {
    const std::string folder = FolderOf(target);
    std::string temporary = folder + "/" + TEMPORARY_PREFIX + std::string(TEMPORARY_RANDOM_CHARS, 'X');
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, bytes, size) && fdatasync(fd) == 0;
    int error = errno;
    if (close(fd) != 0 && ok) ok = false, error = errno;
    if (ok && rename(temporary.c_str(), target.c_str()) != 0) ok = false, error = errno;
    if (!ok) {
        unlink(temporary.c_str());
        Fail(path, error);
        return 0;
    }
    FlushFolder(folder);
    return 1;
}

bool IsStaleTemporaryName(const char* name) {
    const size_t prefix = sizeof(TEMPORARY_PREFIX) - 1;
    if (std::strncmp(name, TEMPORARY_PREFIX, prefix) != 0 || std::strlen(name) != prefix + TEMPORARY_RANDOM_CHARS)
        return false;
    for (size_t i = prefix; i < prefix + TEMPORARY_RANDOM_CHARS; ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
    return true;
}

}  // namespace

bool WriteStageFile(const std::string& path, const uint8_t* bytes, size_t size) {
    struct stat entry {};
    if (lstat(path.c_str(), &entry) != 0) {
        if (errno != ENOENT) return Fail(path, errno);
        // A new file: made complete beside its place, or in place where the folder allows no more.
        const mode_t mask = umask(0);
        umask(mask);
        const int made = ReplaceAtomically(path, path, 0666 & ~mask, bytes, size);
        if (made >= 0) return made == 1;
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        return fd >= 0 ? WriteInPlaceAndClose(path, fd, bytes, size) : Fail(path, errno);
    }

    std::string target = path;
    if (S_ISLNK(entry.st_mode)) {
        char resolved[PATH_MAX];
        if (!realpath(path.c_str(), resolved)) {
            if (errno != ENOENT) return Fail(path, errno);
            // A dangling link: opening it for writing makes its target.
            const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
            return fd >= 0 ? WriteInPlaceAndClose(path, fd, bytes, size) : Fail(path, errno);
        }
        target = resolved;
        if (stat(target.c_str(), &entry) != 0) return Fail(path, errno);
    }
    if (!S_ISREG(entry.st_mode)) return Fail(path, S_ISDIR(entry.st_mode) ? EISDIR : EINVAL);
    // The file must be writable as it is: a read-only stage file stays as it was.
    const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return Fail(path, errno);
    if (entry.st_nlink == 1) {
        const int replaced = ReplaceAtomically(path, target, entry.st_mode & 07777, bytes, size);
        if (replaced >= 0) {
            close(fd);
            return replaced == 1;
        }
    }
    return WriteInPlaceAndClose(path, fd, bytes, size);
}

void RemoveStaleStageTemporaries(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = readdir(dir))
        if (IsStaleTemporaryName(entry->d_name)) unlinkat(dirfd(dir), entry->d_name, 0);
    closedir(dir);
}
