// Stage files as quibstage sees them: read and written through the editor's
// own record code, with what the editor itself cannot tell (the file's size,
// whether it opens at all) kept beside the record.
#pragma once

#include <cstdint>
#include <string>

#include "editor/stage_set.h"

struct StageFile {
    std::string path;
    bool exists = false;    // something is there under that name
    bool opened = false;    // it opened in the mode asked for
    uint64_t size = 0;
    size_t wordsRead = 0;   // whole words read into the record
    int32_t checkWord = 0;
    int32_t cells[MAP_CELLS] = {};

    bool WholeRecord() const { return size == STAGE_FILE_BYTES; }
    bool CheckWordMatches() const { return checkWord == StageCheckWord(cells); }
};

// How a file is opened: as the editor opens it (reading and writing, so a
// file that may not be written is not read at all) or for reading only.
enum class OpenMode { AS_EDITOR, READ_ONLY };

// Reads path into a StageFile. Words a short file does not reach keep what
// the previous read left, exactly as in the editor's load.
StageFile ReadStageFile(const std::string& path, OpenMode mode);

// Reads a stage file that must be whole (exactly one record); otherwise
// returns false with a reason that names the file.
bool ReadWholeStageFile(const std::string& path, StageFile* file, std::string* error);

// Writes check word and cells to path through the editor's writer, which
// replaces any old file whole. False with a reason on failure.
bool WriteStageCells(const std::string& path, int32_t checkWord, const int32_t* cells, std::string* error);

// "DIR/stageNNN.clb" for stage number 1..100.
std::string StageFilePath(const std::string& folder, int stageNumber);

// The stage number 1..100 of a file named stageNNN.clb (any folder), or 0.
int StageNumberOfPath(const std::string& path);

// The column and row of cell index k (cells are stored column by column).
inline int CellColumn(int k) { return k / MAP_ROWS; }
inline int CellRow(int k) { return k % MAP_ROWS; }
