// LINE strokes: the worked lines, the half-way rounding, and what holds for
// every pair of cells on the grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "editor/line_cells.h"
#include "editor/stage_set.h"

namespace {

using CellList = std::vector<std::pair<int, int>>;

CellList Line(MapCell a, MapCell b) {
    MapCell cells[MAX_LINE_CELLS];
    const int n = ComputeLineCells(a, b, cells);
    CellList list;
    for (int i = 0; i < n; ++i) list.emplace_back(cells[i].column, cells[i].row);
    return list;
}

// Lines start at the smaller column or at the release cell.
TEST(LineCells, WorkedLines) {
    EXPECT_EQ(Line({0, 0}, {2, 4}), (CellList{{0, 0}, {1, 1}, {1, 2}, {1, 3}}));
    // The row at i = 6 lies a hair below 2.5 (30.0001 / 12.0001) and stays on row 2.
    EXPECT_EQ(Line({0, 0}, {12, 5}), (CellList{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}, {6, 2}, {7, 3},
                                                {8, 3}, {9, 4}, {10, 4}, {11, 5}}));
    EXPECT_TRUE(Line({4, 7}, {4, 7}).empty());
    // Drawn leftwards the line starts from the release cell and leaves out the anchor.
    EXPECT_EQ(Line({2, 4}, {0, 0}), (CellList{{0, 0}, {1, 1}, {1, 2}, {1, 3}}));
    // Upwards the rows are counted down from the far end.
    EXPECT_EQ(Line({0, 4}, {2, 0}), (CellList{{0, 4}, {1, 3}, {1, 2}, {1, 1}}));
    // In one column the release cell is the start, in either direction.
    EXPECT_EQ(Line({3, 5}, {3, 1}), (CellList{{3, 1}, {3, 2}, {3, 3}, {3, 4}}));
    EXPECT_EQ(Line({3, 1}, {3, 5}), (CellList{{3, 5}, {3, 4}, {3, 3}, {3, 2}}));
    // Exactly half-way columns go to the higher cell.
    EXPECT_EQ(Line({0, 0}, {1, 2}), (CellList{{0, 0}, {1, 1}}));
}

TEST(LineCells, EveryPairOnTheGridGivesAConnectedLineIndependentOfItsDirection) {
    for (int ac = 0; ac < MAP_COLUMNS; ++ac)
        for (int ar = 0; ar < MAP_ROWS; ++ar)
            for (int bc = 0; bc < MAP_COLUMNS; ++bc)
                for (int br = 0; br < MAP_ROWS; ++br) {
                    const CellList forward = Line({ac, ar}, {bc, br});
                    const int n = std::max(std::abs(bc - ac), std::abs(br - ar));
                    ASSERT_EQ(static_cast<int>(forward.size()), n);
                    if (n == 0) continue;
                    // The stroke with both ends forms a chain of neighbouring cells.
                    CellList chain = forward;
                    const bool startsAtAnchor = forward.front() == std::make_pair(ac, ar);
                    chain.emplace_back(startsAtAnchor ? std::make_pair(bc, br) : std::make_pair(ac, ar));
                    for (size_t i = 1; i < chain.size(); ++i)
                        ASSERT_LE(std::max(std::abs(chain[i].first - chain[i - 1].first),
                                           std::abs(chain[i].second - chain[i - 1].second)),
                                  1)
                            << "(" << ac << ", " << ar << ") to (" << bc << ", " << br << ") at " << i;
                    std::set<std::pair<int, int>> a(forward.begin(), forward.end()), b;
                    for (const auto& cell : Line({bc, br}, {ac, ar})) b.insert(cell);
                    a.insert({ac, ar}), a.insert({bc, br}), b.insert({ac, ar}), b.insert({bc, br});
                    ASSERT_EQ(a, b) << "(" << ac << ", " << ar << ") to (" << bc << ", " << br << ")";
                }
}

}  // namespace
