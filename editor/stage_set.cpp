// Moving stages in and out of the file record, and the eight sample stages
// that an empty user slot starts with.
#include "editor/stage_set.h"

#include <cstring>

StageSet gStageSet;
StageFileRecord gStageRecord;
int gUserSlot = 0;

// The sum wraps like the signed sum it always was.
int32_t StageCheckWord(const int32_t* cells) {
    uint32_t sum = 0;
    for (int k = 0; k < CHECKED_CELLS; ++k) sum += static_cast<uint32_t>(cells[k]);
    return static_cast<int32_t>(sum);
}

int CopyStageToRecord(int stage) {
    int32_t* cells = gStageSet.stages[stage].cells;
    bool empty = true;
    for (int k = 0; k < MAP_CELLS; ++k) {
        if (cells[k] < 0 || cells[k] > CELL_MAX) cells[k] = 0;
        gStageRecord.cells[k] = cells[k];
        if (cells[k] != 0) empty = false;
    }
    gStageRecord.checkWord = StageCheckWord(gStageRecord.cells);
    return empty ? 1 : 0;
}

int StoreRecordToStage(int stage) {
    int32_t* cells = gStageSet.stages[stage].cells;
    bool empty = true;
    for (int k = 0; k < MAP_CELLS; ++k) {
        cells[k] = gStageRecord.cells[k];
        if (cells[k] != 0) empty = false;
    }
    return empty || StageCheckWord(gStageRecord.cells) != gStageRecord.checkWord ? 1 : 0;
}

namespace {

void Put(int32_t* cells, int column, int row, int value) { cells[CellIndex(column, row)] = value; }

void FillRow(int32_t* cells, int row, int firstColumn, int lastColumn, int value) {
    for (int c = firstColumn; c <= lastColumn; ++c) Put(cells, c, row, value);
}

void FillColumn(int32_t* cells, int column, int firstRow, int lastRow, int value) {
    for (int r = firstRow; r <= lastRow; ++r) Put(cells, column, r, value);
}

// A 3 x 3 square of value around (column, row) with another value in the middle.
void Square(int32_t* cells, int column, int row, int value, int centre) {
    for (int c = column - 1; c <= column + 1; ++c) FillColumn(cells, c, row - 1, row + 1, value);
    Put(cells, column, row, centre);
}

void SampleStage1(int32_t* s) {
    for (int row = 2; row <= 16; row += 2) {
        Put(s, 0, row, 8);
        Put(s, 12, row, 8);
    }
    for (int row = 3; row <= 15; row += 2) FillRow(s, row, 2, 10, 8 - (row - 1) / 2);
    Put(s, 6, 9, 46);
}

void SampleStage2(int32_t* s) {
    static const int COLUMN6[] = {23, 23, 23, 23, 8, 29, 8, 21, 21, 21, 21};
    for (int row = 2; row <= 12; ++row) {
        Put(s, 1, row, 3);
        FillRow(s, row, 2, 5, 26);
        FillRow(s, row, 7, 10, 25);
        Put(s, 11, row, 4);
        Put(s, 6, row, COLUMN6[row - 2]);
    }
}

void SampleStage3(int32_t* s) {
    for (int c = 2; c <= 10; ++c) {
        for (int r = 5; r <= 13; ++r) {
            const bool borderColumn = c == 2 || c == 10, borderRow = r == 5 || r == 13;
            Put(s, c, r, borderColumn && borderRow ? 20 : borderColumn || borderRow ? 13 : 9);
        }
    }
    Put(s, 6, 8, 28);
    Put(s, 5, 9, 28);
    Put(s, 7, 9, 28);
    Put(s, 6, 10, 28);
    Put(s, 6, 9, 20);
    Put(s, 4, 15, 20);
    Put(s, 8, 15, 20);
    Put(s, 5, 17, 20);
    Put(s, 7, 17, 20);
    Put(s, 6, 19, 20);
}

void SampleStage4(int32_t* s) {
    FillRow(s, 3, 0, 8, 44);
    Put(s, 4, 3, 42);
    FillRow(s, 3, 9, 12, 6);
    FillRow(s, 7, 0, 3, 4);
    FillRow(s, 7, 4, 12, 40);
    Put(s, 8, 7, 38);
    FillRow(s, 11, 0, 8, 36);
    Put(s, 4, 11, 34);
    FillRow(s, 11, 9, 12, 3);
    FillRow(s, 15, 0, 3, 1);
    FillRow(s, 15, 4, 12, 32);
    Put(s, 8, 15, 30);
}

void SampleStage5(int32_t* s) {
    static const int EVEN_COLUMNS[] = {21, 25, 24, 9, 22, 26, 23};
    for (int c = 1; c < MAP_COLUMNS; c += 2) FillColumn(s, c, 0, 12, 8);
    for (int c = 0; c < MAP_COLUMNS; c += 2) {
        Put(s, c, 0, c / 2 + 1);
        FillColumn(s, c, 1, 12, EVEN_COLUMNS[c / 2]);
    }
}

void SampleStage6(int32_t* s) {
    FillColumn(s, 1, 0, 13, 8);
    FillColumn(s, 11, 0, 13, 8);
    Put(s, 0, 0, 38);
    Put(s, 12, 0, 34);
    Put(s, 12, 9, 137);
    Put(s, 0, 11, 137);
    Put(s, 0, 13, 8);
    Put(s, 12, 13, 8);
    Square(s, 4, 3, 40, 1);
    Square(s, 8, 3, 40, 1);
    Square(s, 4, 11, 40, 1);
    Square(s, 8, 11, 40, 1);
    Square(s, 6, 7, 36, 27);
}

void SampleStage7(int32_t* s) {
    FillColumn(s, 6, 3, 21, 8);
    for (int c = 0; c <= 5; ++c) {
        Put(s, c, 3, 46);
        Put(s, c, 21, 27);
        for (int r = 4; r <= 20; ++r) Put(s, c, r, 11 + (r - 3) / 2);
    }
    for (int c = 7; c <= 12; ++c) {
        Put(s, c, 3, 27);
        Put(s, c, 21, 46);
        for (int r = 4; r <= 20; ++r) Put(s, c, r, 19 - (r - 4) / 2);
    }
}

void SampleStage8(int32_t* s) {
    for (int c = 0; c < MAP_COLUMNS; ++c)
        for (int r = 0; r <= 21; ++r)
            if ((c - r) % 5 == 0) Put(s, c, r, r % 2 == 0 ? 3 : 8);
    Put(s, 6, 11, 10);
    Put(s, 4, 9, 10);
    Put(s, 8, 13, 10);
    Put(s, 9, 9, 10);
    Put(s, 3, 13, 10);
}

}  // namespace

void BuildSampleStages() {
    std::memset(&gStageSet, 0, sizeof(gStageSet));
    void (*const builders[])(int32_t*) = {SampleStage1, SampleStage2, SampleStage3, SampleStage4,
                                          SampleStage5, SampleStage6, SampleStage7, SampleStage8};
    int stage = 0;
    for (auto build : builders) build(gStageSet.stages[stage++].cells);
}
