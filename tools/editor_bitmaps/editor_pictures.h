// The editor's pictures, each made from code alone so that the same program
// always writes the same bytes. Keyed pictures have KEY_COLOR at the top left.
#pragma once

#include "tools/editor_bitmaps/picture.h"

constexpr int TILE_WIDTH = 30;
constexpr int TILE_HEIGHT = 12;
constexpr int SHEET_COLUMNS = 10;
constexpr int SHEET_ROWS = 10;

// Block sheet 1 holds values 0..99 (0: the empty tile), sheet 2 values
// 101..200; value tile at column (v - first) / 10, row (v - first) % 10.
Picture MakeBlockSheet(int sheet);
// Four frames of the pen-marker ring pieces and the eraser tile.
Picture MakeMarkerSheet();
Picture MakeBackground();
Picture MakeMapFrame();
Picture MakeCursor();
Picture MakeBall();
Picture MakeChainGauge();
