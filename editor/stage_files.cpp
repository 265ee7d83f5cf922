// Stage files: ./user/sN/stageNNN.clb, 443 little-endian 32-bit words (the
// check word, then the 442 cells in stage order). A set ends at the first
// missing, empty or failing file; saving stops at the first empty stage.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "editor/stage_set.h"

namespace {

// The record as file bytes. A short read leaves the bytes of the previous
// read in place, and the check word decides what to make of them.
uint8_t gRecordBytes[STAGE_FILE_BYTES];

std::string StageFileName(int userSlot, int stageNumber) {
    char name[64];
    std::snprintf(name, sizeof(name), "./user/s%d/stage%03d.clb", userSlot, stageNumber);
    return name;
}

void DecodeRecordBytes() {
    for (int i = 0; i < STAGE_FILE_WORDS; ++i) {
        const uint8_t* b = gRecordBytes + 4 * i;
        const uint32_t value = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
        (i == 0 ? gStageRecord.checkWord : gStageRecord.cells[i - 1]) = static_cast<int32_t>(value);
    }
}

void EncodeRecordBytes(uint8_t* out) {
    for (int i = 0; i < STAGE_FILE_WORDS; ++i) {
        const uint32_t value = static_cast<uint32_t>(i == 0 ? gStageRecord.checkWord : gStageRecord.cells[i - 1]);
        for (int b = 0; b < 4; ++b) out[4 * i + b] = static_cast<uint8_t>(value >> (8 * b));
    }
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Writes the file completely beside the target and then puts it in the
// target's place, so a stage file is never left half-written. A target that
// exists but may not be written stays as it is.
bool ReplaceFileAtomically(const std::string& path, const uint8_t* data, size_t size) {
    std::string target = path;
    struct stat old {};
    const bool exists = lstat(path.c_str(), &old) == 0;
    if (exists && S_ISLNK(old.st_mode)) {
        char resolved[PATH_MAX];
        if (!realpath(path.c_str(), resolved)) return false;
        target = resolved;
        if (stat(target.c_str(), &old) != 0) return false;
    }
    if (exists && (!S_ISREG(old.st_mode) || access(target.c_str(), W_OK) != 0)) return false;

    const size_t slash = target.rfind('/');
    std::string temp = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + ".stage-XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    mode_t mode = 0666;
    if (exists) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode &= ~mask;
    }
    const bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, data, size) && fdatasync(fd) == 0;
    if (close(fd) != 0 || !ok || rename(temp.c_str(), target.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace

size_t ReadStageRecord(FILE* file) {
    const size_t wordsRead = std::fread(gRecordBytes, 4, STAGE_FILE_WORDS, file);
    DecodeRecordBytes();
    return wordsRead;
}

int WriteStageRecord(const char* path) {
    uint8_t bytes[STAGE_FILE_BYTES];
    EncodeRecordBytes(bytes);
    return ReplaceFileAtomically(path, bytes, sizeof(bytes)) ? 1 : 0;
}

void LoadStageFiles(int userSlot) {
    gUserSlot = userSlot;
    bool ended = false;
    for (int i = 0; i < STAGE_COUNT; ++i) {
        const std::string name = StageFileName(userSlot, i + 1);
        if (FILE* file = std::fopen(name.c_str(), "r+b")) {
            ReadStageRecord(file);  // a short file is judged by its check word
            std::fclose(file);
            if (StoreRecordToStage(i) == 1) ended = true;
        } else {
            ended = true;
        }
        if (ended) std::memset(gStageSet.stages[i].cells, 0, sizeof(gStageSet.stages[i].cells));
    }
    for (int k = 0; k < MAP_CELLS; ++k)
        if (gStageSet.stages[0].cells[k] != 0) return;
    BuildSampleStages();
}

int SaveStageFiles() {
    if (gUserSlot == 0) return 1;
    for (int i = 0; i < STAGE_COUNT; ++i) {
        const std::string name = StageFileName(gUserSlot, i + 1);
        if (CopyStageToRecord(i) == 1) break;
        WriteStageRecord(name.c_str());  // a file that cannot be written is skipped
    }
    return 1;
}
