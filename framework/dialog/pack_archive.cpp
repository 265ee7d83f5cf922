// Unpacking pack archives into the current folder, logging each entry's name
// and size and a dot per 32 KB copied. Content goes through one 1024-byte
// buffer; no file is ever held whole.
//
// What the format leaves open is decided for safety: an entry whose file
// cannot be created is logged and its data read over, and unpacking goes on
// with the next entry. A name length below 1 or above 259, a name that would
// lead outside the current folder (absolute, "\"-rooted, a drive letter, a
// ".." component, a zero byte, or through a symbolic link that resolves
// outside), a negative data size, or an archive that ends inside an entry's
// name or size, ends unpacking with a log line. Folders a name needs are
// created. A '\' between folders is a separator, as is '/'.
#include "framework/dialog/pack_archive.h"

#include <algorithm>
#include <string>

#include "framework/dialog/archive_names.h"
#include "framework/dialog/diagnostics.h"

namespace {

// The copy goes 1024 bytes at a time; large stream buffers turn that into a
// few big reads and writes so unpacking runs at the disk's pace.
constexpr size_t STREAM_BUFFER_SIZE = 1 << 20;

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

void CopyData(FILE* archive, FILE* output, int32_t size) {
    char buffer[ARCHIVE_BLOCK_SIZE];
    DebugLog(".");
    const int32_t blocks = size / ARCHIVE_BLOCK_SIZE;
    for (int32_t i = 1; i <= blocks; ++i) {
        const size_t got = std::fread(buffer, 1, ARCHIVE_BLOCK_SIZE, archive);
        std::fwrite(buffer, 1, got, output);
        if (i % ARCHIVE_DOT_BLOCKS == 0) DebugLog(".");
    }
    const size_t rest = static_cast<size_t>(size % ARCHIVE_BLOCK_SIZE);
    const size_t got = std::fread(buffer, 1, rest, archive);
    std::fwrite(buffer, 1, got, output);
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
    std::setvbuf(output, nullptr, _IOFBF, std::min<size_t>(STREAM_BUFFER_SIZE, static_cast<size_t>(dataSize) + 1));
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
    std::setvbuf(archive, nullptr, _IOFBF, STREAM_BUFFER_SIZE);
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
