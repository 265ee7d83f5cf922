// The cells a LINE stroke paints between its anchor and its release cell.
#pragma once

struct MapCell {
    int column;
    int row;
};

// Longest line on the 13 x 34 grid: one cell per row.
constexpr int MAX_LINE_CELLS = 34;

// Fills cells with the line from a towards b, including the end with the
// smaller column (b when the columns are equal) and leaving out the other;
// returns how many there are (0 when a and b are the same cell).
int ComputeLineCells(MapCell a, MapCell b, MapCell cells[MAX_LINE_CELLS]);
