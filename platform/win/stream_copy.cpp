#include "platform/win/stream_copy.h"

#include <unistd.h>

long long CopyStreamBytes(FILE* from, FILE* to, size_t bytes) {
    off_t offset = ftello(from);
    if (offset < 0 || std::fflush(to) != 0) return -1;
    long long copied = 0;
    while (static_cast<size_t>(copied) < bytes) {
        const ssize_t got = copy_file_range(fileno(from), &offset, fileno(to), nullptr, bytes - static_cast<size_t>(copied), 0);
        if (got < 0 && copied == 0) return -1;
        if (got <= 0) break;
        copied += got;
    }
    // The stream's read-ahead is dropped and it goes on after the copied bytes.
    if (fseeko(from, offset, SEEK_SET) != 0) return -1;
    return copied;
}
