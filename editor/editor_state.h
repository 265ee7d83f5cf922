// The editor's one state record gEditor (screen, input snapshot, edit buffer,
// pen and tool), the slots it draws from and the geometry of its screens.
#pragma once

#include "editor/font_text.h"
#include "editor/stage_set.h"

// Image slots.
constexpr int CANVAS_SLOT = 255;      // the static look of the current screen, 640 x 480
constexpr int BLOCK_SLOT = 3;         // first block sheet
constexpr int MARKER_SLOT = 5;        // pen-marker frames and the eraser tile
constexpr int MAP_FRAME_SLOT = 6;
constexpr int BLOCK2_SLOT = 7;        // second block sheet
constexpr int FONT_SLOT_BASE = 91;    // fonts 0..3 in slots 91..94
constexpr int BACKGROUND_SLOT = 101;

// Fonts by role.
constexpr int FONT_PLAIN = 0;
constexpr int FONT_TITLE = 1;
constexpr int FONT_HIGHLIGHT = 2;
constexpr int FONT_ACTIVE = 3;

enum EditorState { EDITOR_MENU = 0, EDITOR_EDIT = 1, EDITOR_SAVE_CONFIRM = 2, EDITOR_LOAD_CONFIRM = 3 };
enum EditTool { TOOL_DOTS = 0, TOOL_SQAR = 1, TOOL_LINE = 2 };

// The map ignores the pointer for this many frames after the edit screen is built.
constexpr int GRID_LOCK_FRAMES = 15;

// Map and palette cells, 30 x 12 pixels each.
constexpr int CELL_WIDTH = 30;
constexpr int CELL_HEIGHT = 12;
constexpr int MAP_LEFT = 15;
constexpr int MAP_TOP = 65;

// A block palette: cell (i, j) of the grid at (left + 30i, top + 12j) holds the
// value firstValue + 10i + j, drawn from tile (i, j) of its sheet.
struct Palette {
    int left;
    int top;
    int columns;
    int rows;
    int firstValue;
    int sheetSlot;
};
inline constexpr Palette PALETTES[] = {{455, 240, 5, 10, 0, BLOCK_SLOT}, {440, 372, 6, 8, 101, BLOCK2_SLOT}};

// Values below 100 belong to the first palette and sheet, the rest to the second.
constexpr const Palette& PaletteOf(int value) { return value < 100 ? PALETTES[0] : PALETTES[1]; }

constexpr int STAGE_NUMBER_X = 56;
constexpr int STAGE_NUMBER_Y = 18;
constexpr int STAGE_NUMBER_DIGITS = 3;

// Buttons of the edit screen.
inline constexpr FontButton BACK10_BUTTON{1, 18, "<<"};
inline constexpr FontButton BACK1_BUTTON{34, 18, "<"};
inline constexpr FontButton FORWARD1_BUTTON{100, 18, ">"};
inline constexpr FontButton FORWARD10_BUTTON{122, 18, ">>"};
inline constexpr FontButton SAVE_BUTTON{453, 18, "SAVE"};
inline constexpr FontButton LOAD_BUTTON{563, 18, "LOAD"};
inline constexpr FontButton TOOL_BUTTONS[] = {{453, 201, "DOTS"}, {508, 201, "SQAR"}, {563, 201, "LINE"}};

struct EditorRecord {
    int state;
    int currentStage;  // 0..99
    int frameCounter;  // frames since the edit screen was last built
    // Input snapshot taken once per frame.
    int leftButton;
    int rightButton;
    int pointerX;
    int pointerY;
    // Editing.
    StageMap editBuffer;  // working copy of stage currentStage
    int pen;
    int tool;
    int anchorColumn;
    int anchorRow;
};

extern EditorRecord gEditor;
