// The screens the editor moves between: the user-slot menu, the static look
// of the edit screen, and the SAVE? and LOAD? confirmations. Each screen's
// static look is composed into the canvas slot; only the confirmations
// compose it every frame.
#include <initializer_list>

#include "editor/editor.h"
#include "editor/editor_state.h"
#include "framework/app/app.h"
#include "framework/draw/draw.h"

namespace {

constexpr FontButton USER_BUTTONS[USER_SLOT_COUNT] = {{287, 215, "USER 1"}, {287, 249, "USER 2"}, {287, 283, "USER 3"}};
constexpr FontButton YES_BUTTON{227, 291, "[YES]"};
constexpr FontButton NO_BUTTON{375, 291, "[NO]"};

void PutBackground() { CopyImage(CANVAS_SLOT, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, BACKGROUND_SLOT, 0, 0); }

// The confirmation screen with its question; buttons [YES] and [NO].
void ComposeConfirm(const char* question) {
    PutBackground();
    PutFontText(293, 172, question, FONT_ACTIVE);
    PutButtonLabel(YES_BUTTON);
    PutButtonLabel(NO_BUTTON);
}

}  // namespace

void ShowMenuScreen() {
    PutBackground();
    PutFontText(249, 181, "STAGEMAP EDIT", FONT_PLAIN);
    for (const FontButton& button : USER_BUTTONS) PutButtonLabel(button);
    gEditor.state = EDITOR_MENU;
}

void UpdateMenu() {
    bool loaded = false;
    for (int slot = 1; slot <= USER_SLOT_COUNT; ++slot) {
        if (HitTestButton(USER_BUTTONS[slot - 1]) == HIT_PRESSED) {
            LoadStageFiles(slot);
            loaded = true;
        }
    }
    if (!loaded) return;
    gEditor.currentStage = 0;
    gEditor.tool = TOOL_DOTS;
    gEditor.pen = 0;
    gEditor.editBuffer = gStageSet.stages[0];
    EnterEditScreen();
}

void DrawMenuHighlights() {
    for (const FontButton& button : USER_BUTTONS) DrawButtonHighlight(button);
}

void EnterEditScreen() {
    gEditor.state = EDITOR_EDIT;
    gEditor.frameCounter = 0;
    PutBackground();
    CopyImage(CANVAS_SLOT, 0, 50, 420, 430, MAP_FRAME_SLOT, 0, 0);
    PutFontText(1, 1, "STAGEMAP EDIT", FONT_PLAIN);
    if (gUserSlot >= 1 && gUserSlot <= USER_SLOT_COUNT)
        PutFontText(155, 1, USER_BUTTONS[gUserSlot - 1].label, FONT_TITLE);
    for (const FontButton& button : {BACK10_BUTTON, BACK1_BUTTON, FORWARD1_BUTTON, FORWARD10_BUTTON, SAVE_BUTTON,
                                     LOAD_BUTTON, TOOL_BUTTONS[0], TOOL_BUTTONS[1], TOOL_BUTTONS[2]})
        PutButtonLabel(button);
    PutFontText(453, 218, "CCCC", FONT_PLAIN);
    PutFontText(508, 218, "DDDD", FONT_PLAIN);
    PutFontText(563, 218, "EEEE", FONT_PLAIN);
    // Each palette shows the top-left tiles of its sheet, exactly the tiles its values draw.
    for (const Palette& palette : PALETTES)
        CopyImage(CANVAS_SLOT, palette.left, palette.top, palette.columns * CELL_WIDTH, palette.rows * CELL_HEIGHT,
                  palette.sheetSlot, 0, 0);
}

void UpdateSaveConfirm() {
    ComposeConfirm("SAVE?");
    if (HitTestButton(YES_BUTTON) == HIT_PRESSED) {
        gStageSet.stages[gEditor.currentStage] = gEditor.editBuffer;
        EnterEditScreen();
    }
    if (HitTestButton(NO_BUTTON) == HIT_PRESSED) EnterEditScreen();
}

void UpdateLoadConfirm() {
    ComposeConfirm("LOAD?");
    if (HitTestButton(YES_BUTTON) == HIT_PRESSED) {
        gEditor.editBuffer = gStageSet.stages[gEditor.currentStage];
        EnterEditScreen();
    }
    if (HitTestButton(NO_BUTTON) == HIT_PRESSED) EnterEditScreen();
}

void DrawConfirmHighlights() {
    DrawButtonHighlight(YES_BUTTON);
    DrawButtonHighlight(NO_BUTTON);
}
