// In-memory dialog templates: a DLGTEMPLATE with its menu, class and title
// (and font when DS_SETFONT), then each DLGITEMTEMPLATE on a 4-byte boundary
// with its class, title and creation data. Strings are UTF-16; a class or
// title may instead be 0xFFFF and an ordinal.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/win/win.h"

struct DialogItem {
    DLGITEMTEMPLATE header{};
    std::string className;  // an ordinal class by its name ("BUTTON", "EDIT", ...)
    std::string title;      // Shift-JIS
};

struct DialogTemplate {
    DLGTEMPLATE header{};
    std::string className;  // empty: the dialog class
    std::string title;      // Shift-JIS
    std::vector<DialogItem> items;
};

// Reads a template of at most size bytes. False for a template that runs past
// them, an extended (DLGTEMPLATEEX) template, a menu or an unknown ordinal class.
bool ParseDialogTemplate(const uint8_t* bytes, size_t size, DialogTemplate* out);
