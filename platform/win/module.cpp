// The program's module: its handle, and its file, whose folder tells a
// program where its data is.
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/win/platform.h"
#include "platform/win/win.h"

namespace {

int gModuleAnchor;  // its address is the program's module handle

}  // namespace

HMODULE GetModuleHandleA(const char* moduleName) {
    return moduleName ? nullptr : static_cast<HMODULE>(&gModuleAnchor);
}

DWORD GetModuleFileNameA(HMODULE module, char* fileName, DWORD size) {
    if ((module && module != GetModuleHandleA(nullptr)) || !fileName || size == 0) return 0;
    char native[4096];
    const ssize_t length = readlink("/proc/self/exe", native, sizeof(native) - 1);
    if (length < 0) {
        fileName[0] = '\0';
        return 0;
    }
    native[length] = '\0';
    const std::string path = SystemPath(native);
    // Like the system call, a name that does not fit comes back cut, and its length says so.
    const size_t copied = std::min<size_t>(path.size(), size - 1);
    std::memcpy(fileName, path.data(), copied);
    fileName[copied] = '\0';
    return static_cast<DWORD>(copied == path.size() ? copied : size);
}
