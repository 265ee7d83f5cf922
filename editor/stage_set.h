// The stage data of one user slot: 100 stages of 13 x 34 cells, the scratch
// record used for every stage file, and the load, sample and save rules.
#pragma once

#include <cstdint>

constexpr int MAP_COLUMNS = 13;
constexpr int MAP_ROWS = 34;
constexpr int MAP_CELLS = MAP_COLUMNS * MAP_ROWS;  // 442, stored column by column
constexpr int CELL_MAX = 200;
constexpr int STAGE_COUNT = 100;
constexpr int USER_SLOT_COUNT = 3;
constexpr int CHECKED_CELLS = 99;
constexpr int STAGE_FILE_WORDS = 1 + MAP_CELLS;         // check word + cells
constexpr int STAGE_FILE_BYTES = 4 * STAGE_FILE_WORDS;  // 1772

struct StageMap {
    int32_t cells[MAP_CELLS];  // cell (column c, row r) is cells[34 * c + r]
};

struct StageSet {
    StageMap stages[STAGE_COUNT];
};

struct StageFileRecord {
    int32_t checkWord;
    int32_t cells[MAP_CELLS];
};

extern StageSet gStageSet;
extern StageFileRecord gStageRecord;
extern int gUserSlot;  // 0 until a slot is chosen, then 1..3

constexpr int CellIndex(int column, int row) { return MAP_ROWS * column + row; }

int CopyStageToRecord(int stage);
int StoreRecordToStage(int stage);
void LoadStageFiles(int userSlot);
void BuildSampleStages();
int SaveStageFiles();
