// The multimedia RIFF file calls: a file opened for buffered reading, chunks
// entered (descend) and left (ascend) by identifier, reads inside them.
#pragma once

#include <cstdio>  // SEEK_SET, SEEK_CUR, SEEK_END for mmioSeek

#include "platform/win/win.h"

using FOURCC = DWORD;
using HMMIO = struct MmioFile*;

constexpr FOURCC mmioFOURCC(char a, char b, char c, char d) {
    return static_cast<FOURCC>(static_cast<uint8_t>(a)) | (static_cast<FOURCC>(static_cast<uint8_t>(b)) << 8) |
           (static_cast<FOURCC>(static_cast<uint8_t>(c)) << 16) | (static_cast<FOURCC>(static_cast<uint8_t>(d)) << 24);
}

struct MMCKINFO {
    FOURCC ckid;          // chunk identifier
    DWORD cksize;         // size of the chunk's data
    FOURCC fccType;       // form type of a RIFF or LIST chunk
    DWORD dwDataOffset;   // file offset of the chunk's data
    DWORD dwFlags;
};

constexpr DWORD MMIO_READ = 0x00000000;
constexpr DWORD MMIO_ALLOCBUF = 0x00010000;
constexpr UINT MMIO_FINDCHUNK = 0x0010;
constexpr UINT MMIO_FINDRIFF = 0x0020;
constexpr UINT MMIO_FINDLIST = 0x0040;
constexpr MMRESULT MMIOERR_CHUNKNOTFOUND = 265;
constexpr MMRESULT MMIOERR_CANNOTSEEK = 261;
constexpr MMRESULT MMIOERR_CANNOTREAD = 259;

// Opens for reading only (MMIO_READ, optionally MMIO_ALLOCBUF); `\` in the
// name separates folders. The info block must be null. Null on failure.
HMMIO mmioOpenA(const char* fileName, void* info, DWORD flags);
MMRESULT mmioClose(HMMIO file, UINT flags);
// Bytes read (fewer at the end of the file), or -1.
LONG mmioRead(HMMIO file, char* buffer, LONG bytes);
// The new position, or -1. origin: SEEK_SET, SEEK_CUR or SEEK_END.
LONG mmioSeek(HMMIO file, LONG offset, int origin);
// Enters the next chunk from the current position; with MMIO_FINDCHUNK,
// MMIO_FINDRIFF or MMIO_FINDLIST, the first whose identifier (and form type)
// is chunk's, within the parent's data when a parent is given. On success
// the position is at the chunk's data (after the form type for RIFF and LIST).
MMRESULT mmioDescend(HMMIO file, MMCKINFO* chunk, const MMCKINFO* parent, UINT flags);
// Moves past the end of the chunk entered, and its pad byte.
MMRESULT mmioAscend(HMMIO file, MMCKINFO* chunk, UINT flags);
