// The open/save file dialog with a one-entry filter built from a description
// and an extension.
#include <cstdio>
#include <cstring>

#include "framework/app/app.h"
#include "framework/dialog/dialogs.h"
#include "framework/display/display.h"

namespace {

constexpr int FILTER_SIZE = 256;
constexpr DWORD SAVE_FLAGS = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;  // 6
constexpr DWORD OPEN_FLAGS = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;    // 0x1004

}  // namespace

int FileDialog(char* path, const char* description, const char* extension, int save) {
    OPENFILENAMEA record;
    std::memset(&record, 0, sizeof record);
    std::memset(path, 0, 4);

    // "description (*.ext)", "*.ext" and the empty string that ends the list:
    // the tabs become the zero bytes between them.
    char filter[FILTER_SIZE] = {};
    std::snprintf(filter, sizeof filter, "%s (*.%s)\t*.%s\t\t", description, extension, extension);
    for (char& c : filter)
        if (c == '\t') c = '\0';
    // A text cut short at the buffer's end still ends in two zero bytes.
    filter[FILTER_SIZE - 2] = filter[FILTER_SIZE - 1] = '\0';

    if (IDirectDraw* device = GetDirectDraw()) device->FlipToGDISurface();
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    record.hwndOwner = gApp.hWnd;
    record.lpstrFilter = filter;
    record.nFilterIndex = 0;
    record.lpstrFile = path;
    record.nMaxFile = FILE_PATH_SIZE;
    record.lpstrDefExt = extension;

    gApp.modal = 1;
    BOOL chosen;
    if (save == 1) {
        record.Flags = SAVE_FLAGS;
        chosen = GetSaveFileNameA(&record);
    } else {
        record.Flags = OPEN_FLAGS;
        chosen = GetOpenFileNameA(&record);
    }
    gApp.modal = 0;
    return chosen;
}
