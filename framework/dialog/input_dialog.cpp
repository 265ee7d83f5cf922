// The one-line text-input dialog: its template is assembled in a zeroed
// 256-byte block, a DLGTEMPLATE and one EDIT item filling it, in dialog units
// from the pixel rectangle. Only Enter closes it, taking the text; there is
// no cancel.
#include <algorithm>
#include <cstring>

#include "framework/app/app.h"
#include "framework/dialog/dialogs.h"
#include "framework/display/display.h"

char gInputText[INPUT_TEXT_SIZE];

namespace {

constexpr SIZE_T TEMPLATE_SIZE = 256;
constexpr int MIN_WIDTH = 32, MIN_HEIGHT = 16;
constexpr DWORD DIALOG_STYLE = WS_POPUP | WS_VISIBLE | DS_SYSMODAL;                 // 0x90000002
constexpr DWORD EDIT_STYLE = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;   // 0x50800080

// Writes an ANSI string as UTF-16 with its terminator; the position after it.
WORD* PutString(WORD* at, const char* text) {
    const int units = MultiByteToWideChar(GetACP(), 0, text, -1, nullptr, 0);
    MultiByteToWideChar(GetACP(), 0, text, -1, reinterpret_cast<WCHAR*>(at), units);
    return at + units;
}

void BuildTemplate(uint8_t* block, int x, int y, int width, int height) {
    const LONG units = GetDialogBaseUnits();
    const int baseX = LOWORD(static_cast<uint32_t>(units)), baseY = HIWORD(static_cast<uint32_t>(units));
    const short cx = static_cast<short>(std::max(width, MIN_WIDTH) * 4 / baseX);
    const short cy = static_cast<short>(std::max(height, MIN_HEIGHT) * 8 / baseY);

    auto* dialog = reinterpret_cast<DLGTEMPLATE*>(block);
    dialog->style = DIALOG_STYLE;
    dialog->dwExtendedStyle = 0;
    dialog->cdit = 1;
    dialog->x = static_cast<short>(x * 4 / baseX);
    dialog->y = static_cast<short>(y * 8 / baseY);
    dialog->cx = cx;
    dialog->cy = cy;
    WORD* at = reinterpret_cast<WORD*>(dialog + 1);
    *at++ = 0;  // no menu
    *at++ = 0;  // the default class
    at = PutString(at, "");

    // The item starts on a 4-byte boundary.
    const uintptr_t offset = (reinterpret_cast<uint8_t*>(at) - block + 3) & ~uintptr_t{3};
    auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(block + offset);
    item->style = EDIT_STYLE;
    item->dwExtendedStyle = 0;
    item->x = 0;
    item->y = 0;
    item->cx = cx;
    item->cy = cy;
    item->id = INPUT_EDIT_ID;
    at = reinterpret_cast<WORD*>(item + 1);
    at = PutString(at, "EDIT");
    at = PutString(at, "");
    *at = 0;  // no creation data
}

}  // namespace

INT_PTR InputDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        GetDlgItemTextA(dialog, INPUT_EDIT_ID, gInputText, INPUT_TEXT_SIZE);
        EndDialog(dialog, 0);
        return 1;
    }
    return 0;
}

void InputTextDialog(char* out, int byteCount, int x, int y, int width, int height) {
    HGLOBAL block = GlobalAlloc(GMEM_ZEROINIT, TEMPLATE_SIZE);
    if (!block) return;
    BuildTemplate(static_cast<uint8_t*>(block), x, y, width, height);
    if (IDirectDraw* device = GetDirectDraw()) device->FlipToGDISurface();
    gApp.modal = 1;
    DialogBoxIndirectParamA(gApp.hInstance, static_cast<const DLGTEMPLATE*>(block), gApp.hWnd, InputDialogProc, 0);
    gApp.modal = 0;
    // The buffer holds 256 bytes; a larger count copies those.
    std::memcpy(out, gInputText, static_cast<size_t>(std::clamp(byteCount, 0, INPUT_TEXT_SIZE)));
    GlobalFree(block);
}
