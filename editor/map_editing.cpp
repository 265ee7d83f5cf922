// Editing the stage in the edit buffer: painting with DOTS, SQAR and LINE,
// picking with the right button, paging, the SAVE/LOAD buttons, tools,
// palettes and the stage keys F1..F4. Runs once per frame on the edit screen;
// the map ignores the pointer for the first frames after each rebuild.
#include "editor/map_editing.h"

#include "editor/editor.h"
#include "framework/input/input.h"

namespace {

constexpr int VK_F1_KEY = 0x70;

// Paging: each button and stage key moves the index by its step, and only
// when the result is still a stage (0..99).
struct PageStep {
    FontButton button;
    int step;
};
constexpr PageStep PAGE_STEPS[] = {
    {BACK10_BUTTON, -10}, {BACK1_BUTTON, -1}, {FORWARD1_BUTTON, 1}, {FORWARD10_BUTTON, 10}};

int PagedStage(int stage, int step) {
    const int next = stage + step;
    return next >= 0 && next < STAGE_COUNT ? next : stage;
}

int& BufferCell(int column, int row) { return gEditor.editBuffer.cells[CellIndex(column, row)]; }

void PaintCell(int column, int row) { BufferCell(column, row) = gEditor.pen; }

// One cell of the map under the current tool, then the right-button pick.
void UpdateMapCell(int c, int r) {
    const int h = HitTestMapCell(c, r);
    if (gEditor.tool == TOOL_DOTS) {
        if (h >= HIT_PRESSED) PaintCell(c, r);
    } else {
        if (h == HIT_PRESSED) {
            gEditor.anchorColumn = c;
            gEditor.anchorRow = r;
            PaintCell(c, r);
        }
        if (h == HIT_RELEASED) {
            if (gEditor.tool == TOOL_SQAR) {
                ForEachRectangleCell(AnchorCell(), {c, r}, PaintCell);
            } else {
                ForEachLineCell(AnchorCell(), {c, r}, PaintCell);
                PaintCell(c, r);
            }
        }
    }
    if (HitTestMapCellRight(c, r) >= HIT_PRESSED) gEditor.pen = BufferCell(c, r);
}

void UpdatePalettes() {
    for (const Palette& palette : PALETTES)
        for (int i = 0; i < palette.columns; ++i)
            for (int j = 0; j < palette.rows; ++j)
                if (HitTestLeft(palette.left + CELL_WIDTH * i, palette.top + CELL_HEIGHT * j, CELL_WIDTH, CELL_HEIGHT) ==
                    HIT_PRESSED)
                    gEditor.pen = palette.firstValue + 10 * i + j;
}

// F1..F4 store the buffer, page like the four stage buttons and load the
// stage they arrive at; at a limit the same stage is stored and reloaded.
void UpdateStageKeys() {
    for (int k = 0; k < 4; ++k) {
        if (KeyState(VK_F1_KEY + k) != KEY_PRESSED) continue;
        gStageSet.stages[gEditor.currentStage] = gEditor.editBuffer;
        gEditor.currentStage = PagedStage(gEditor.currentStage, PAGE_STEPS[k].step);
        gEditor.editBuffer = gStageSet.stages[gEditor.currentStage];
        EnterEditScreen();
    }
}

}  // namespace

int HitTestMapCell(int column, int row) {
    return HitTestLeft(MapCellX(column), MapCellY(row), CELL_WIDTH, CELL_HEIGHT);
}

int HitTestMapCellRight(int column, int row) {
    return HitTestRight(MapCellX(column), MapCellY(row), CELL_WIDTH, CELL_HEIGHT);
}

void UpdateEditor() {
    if (gEditor.frameCounter >= GRID_LOCK_FRAMES)
        for (int c = 0; c < MAP_COLUMNS; ++c)
            for (int r = 0; r < MAP_ROWS; ++r) UpdateMapCell(c, r);
    // The stage buttons move the index only; the buffer stays as it is.
    for (const PageStep& page : PAGE_STEPS)
        if (HitTestButton(page.button) == HIT_PRESSED) gEditor.currentStage = PagedStage(gEditor.currentStage, page.step);
    if (HitTestButton(SAVE_BUTTON) == HIT_PRESSED) gEditor.state = EDITOR_SAVE_CONFIRM;
    if (HitTestButton(LOAD_BUTTON) == HIT_PRESSED) gEditor.state = EDITOR_LOAD_CONFIRM;
    for (int tool = TOOL_DOTS; tool <= TOOL_LINE; ++tool)
        if (HitTestButton(TOOL_BUTTONS[tool]) == HIT_PRESSED) gEditor.tool = tool;
    UpdatePalettes();
    UpdateStageKeys();
}
