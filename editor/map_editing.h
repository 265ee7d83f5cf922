// Cells of the edit screen's map shared by the editing step and the overlay.
#pragma once

#include <algorithm>

#include "editor/editor_state.h"
#include "editor/line_cells.h"

// The hit state of map cell (column, row) for the left or right button.
int HitTestMapCell(int column, int row);
int HitTestMapCellRight(int column, int row);

inline int MapCellX(int column) { return MAP_LEFT + CELL_WIDTH * column; }
inline int MapCellY(int row) { return MAP_TOP + CELL_HEIGHT * row; }

// Calls visit(column, row) for every cell of the filled rectangle with corners
// a and b, column by column.
template <typename Visit>
void ForEachRectangleCell(MapCell a, MapCell b, Visit visit) {
    for (int c = std::min(a.column, b.column); c <= std::max(a.column, b.column); ++c)
        for (int r = std::min(a.row, b.row); r <= std::max(a.row, b.row); ++r) visit(c, r);
}

// Calls visit(column, row) for each cell of the line from the anchor to b.
template <typename Visit>
void ForEachLineCell(MapCell anchor, MapCell b, Visit visit) {
    MapCell cells[MAX_LINE_CELLS];
    const int count = ComputeLineCells(anchor, b, cells);
    for (int i = 0; i < count; ++i) visit(cells[i].column, cells[i].row);
}

inline MapCell AnchorCell() { return {gEditor.anchorColumn, gEditor.anchorRow}; }
