// The editor as the framework sees it: its build-time configuration, the
// start-up hook that loads its bitmaps and shows the menu, and the frame
// procedure that runs the current screen's logic and draws it.
#include <cstring>

#include "editor/editor.h"
#include "editor/editor_state.h"
#include "framework/app/app.h"
#include "framework/app/frame_pacing.h"
#include "framework/draw/draw.h"
#include "framework/image/image.h"
#include "framework/input/input.h"

// The framework's default configuration (full screen 640 x 480 at 16 bits,
// one running instance) with the editor's icon and procedures.
const AppConfig gAppConfig = [] {
    AppConfig config = DEFAULT_APP_CONFIG;
    std::strcpy(config.iconName, "ICON1");
    config.appInit = AppInit;
    config.appConfigure = AppConfigure;
    config.frameProc = EditorFrame;
    return config;
}();

EditorRecord gEditor;

namespace {

struct BitmapFile {
    int slot;
    const char* name;
    int useColorKey;
};

// Loaded in this order; Cursor, Ball, Chaingauge and Bigfont are loaded but not drawn.
constexpr BitmapFile BITMAPS[] = {
    {1, "bmp/Cursor.bmp", 1},  {2, "bmp/Ball.bmp", 1},    {BLOCK_SLOT, "bmp/Block.bmp", 1},
    {4, "bmp/Chaingauge.bmp", 0}, {MARKER_SLOT, "bmp/Block2.bmp", 1}, {MAP_FRAME_SLOT, "bmp/Frame.bmp", 1},
    {BLOCK2_SLOT, "bmp/Block3.bmp", 1}, {FONT_SLOT_BASE + 0, "bmp/Font.bmp", 1}, {FONT_SLOT_BASE + 1, "bmp/Font2.bmp", 1},
    {FONT_SLOT_BASE + 2, "bmp/Font3.bmp", 1}, {FONT_SLOT_BASE + 3, "bmp/Font4.bmp", 1}, {99, "bmp/Bigfont.bmp", 1},
    {BACKGROUND_SLOT, "bmp/back01.bmp", 0},
};

}  // namespace

// The results of the loads are not checked: a missing picture leaves its slot
// empty and draws from it show nothing.
void AppInit() {
    SetFrameRate(60);
    SetWindowTitle("!Quib edit");
    SetExitProc(SaveStagesAtExit);
    EnableMouse(1);
    gEditor.state = EDITOR_MENU;
    SetImageVideoMemory(1);
    for (const BitmapFile& bitmap : BITMAPS) LoadBitmapImage(bitmap.slot, bitmap.name, bitmap.useColorKey);
    CreateImage(CANVAS_SLOT, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 0);
    ShowMenuScreen();
}

void AppConfigure() {}

// Each state's logic runs in turn, reading the state again before each, so a
// screen entered in this frame already runs its logic; a return to the edit
// screen from a confirmation waits for the next frame.
void EditorFrame() {
    ReadEditorInput();
    if (gEditor.state == EDITOR_MENU) UpdateMenu();
    if (gEditor.state == EDITOR_EDIT) UpdateEditor();
    if (gEditor.state == EDITOR_SAVE_CONFIRM) UpdateSaveConfirm();
    if (gEditor.state == EDITOR_LOAD_CONFIRM) UpdateLoadConfirm();
    DrawImage(0, 0, CANVAS_SLOT, 0, 0, -1, -1);
    if (gEditor.state == EDITOR_MENU) DrawMenuHighlights();
    else if (gEditor.state == EDITOR_EDIT) DrawEditorOverlay();
    else DrawConfirmHighlights();
    ++gEditor.frameCounter;
}
