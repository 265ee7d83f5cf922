// The text form of a slot: one block per stage file, "stage NNN" (with
// "check W" after it when the file's check word is not its cells' sum), then
// 34 rows of 13 numbers, row 0 first, column 0 first in each row. '#' starts
// a comment; blank lines are free.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/stage_set.h"

struct StageText {
    int number = 0;             // 1..100
    bool keepsCheckWord = false;
    int32_t checkWord = 0;      // the file's own, when keepsCheckWord
    int32_t cells[MAP_CELLS] = {};
};

// Appends one stage's block to out.
void FormatStageText(const StageText& stage, std::string* out);

// Parses a whole text. On the first fault returns false with
// "NAME:LINE:COLUMN: reason".
bool ParseStageText(const std::string& text, const std::string& name, std::vector<StageText>* stages,
                    std::string* error);
