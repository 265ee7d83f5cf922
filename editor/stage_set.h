// The stage data of one user slot: 100 stages of 13 x 34 cells, the scratch
// record used for every stage file, and the load, sample and save rules.
#pragma once

#include <cstdint>
#include <cstdio>

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

// One stage file at a time, read and written exactly as the load and the save
// do, for programs that work on the files themselves.
// Reads one record's words from an open file into gStageRecord and returns how
// many whole words it read; words past a short read keep the previous ones.
size_t ReadStageRecord(FILE* file);
// Writes gStageRecord to path, replacing any old file whole; 1 on success.
int WriteStageRecord(const char* path);
// The check word of a record's cells: the wrapping 32-bit sum of the first 99.
int32_t StageCheckWord(const int32_t* cells);
