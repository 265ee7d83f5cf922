// Calls on files by name: renaming, deleting, attributes, and searching a
// folder with a wildcard pattern. Paths come in the system's form.
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/win/kernel_object.h"
#include "platform/win/platform.h"
#include "platform/win/win.h"

namespace {

struct FolderSearch : KernelObject {
    DIR* folder = nullptr;
    std::string nativeFolder;
    std::string pattern;
    ~FolderSearch() override {
        if (folder) closedir(folder);
    }
};

std::string FolderOf(const std::string& nativePath) {
    const size_t slash = nativePath.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : nativePath.substr(0, slash);
}

// The attributes of an entry: lstat's view, with a directory behind a link marked too.
DWORD AttributesOf(const std::string& nativePath) {
    struct stat entry {};
    if (lstat(nativePath.c_str(), &entry) != 0) return INVALID_FILE_ATTRIBUTES;
    DWORD attributes = 0;
    struct stat target = entry;
    if (S_ISLNK(entry.st_mode)) {
        attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
        if (stat(nativePath.c_str(), &target) != 0) target = entry;
    }
    if (S_ISDIR(target.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (!(target.st_mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

// The next entry matching the search's pattern, or false at the end.
bool NextMatch(FolderSearch* search, WIN32_FIND_DATAA* found) {
    while (const dirent* entry = readdir(search->folder)) {
        if (fnmatch(search->pattern.c_str(), entry->d_name, 0) != 0) continue;
        if (std::strlen(entry->d_name) >= sizeof(found->cFileName)) continue;
        *found = {};
        std::strcpy(found->cFileName, entry->d_name);
        found->dwFileAttributes = AttributesOf(search->nativeFolder + "/" + entry->d_name);
        return true;
    }
    return false;
}

}  // namespace

BOOL MoveFileExA(const char* existingName, const char* newName, DWORD flags) {
    TraceCall("MoveFileExA");
    if (!existingName || !newName) return SetLastError(ERROR_GEN_FAILURE), FALSE;
    const std::string from = NativePath(existingName), to = NativePath(newName);
    struct stat entry {};
    if (!(flags & MOVEFILE_REPLACE_EXISTING) && lstat(to.c_str(), &entry) == 0)
        return SetLastError(ERROR_ALREADY_EXISTS), FALSE;
    if (rename(from.c_str(), to.c_str()) != 0) return SetLastErrorFromErrno(errno), FALSE;
    if (flags & MOVEFILE_WRITE_THROUGH) {
        const int folder = open(FolderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const bool flushed = folder >= 0 && fsync(folder) == 0;
        const int error = errno;
        if (folder >= 0) close(folder);
        if (!flushed) return SetLastErrorFromErrno(error), FALSE;
    }
    return TRUE;
}

BOOL DeleteFileA(const char* fileName) {
    TraceCall("DeleteFileA");
    if (!fileName || unlink(NativePath(fileName).c_str()) != 0) return SetLastErrorFromErrno(fileName ? errno : ENOENT), FALSE;
    return TRUE;
}

DWORD GetFileAttributesA(const char* fileName) {
    const DWORD attributes = fileName ? AttributesOf(NativePath(fileName)) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES) SetLastErrorFromErrno(fileName ? errno : ENOENT);
    return attributes;
}

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* found) {
    TraceCall("FindFirstFileA");
    if (!pattern || !found) return SetLastError(ERROR_GEN_FAILURE), INVALID_HANDLE_VALUE;
    const std::string path = NativePath(pattern);
    auto* search = new FolderSearch;
    search->nativeFolder = FolderOf(path);
    search->pattern = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    search->folder = opendir(search->nativeFolder.c_str());
    if (!search->folder) {
        SetLastErrorFromErrno(errno == ENOENT ? ENOTDIR : errno);
        delete search;
        return INVALID_HANDLE_VALUE;
    }
    if (!NextMatch(search, found)) {
        delete search;
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return RegisterKernelObject(search);
}

BOOL FindNextFileA(HANDLE handle, WIN32_FIND_DATAA* found) {
    auto* search = dynamic_cast<FolderSearch*>(LookUpKernelObject(handle));
    if (!search || !found) return SetLastError(ERROR_INVALID_HANDLE), FALSE;
    if (!NextMatch(search, found)) return SetLastError(ERROR_NO_MORE_FILES), FALSE;
    return TRUE;
}

BOOL FindClose(HANDLE handle) {
    if (!dynamic_cast<FolderSearch*>(LookUpKernelObject(handle))) return SetLastError(ERROR_INVALID_HANDLE), FALSE;
    return CloseHandle(handle);
}
