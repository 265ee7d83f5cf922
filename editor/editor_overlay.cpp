// Everything dynamic on the edit screen, drawn over the canvas each frame:
// button highlights, the stage number, the map, the pen under the pointer,
// the SQAR and LINE previews while the button is down, the active tool and
// the blinking marker around the pen's palette cell.
#include <cstdint>
#include <cstdlib>

#include "editor/editor.h"
#include "editor/map_editing.h"
#include "framework/draw/draw.h"
#include "platform/gdi/picture_limits.h"

namespace {

// Phases 4, 3, 2, 1, 0, 1, 2, 3 for five frames each; 4 hides the marker.
constexpr int BLINK_FRAMES = 5;
constexpr int MARKER_HIDDEN_PHASE = 4;

// The eraser tile: fifth column, first row of the marker sheet.
constexpr int ERASER_LEFT = 4 * CELL_WIDTH;

// The marker's eight ring pieces in drawing order: offset in cells from the
// pen's palette cell and the top row of the piece in the marker sheet.
struct MarkerPiece {
    int dx;
    int dy;
    int sourceTop;
};
constexpr MarkerPiece MARKER_PIECES[] = {{-1, -1, 36}, {0, -1, 24}, {1, -1, 12}, {-1, 0, 72},
                                         {1, 0, 48},   {-1, 1, 108}, {0, 1, 96}, {1, 1, 84}};

// The tile of a cell value; values without a tile fall off the sheet and
// the draw clips them away. Any 32-bit value is safe: negative values and 100
// lie left of or above the sheet, and columns past the widest picture a slot
// can hold are not drawn at all (their place would not fit in an int).
void DrawBlockTile(int value, int x, int y) {
    const Palette& palette = PaletteOf(value);
    const int w = value - palette.firstValue;  // no overflow: PaletteOf splits at 100
    if (w < 0 || w / 10 >= MAX_PICTURE_SIDE / CELL_WIDTH) return;
    const int left = CELL_WIDTH * (w / 10);
    const int top = CELL_HEIGHT * (w % 10);
    DrawImage(x, y, palette.sheetSlot, left, top, left + CELL_WIDTH, top + CELL_HEIGHT);
}

// What a click would paint: the pen's tile, or the eraser added onto the screen.
void DrawPenTile(int column, int row) {
    const int x = MapCellX(column);
    const int y = MapCellY(row);
    if (gEditor.pen != 0)
        DrawBlockTile(gEditor.pen, x, y);
    else
        DrawImageAdd(x, y, MARKER_SLOT, ERASER_LEFT, 0, ERASER_LEFT + CELL_WIDTH, CELL_HEIGHT);
}

void DrawPenMarker(int phase) {
    if (phase == MARKER_HIDDEN_PHASE) return;
    const Palette& palette = PaletteOf(gEditor.pen);
    const int w = gEditor.pen - palette.firstValue;
    // Where the formula puts it, worked out wide; a marker that far off the
    // screen draws nothing.
    const int64_t px = palette.left + int64_t{CELL_WIDTH} * (w / 10);
    if (px < -MAX_PICTURE_SIDE || px > MAX_PICTURE_SIDE) return;
    const int py = palette.top + CELL_HEIGHT * (w % 10);
    const int left = CELL_WIDTH * phase;
    for (const MarkerPiece& piece : MARKER_PIECES)
        DrawImage(static_cast<int>(px) + CELL_WIDTH * piece.dx, py + CELL_HEIGHT * piece.dy, MARKER_SLOT, left, piece.sourceTop,
                  left + CELL_WIDTH, piece.sourceTop + CELL_HEIGHT);
}

// The pen under the pointer and, while the left button is down on the map,
// the rectangle or line a release there would paint.
void DrawPointerPreview(int c, int r) {
    const int h = HitTestMapCell(c, r);
    if (h >= HIT_HOVER) DrawPenTile(c, r);
    if (h < HIT_PRESSED) return;
    if (gEditor.tool == TOOL_SQAR) ForEachRectangleCell(AnchorCell(), {c, r}, DrawPenTile);
    if (gEditor.tool == TOOL_LINE) ForEachLineCell(AnchorCell(), {c, r}, DrawPenTile);
}

}  // namespace

void DrawEditorOverlay() {
    const int phase = std::abs((gEditor.frameCounter / BLINK_FRAMES) % 8 - MARKER_HIDDEN_PHASE);

    DrawButtonHighlight(BACK10_BUTTON);
    DrawButtonHighlight(BACK1_BUTTON);
    DrawFontNumber(STAGE_NUMBER_X, STAGE_NUMBER_Y, STAGE_NUMBER_DIGITS, gEditor.currentStage + 1, FONT_TITLE);
    DrawButtonHighlight(FORWARD1_BUTTON);
    DrawButtonHighlight(FORWARD10_BUTTON);

    for (int c = 0; c < MAP_COLUMNS; ++c)
        for (int r = 0; r < MAP_ROWS; ++r)
            DrawBlockTile(gEditor.editBuffer.cells[CellIndex(c, r)], MapCellX(c), MapCellY(r));

    if (gEditor.frameCounter >= GRID_LOCK_FRAMES)
        for (int c = 0; c < MAP_COLUMNS; ++c)
            for (int r = 0; r < MAP_ROWS; ++r) DrawPointerPreview(c, r);

    DrawButtonHighlight(SAVE_BUTTON);
    DrawButtonHighlight(LOAD_BUTTON);
    for (const FontButton& button : TOOL_BUTTONS) DrawButtonHighlight(button);
    DrawButtonLabel(TOOL_BUTTONS[gEditor.tool], FONT_ACTIVE);

    DrawPenMarker(phase);
}
