// Read-only files and their mappings on POSIX open/mmap.
#include "platform/win/file_mapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/win/platform.h"

namespace {

class FileObject final : public KernelObject {
public:
    explicit FileObject(int descriptor) : descriptor(descriptor) {}
    ~FileObject() override { close(descriptor); }
    const int descriptor;
};

// A mapping keeps its own descriptor, so closing the file leaves it usable.
class MappingObject final : public KernelObject {
public:
    MappingObject(int descriptor, uint64_t size) : descriptor(descriptor), size(size) {}
    ~MappingObject() override { close(descriptor); }
    const int descriptor;
    const uint64_t size;
};

// Views by address, with their lengths, for UnmapViewOfFile.
std::mutex gViewsLock;
std::unordered_map<const void*, size_t>& Views() {
    static auto* views = new std::unordered_map<const void*, size_t>;
    return *views;
}

const char kEmptyView[1] = {0};

}  // namespace

HANDLE CreateFileA(const char* fileName, DWORD access, DWORD, void*, DWORD creation, DWORD, HANDLE templateFile) {
    TraceCall("CreateFileA");
    if (!fileName || access != GENERIC_READ || creation != OPEN_EXISTING || templateFile) return INVALID_HANDLE_VALUE;
    std::string path(fileName);
    for (char& c : path)
        if (c == '\\') c = '/';
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return INVALID_HANDLE_VALUE;
    struct stat info{};
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(descriptor);
        return INVALID_HANDLE_VALUE;
    }
    return RegisterKernelObject(new FileObject(descriptor));
}

DWORD GetFileSize(HANDLE file, DWORD* sizeHigh) {
    auto* object = dynamic_cast<FileObject*>(FindKernelObject(file));
    struct stat info{};
    if (!object || fstat(object->descriptor, &info) != 0) return INVALID_FILE_SIZE;
    const auto size = static_cast<uint64_t>(info.st_size);
    if (sizeHigh) *sizeHigh = static_cast<DWORD>(size >> 32);
    return static_cast<DWORD>(size);
}

HANDLE CreateFileMappingA(HANDLE file, void*, DWORD protect, DWORD sizeHigh, DWORD sizeLow, const char* name) {
    auto* object = dynamic_cast<FileObject*>(FindKernelObject(file));
    if (!object || protect != PAGE_READONLY || sizeHigh || sizeLow || name) return nullptr;
    struct stat info{};
    if (fstat(object->descriptor, &info) != 0) return nullptr;
    const int descriptor = dup(object->descriptor);
    if (descriptor < 0) return nullptr;
    return RegisterKernelObject(new MappingObject(descriptor, static_cast<uint64_t>(info.st_size)));
}

void* MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes) {
    auto* object = dynamic_cast<MappingObject*>(FindKernelObject(mapping));
    const uint64_t offset = (static_cast<uint64_t>(offsetHigh) << 32) | offsetLow;
    if (!object || access != FILE_MAP_READ || offset > object->size) return nullptr;
    const uint64_t length = bytes ? bytes : object->size - offset;
    if (offset + length > object->size || offset % static_cast<uint64_t>(sysconf(_SC_PAGESIZE)) != 0) return nullptr;
    if (length == 0) return const_cast<char*>(kEmptyView);
    void* view = mmap(nullptr, length, PROT_READ, MAP_PRIVATE, object->descriptor, static_cast<off_t>(offset));
    if (view == MAP_FAILED) return nullptr;
    std::lock_guard lock(gViewsLock);
    Views()[view] = length;
    return view;
}

BOOL UnmapViewOfFile(const void* view) {
    if (view == kEmptyView) return TRUE;
    size_t length = 0;
    {
        std::lock_guard lock(gViewsLock);
        const auto found = Views().find(view);
        if (found == Views().end()) return FALSE;
        length = found->second;
        Views().erase(found);
    }
    return munmap(const_cast<void*>(view), length) == 0 ? TRUE : FALSE;
}
