// RIFF files read through stdio's buffer. Chunks are an identifier, a
// little-endian 32-bit size and the data, padded to an even length; RIFF and
// LIST chunks begin their data with a form type.
#include "platform/win/mmio.h"

#include <cstdio>
#include <string>

struct MmioFile {
    std::FILE* file;
};

namespace {

constexpr FOURCC RIFF = mmioFOURCC('R', 'I', 'F', 'F');
constexpr FOURCC LIST = mmioFOURCC('L', 'I', 'S', 'T');

bool ReadWord(std::FILE* file, DWORD* value) {
    uint8_t b[4];
    if (std::fread(b, 1, 4, file) != 4) return false;
    *value = static_cast<DWORD>(b[0]) | (static_cast<DWORD>(b[1]) << 8) | (static_cast<DWORD>(b[2]) << 16) |
             (static_cast<DWORD>(b[3]) << 24);
    return true;
}

bool Matches(const MMCKINFO& found, const MMCKINFO& wanted, UINT flags) {
    if (flags & MMIO_FINDCHUNK) return found.ckid == wanted.ckid;
    if (flags & MMIO_FINDRIFF) return found.ckid == RIFF && found.fccType == wanted.fccType;
    if (flags & MMIO_FINDLIST) return found.ckid == LIST && found.fccType == wanted.fccType;
    return true;
}

}  // namespace

HMMIO mmioOpenA(const char* fileName, void* info, DWORD flags) {
    if (!fileName || info || (flags & ~MMIO_ALLOCBUF) != MMIO_READ) return nullptr;
    std::string path(fileName);
    for (char& c : path)
        if (c == '\\') c = '/';
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return nullptr;
    return new MmioFile{file};
}

MMRESULT mmioClose(HMMIO file, UINT) {
    if (!file) return MMIOERR_CANNOTREAD;
    std::fclose(file->file);
    delete file;
    return 0;
}

LONG mmioRead(HMMIO file, char* buffer, LONG bytes) {
    if (!file || !buffer || bytes < 0) return -1;
    return static_cast<LONG>(std::fread(buffer, 1, static_cast<size_t>(bytes), file->file));
}

LONG mmioSeek(HMMIO file, LONG offset, int origin) {
    if (!file || std::fseek(file->file, offset, origin) != 0) return -1;
    const long position = std::ftell(file->file);
    return position < 0 || position > INT32_MAX ? -1 : static_cast<LONG>(position);
}

MMRESULT mmioDescend(HMMIO file, MMCKINFO* chunk, const MMCKINFO* parent, UINT flags) {
    if (!file || !chunk) return MMIOERR_CANNOTREAD;
    const uint64_t parentEnd = parent ? static_cast<uint64_t>(parent->dwDataOffset) + parent->cksize : UINT64_MAX;
    for (;;) {
        const long start = std::ftell(file->file);
        if (start < 0 || static_cast<uint64_t>(start) + 8 > parentEnd) return MMIOERR_CHUNKNOTFOUND;
        MMCKINFO found{};
        if (!ReadWord(file->file, &found.ckid) || !ReadWord(file->file, &found.cksize)) return MMIOERR_CHUNKNOTFOUND;
        found.dwDataOffset = static_cast<DWORD>(start + 8);
        const bool form = found.ckid == RIFF || found.ckid == LIST;
        if (form && !ReadWord(file->file, &found.fccType)) return MMIOERR_CHUNKNOTFOUND;
        if (Matches(found, *chunk, flags)) {
            *chunk = found;
            return 0;
        }
        // Skip the whole chunk and its pad byte.
        const uint64_t next = static_cast<uint64_t>(found.dwDataOffset) + found.cksize + (found.cksize & 1);
        if (next > INT32_MAX || std::fseek(file->file, static_cast<long>(next), SEEK_SET) != 0)
            return MMIOERR_CHUNKNOTFOUND;
    }
}

MMRESULT mmioAscend(HMMIO file, MMCKINFO* chunk, UINT) {
    if (!file || !chunk) return MMIOERR_CANNOTSEEK;
    const uint64_t end = static_cast<uint64_t>(chunk->dwDataOffset) + chunk->cksize + (chunk->cksize & 1);
    if (end > INT32_MAX || std::fseek(file->file, static_cast<long>(end), SEEK_SET) != 0) return MMIOERR_CANNOTSEEK;
    return 0;
}
