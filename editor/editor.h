// The editor's hooks into the framework and the routines of its screens.
#pragma once

void AppInit();
void AppConfigure();
void EditorFrame();
// The exit procedure: logs what the save leaves out, then saves the stage set.
int SaveStagesAtExit();

// The menu, the edit screen's static look and the two confirmations (editor_flow.cpp).
void ShowMenuScreen();
void UpdateMenu();
void DrawMenuHighlights();
void EnterEditScreen();
void UpdateSaveConfirm();
void UpdateLoadConfirm();
void DrawConfirmHighlights();

// Editing the map (map_editing.cpp) and drawing it with everything dynamic (editor_overlay.cpp).
void UpdateEditor();
void DrawEditorOverlay();
