// The program's module: its handle, and its file, whose folder tells a
// program where its data is.
#include <unistd.h>

#include <cstring>

#include "platform/win/win.h"

namespace {

int gModuleAnchor;  // its address is the program's module handle

}  // namespace

HMODULE GetModuleHandleA(const char* moduleName) {
    return moduleName ? nullptr : static_cast<HMODULE>(&gModuleAnchor);
}

DWORD GetModuleFileNameA(HMODULE module, char* fileName, DWORD size) {
    if (module || !fileName || size == 0) return 0;
    const ssize_t length = readlink("/proc/self/exe", fileName, size - 1);
    if (length < 0) {
        fileName[0] = '\0';
        return 0;
    }
    fileName[length] = '\0';
    // Like the system call, a name that did not fit comes back cut and says so by its length.
    return static_cast<DWORD>(length);
}
