// Pack archives: files one after another, each with its path and size, after
// the header word "32RP". Unpacking recreates them under the current folder.
#pragma once

#include <cstdint>
#include <cstdio>

constexpr uint32_t ARCHIVE_HEADER = 0x50523233;  // the bytes 33 32 52 50
constexpr int ARCHIVE_NAME_MAX = 259;
constexpr int ARCHIVE_BLOCK_SIZE = 1024;
constexpr int ARCHIVE_DOT_BLOCKS = 32;  // one progress dot per 32 blocks

// 1 when the archive was unpacked, 0 when it could not be opened or its header is wrong.
int UnpackArchive(const char* path);
// Handles the next entry: 0 when one was handled, 1 at the end of the archive
// (or where an entry is refused and unpacking stops).
int ExtractArchiveEntry(FILE* archive);
