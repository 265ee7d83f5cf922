// Files and read-only file mappings on POSIX descriptors and mmap, and the
// working directory. Paths come in the system's form (see NativePath).
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <mutex>
#include <unordered_map>

#include "platform/win/kernel_object.h"
#include "platform/win/platform.h"
#include "platform/win/win.h"

namespace {

struct FileObject : KernelObject {
    int descriptor = -1;
    ~FileObject() override {
        if (descriptor >= 0) close(descriptor);
    }
};

// A mapping keeps its own descriptor, so it outlives the file's handle as the system's does.
struct MappingObject : KernelObject {
    int descriptor = -1;
    size_t size = 0;
    ~MappingObject() override {
        if (descriptor >= 0) close(descriptor);
    }
};

// Views by address, with their lengths for munmap.
std::mutex gViewsLock;
std::unordered_map<const void*, size_t> gViews;

FileObject* AsFile(HANDLE handle) { return dynamic_cast<FileObject*>(LookUpKernelObject(handle)); }

}  // namespace

HANDLE CreateFileA(const char* fileName, DWORD access, DWORD, void*, DWORD creation, DWORD, HANDLE templateFile) {
    TraceCall("CreateFileA");
    if (!fileName || (creation != OPEN_EXISTING && creation != CREATE_ALWAYS && creation != CREATE_NEW)) {
        SetLastError(ERROR_GEN_FAILURE);
        return INVALID_HANDLE_VALUE;
    }
    int flags = O_CLOEXEC;
    const bool reads = access & GENERIC_READ, writes = access & GENERIC_WRITE;
    flags |= reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
    if (creation == CREATE_ALWAYS) flags |= O_CREAT | O_TRUNC;
    if (creation == CREATE_NEW) flags |= O_CREAT | O_EXCL;
    const int descriptor = open(NativePath(fileName).c_str(), flags, 0666);
    if (descriptor < 0) {
        SetLastErrorFromErrno(errno);
        return INVALID_HANDLE_VALUE;
    }
    struct stat info {};
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {  // folders and devices are not files here
        close(descriptor);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    struct stat model {};
    if (creation != OPEN_EXISTING && AsFile(templateFile) && fstat(AsFile(templateFile)->descriptor, &model) == 0)
        fchmod(descriptor, model.st_mode & 07777);
    auto* file = new FileObject;
    file->descriptor = descriptor;
    SetLastError(0);
    return RegisterKernelObject(file);
}

BOOL ReadFile(HANDLE handle, void* buffer, DWORD bytesToRead, DWORD* bytesRead, void*) {
    if (bytesRead) *bytesRead = 0;
    FileObject* file = AsFile(handle);
    if (!file || (!buffer && bytesToRead)) return FALSE;
    DWORD done = 0;
    while (done < bytesToRead) {
        const ssize_t n = read(file->descriptor, static_cast<char*>(buffer) + done, bytesToRead - done);
        if (n < 0) return FALSE;
        if (n == 0) break;
        done += static_cast<DWORD>(n);
    }
    if (bytesRead) *bytesRead = done;
    return TRUE;
}

BOOL WriteFile(HANDLE handle, const void* buffer, DWORD bytesToWrite, DWORD* bytesWritten, void*) {
    if (bytesWritten) *bytesWritten = 0;
    FileObject* file = AsFile(handle);
    if (!file || (!buffer && bytesToWrite)) return FALSE;
    DWORD done = 0;
    while (done < bytesToWrite) {
        const ssize_t n = write(file->descriptor, static_cast<const char*>(buffer) + done, bytesToWrite - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            SetLastErrorFromErrno(n == 0 ? ENOSPC : errno);
            if (bytesWritten) *bytesWritten = done;
            return FALSE;
        }
        done += static_cast<DWORD>(n);
    }
    if (bytesWritten) *bytesWritten = done;
    return TRUE;
}

DWORD GetFileSize(HANDLE handle, DWORD* sizeHigh) {
    FileObject* file = AsFile(handle);
    struct stat info {};
    if (!file || fstat(file->descriptor, &info) != 0) return INVALID_FILE_SIZE;
    const auto size = static_cast<uint64_t>(info.st_size);
    if (sizeHigh) *sizeHigh = static_cast<DWORD>(size >> 32);
    return static_cast<DWORD>(size);
}

DWORD SetFilePointer(HANDLE handle, LONG distance, LONG* distanceHigh, DWORD method) {
    FileObject* file = AsFile(handle);
    const int whence = method == FILE_BEGIN ? SEEK_SET : method == FILE_CURRENT ? SEEK_CUR : SEEK_END;
    const int64_t offset = distanceHigh ? (int64_t{*distanceHigh} << 32) | static_cast<uint32_t>(distance) : distance;
    const off_t position = file ? lseek(file->descriptor, offset, whence) : -1;
    if (position < 0) {
        SetLastErrorFromErrno(file ? errno : EBADF);
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh) *distanceHigh = static_cast<LONG>(position >> 32);
    return static_cast<DWORD>(position);
}

BOOL SetEndOfFile(HANDLE handle) {
    FileObject* file = AsFile(handle);
    const off_t position = file ? lseek(file->descriptor, 0, SEEK_CUR) : -1;
    if (position < 0 || ftruncate(file->descriptor, position) != 0) {
        SetLastErrorFromErrno(file ? errno : EBADF);
        return FALSE;
    }
    return TRUE;
}

BOOL FlushFileBuffers(HANDLE handle) {
    FileObject* file = AsFile(handle);
    if (!file || fdatasync(file->descriptor) != 0) {
        SetLastErrorFromErrno(file ? errno : EBADF);
        return FALSE;
    }
    return TRUE;
}

BOOL GetFileInformationByHandle(HANDLE handle, BY_HANDLE_FILE_INFORMATION* information) {
    FileObject* file = AsFile(handle);
    struct stat info {};
    if (!file || !information || fstat(file->descriptor, &info) != 0) {
        SetLastErrorFromErrno(file ? errno : EBADF);
        return FALSE;
    }
    *information = {};
    information->dwFileAttributes = (info.st_mode & S_IWUSR) ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
    information->nFileSizeHigh = static_cast<DWORD>(static_cast<uint64_t>(info.st_size) >> 32);
    information->nFileSizeLow = static_cast<DWORD>(info.st_size);
    information->nNumberOfLinks = static_cast<DWORD>(info.st_nlink);
    information->nFileIndexHigh = static_cast<DWORD>(static_cast<uint64_t>(info.st_ino) >> 32);
    information->nFileIndexLow = static_cast<DWORD>(info.st_ino);
    return TRUE;
}

DWORD GetFinalPathNameByHandleA(HANDLE handle, char* path, DWORD size, DWORD) {
    FileObject* file = AsFile(handle);
    char native[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(file ? file->descriptor : -1);
    const ssize_t length = file ? readlink(link.c_str(), native, sizeof(native) - 1) : -1;
    if (length <= 0) {
        SetLastErrorFromErrno(file ? errno : EBADF);
        return 0;
    }
    const std::string system = SystemPath(std::string(native, static_cast<size_t>(length)));
    if (!path || size <= system.size()) return static_cast<DWORD>(system.size() + 1);
    std::memcpy(path, system.c_str(), system.size() + 1);
    return static_cast<DWORD>(system.size());
}

// Read-only mappings of a whole file (sizes 0 and 0), as the framework asks for them.
HANDLE CreateFileMappingA(HANDLE handle, void*, DWORD protect, DWORD sizeHigh, DWORD sizeLow, const char*) {
    TraceCall("CreateFileMappingA");
    FileObject* file = AsFile(handle);
    if (!file || protect != PAGE_READONLY || sizeHigh || sizeLow) return nullptr;
    struct stat info {};
    if (fstat(file->descriptor, &info) != 0 || info.st_size == 0) return nullptr;  // an empty file cannot be mapped
    const int descriptor = fcntl(file->descriptor, F_DUPFD_CLOEXEC, 0);
    if (descriptor < 0) return nullptr;
    auto* mapping = new MappingObject;
    mapping->descriptor = descriptor;
    mapping->size = static_cast<size_t>(info.st_size);
    return RegisterKernelObject(mapping);
}

void* MapViewOfFile(HANDLE handle, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes) {
    auto* mapping = dynamic_cast<MappingObject*>(LookUpKernelObject(handle));
    if (!mapping || access != FILE_MAP_READ || offsetHigh || offsetLow || bytes > mapping->size) return nullptr;
    const size_t length = bytes ? bytes : mapping->size;
    void* view = mmap(nullptr, length, PROT_READ, MAP_PRIVATE, mapping->descriptor, 0);
    if (view == MAP_FAILED) return nullptr;
    std::lock_guard lock(gViewsLock);
    gViews[view] = length;
    return view;
}

BOOL UnmapViewOfFile(const void* view) {
    std::lock_guard lock(gViewsLock);
    const auto found = gViews.find(view);
    if (found == gViews.end()) return FALSE;
    munmap(const_cast<void*>(view), found->second);
    gViews.erase(found);
    return TRUE;
}

DWORD GetCurrentDirectoryA(DWORD size, char* buffer) {
    char native[PATH_MAX];
    if (!getcwd(native, sizeof(native))) return 0;
    const std::string path = SystemPath(native);
    // Too small a buffer: nothing is written and the size needed (with its terminator) comes back.
    if (!buffer || size <= path.size()) return static_cast<DWORD>(path.size() + 1);
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}
