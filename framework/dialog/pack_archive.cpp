// Unpacking pack archives into the current folder, logging each entry's name
// and size and a dot per 32 KB copied. Between regular files the kernel
// copies the content; elsewhere it goes through one 1024-byte buffer. No file
// is ever held whole.
//
// What the format leaves open is decided for safety: an entry whose file
// cannot be created is logged and its data read over, and unpacking goes on
// with the next entry. A name length below 1 or above 259, a name that would
// lead outside the current folder (absolute, "\"-rooted, a drive letter, a
// ".." component, a zero byte, or through a symbolic link that resolves
// outside), a negative data size, or an archive that ends inside an entry's
// name or size, ends unpacking with a log line. An entry whose data the
// archive does not hold to its declared end gets what the archive holds, and
// copying stops there: the progress dots count the blocks actually copied, so
// a huge declared size over a few bytes costs neither time nor log lines.
// Folders a name needs are created. A '\' between folders is a separator, as
// is '/'.
#include "framework/dialog/pack_archive.h"

#include <algorithm>
#include <string>

#include "framework/dialog/archive_names.h"
#include "framework/dialog/diagnostics.h"
#include "platform/win/stream_copy.h"

namespace {


bool ReadInt32(FILE* file, int32_t* value) {
    uint8_t bytes[4];
    if (std::fread(bytes, 1, 4, file) != 4) return false;
    *value = static_cast<int32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24);
    return true;
}

// Reads over size bytes; false when the archive ends first.
bool SkipData(FILE* archive, int32_t size) {
    char buffer[ARCHIVE_BLOCK_SIZE];
    for (int32_t left = size; left > 0;) {
        const size_t got = std::fread(buffer, 1, static_cast<size_t>(std::min(left, ARCHIVE_BLOCK_SIZE)), archive);
        if (got == 0) return false;
        left -= static_cast<int32_t>(got);
    }
    return true;
}

// One run of whole blocks (or the last part block): between regular files the
// kernel copies it, elsewhere it goes through the 1024-byte buffer. False when
// the archive ends first; what it held is written.
bool CopyBlocks(FILE* archive, FILE* output, size_t bytes, bool* byKernel) {
    if (*byKernel) {
        const long long copied = CopyStreamBytes(archive, output, bytes);
        if (copied > 0) bytes -= static_cast<size_t>(copied);
        if (bytes == 0) return true;
        *byKernel = false;  // the rest the plain way, which finds where the archive ends
    }
    char buffer[ARCHIVE_BLOCK_SIZE];
    for (size_t left = bytes; left > 0;) {
        const size_t block = std::min<size_t>(left, ARCHIVE_BLOCK_SIZE);
        const size_t got = std::fread(buffer, 1, block, archive);
        std::fwrite(buffer, 1, got, output);
        if (got < block) return false;
        left -= block;
    }
    return true;
}

// The data in runs of 32 blocks, a progress dot after each, up to the
// declared size or the end of the archive, whichever comes first.
void CopyData(FILE* archive, FILE* output, int32_t size) {
    DebugLog(".");
    bool byKernel = true;
    const int32_t blocks = size / ARCHIVE_BLOCK_SIZE;
    for (int32_t done = 0; done < blocks;) {
        const int32_t run = std::min(blocks - done, ARCHIVE_DOT_BLOCKS);
        if (!CopyBlocks(archive, output, static_cast<size_t>(run) * ARCHIVE_BLOCK_SIZE, &byKernel)) return;
        done += run;
        if (done % ARCHIVE_DOT_BLOCKS == 0) DebugLog(".");
    }
    CopyBlocks(archive, output, static_cast<size_t>(size % ARCHIVE_BLOCK_SIZE), &byKernel);
}

}  // namespace

int ExtractArchiveEntry(FILE* archive) {
    char name[ARCHIVE_NAME_MAX + 1] = {};
    int32_t nameLength = 0;
    if (!ReadInt32(archive, &nameLength)) return 1;
    if (nameLength < 1 || nameLength > ARCHIVE_NAME_MAX) {
        DebugLog("名前の長さ %ld は扱えません。展開を終了します。\n", static_cast<long>(nameLength));
        return 1;
    }
    int32_t dataSize = 0;
    if (std::fread(name, 1, static_cast<size_t>(nameLength), archive) != static_cast<size_t>(nameLength) ||
        !ReadInt32(archive, &dataSize)) {
        DebugLog("アーカイブが途中で終わっています。展開を終了します。\n");
        return 1;
    }
    if (dataSize < 0) {
        DebugLog("%s : データの大きさ %ld は扱えません。展開を終了します。\n", name, static_cast<long>(dataSize));
        return 1;
    }
    std::string path;
    if (!ArchiveNameToPath(name, nameLength, &path) || !PrepareArchiveOutput(path)) {
        DebugLog("%s : カレントフォルダの外を指す名前です。展開を終了します。\n", name);
        return 1;
    }

    DebugLog("%-24s %9ld byte", name, static_cast<long>(dataSize));
    FILE* output = std::fopen(path.c_str(), "wb");
    if (!output) {
        DebugLog("\nopen error.\n");
        SkipData(archive, dataSize);
        return 0;
    }
    CopyData(archive, output, dataSize);
    DebugLog("\n");
    std::fclose(output);
    return 0;
}

int UnpackArchive(const char* path) {
    FILE* archive = std::fopen(path, "rb");
    if (!archive) {
        DebugLog("[%s] : open error.", path);
        return 0;
    }
    int32_t header = 0;
    if (!ReadInt32(archive, &header) || static_cast<uint32_t>(header) != ARCHIVE_HEADER) {
        DebugLog("[%s] : header error.\n", path);
        std::fclose(archive);
        return 0;
    }
    while (ExtractArchiveEntry(archive) == 0) {
    }
    std::fclose(archive);
    return 1;
}
