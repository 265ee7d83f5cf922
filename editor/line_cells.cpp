// Line cells: n = the larger of the column and row distances steps from the
// end with the smaller column, each coordinate rounded half up. The 0.0001
// added to every numerator and to the divisor is part of the rule: it decides
// which of two cells a coordinate near a half-way point goes to.
#include "editor/line_cells.h"

#include <algorithm>
#include <cstdlib>

int ComputeLineCells(MapCell a, MapCell b, MapCell cells[MAX_LINE_CELLS]) {
    const int n = std::max(std::abs(b.column - a.column), std::abs(b.row - a.row));
    const MapCell p = b.column > a.column ? a : b;
    const MapCell q = b.column > a.column ? b : a;
    const double divisor = n + 0.0001;
    for (int i = 0; i < n; ++i) {
        const double x = p.column + ((q.column - p.column) * i + 0.0001) / divisor;
        const double y = q.row > p.row ? p.row + ((q.row - p.row) * i + 0.0001) / divisor
                                       : q.row + ((p.row - q.row) * (n - i) + 0.0001) / divisor;
        cells[i] = {static_cast<int>(x + 0.5), static_cast<int>(y + 0.5)};
    }
    return n;
}
