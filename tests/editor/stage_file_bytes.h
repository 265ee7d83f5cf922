// Stage files as bytes for tests: cells from a row-by-row layout, the file
// a stage must give, reading and writing whole files, and test patterns.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "editor/stage_set.h"

using Cells = std::vector<int32_t>;  // 442 cells in file order (column by column)

// Rows top first, "." for an empty cell; "* N" after a row repeats it N times.
inline Cells CellsFromRows(const std::vector<const char*>& rows) {
    Cells cells(MAP_CELLS, 0);
    int r = 0;
    for (const char* text : rows) {
        std::istringstream words(text);
        std::vector<int32_t> row;
        int times = 1;
        for (std::string word; words >> word;)
            if (word == "*") words >> times;
            else row.push_back(word == "." ? 0 : std::stoi(word));
        for (; times > 0 && r < MAP_ROWS; --times, ++r)
            for (size_t c = 0; c < row.size() && c < MAP_COLUMNS; ++c) cells[34 * c + r] = row[c];
    }
    return cells;
}

inline std::vector<uint8_t> FileBytes(const Cells& cells) {
    int32_t check = 0;
    for (int k = 0; k < 99; ++k) check += cells[k];
    std::vector<uint8_t> bytes;
    auto put = [&](int32_t v) {
        for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * b)));
    };
    put(check);
    for (int32_t v : cells) put(v);
    return bytes;
}

inline std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Cells PatternCells(int seed) {
    Cells cells(MAP_CELLS);
    for (int k = 0; k < MAP_CELLS; ++k) cells[k] = (k * 7 + seed * 13) % 201;
    cells[0] = seed + 1;  // never empty
    return cells;
}

inline std::string StagePath(int slot, int number) {
    char name[64];
    std::snprintf(name, sizeof(name), "user/s%d/stage%03d.clb", slot, number);
    return name;
}
