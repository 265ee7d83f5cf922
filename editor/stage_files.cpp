// Stage files: ./user/sN/stageNNN.clb, 443 little-endian 32-bit words (the
// check word, then the 442 cells in stage order). A set ends at the first
// missing, empty or failing file; saving stops at the first empty stage.
#include <cstdio>
#include <cstring>
#include <string>

#include "editor/stage_file_write.h"
#include "editor/stage_set.h"

namespace {

// The record as file bytes. A short read leaves the bytes of the previous
// read in place, and the check word decides what to make of them.
uint8_t gRecordBytes[STAGE_FILE_BYTES];

std::string SlotFolder(int userSlot) { return "./user/s" + std::to_string(userSlot); }

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

}  // namespace

size_t ReadStageRecord(FILE* file) {
    const size_t wordsRead = std::fread(gRecordBytes, 4, STAGE_FILE_WORDS, file);
    DecodeRecordBytes();
    return wordsRead;
}

int WriteStageRecord(const char* path) {
    uint8_t bytes[STAGE_FILE_BYTES];
    EncodeRecordBytes(bytes);
    return WriteStageFile(path, bytes, sizeof(bytes)) ? 1 : 0;
}

void LoadStageFiles(int userSlot) {
    gUserSlot = userSlot;
    RemoveStaleStageTemporaries(SlotFolder(userSlot));
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
    RemoveStaleStageTemporaries(SlotFolder(gUserSlot));
    for (int i = 0; i < STAGE_COUNT; ++i) {
        const std::string name = StageFileName(gUserSlot, i + 1);
        if (CopyStageToRecord(i) == 1) break;
        WriteStageRecord(name.c_str());  // a file that cannot be written is skipped (and logged)
    }
    return 1;
}
