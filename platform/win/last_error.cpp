// The thread's last error, and the system's error numbers for this
// machine's errno values.
#include <cerrno>

#include "platform/win/platform.h"
#include "platform/win/win.h"

namespace {

thread_local DWORD gLastError = 0;

}  // namespace

DWORD GetLastError() { return gLastError; }

void SetLastError(DWORD error) { gLastError = error; }

void SetLastErrorFromErrno(int error) {
    switch (error) {
    case ENOENT: gLastError = ERROR_FILE_NOT_FOUND; break;
    case ENOTDIR: gLastError = ERROR_PATH_NOT_FOUND; break;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: gLastError = ERROR_ACCESS_DENIED; break;
    case EEXIST: gLastError = ERROR_FILE_EXISTS; break;
    case ENOSPC:
    case EDQUOT: gLastError = ERROR_DISK_FULL; break;
    case EFBIG: gLastError = ERROR_FILE_TOO_LARGE; break;
    case ELOOP: gLastError = ERROR_CANT_RESOLVE_FILENAME; break;
    case EBADF: gLastError = ERROR_INVALID_HANDLE; break;
    default: gLastError = ERROR_GEN_FAILURE; break;
    }
}
