// The dialog class: the face colour with a frame, and a caption bar when the
// dialog has a title. Messages go to the dialog procedure first; what it
// leaves (returns 0 for) gets the default handling, WM_CLOSE asking for IDCANCEL.
#include "platform/win/controls/dialog_frame.h"

#include "platform/win/controls/controls.h"
#include "platform/win/controls/system_classes.h"

namespace {

constexpr int CAPTION_HEIGHT = 20;

struct DialogFrame {
    DLGPROC proc = nullptr;
    bool ended = false;
    INT_PTR result = 0;
};

void Paint(HWND window, HDC dc) {
    const RECT area = PictureRect(window);
    FillBox(dc, area, CONTROL_FACE);
    FrameBox(dc, area, CONTROL_TEXT);
    if (window->title.empty()) return;
    const RECT caption{area.left + 1, area.top + 1, area.right - 1, area.top + CAPTION_HEIGHT};
    FillBox(dc, caption, CONTROL_HIGHLIGHT);
    DrawRowText(dc, {caption.left + 4, caption.top, caption.right, caption.bottom}, window->title, CONTROL_HIGHLIGHT_TEXT);
}

}  // namespace

void AttachDialogProc(HWND dialog, DLGPROC proc) { ControlState<DialogFrame>(dialog).proc = proc; }

bool DialogHasEnded(HWND dialog) { return ControlState<DialogFrame>(dialog).ended; }

INT_PTR DialogResult(HWND dialog) { return ControlState<DialogFrame>(dialog).result; }

BOOL EndDialog(HWND dialog, INT_PTR result) {
    if (!IsLiveWindow(dialog) || dialog->className != DIALOG_CLASS) return FALSE;
    DialogFrame& frame = ControlState<DialogFrame>(dialog);
    frame.ended = true;
    frame.result = result;
    return TRUE;
}

LRESULT DialogFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const DialogFrame& frame = ControlState<DialogFrame>(window);
    if (frame.proc && message != WM_PRINTCLIENT) {
        const INT_PTR handled = frame.proc(window, message, wParam, lParam);
        if (handled || message == WM_INITDIALOG) return handled;
    }
    switch (message) {
        case WM_PRINTCLIENT: Paint(window, reinterpret_cast<HDC>(wParam)); return 0;
        case WM_CLOSE: SendMessageA(window, WM_COMMAND, IDCANCEL, 0); return 0;
        case WM_DESTROY: return ControlDefaultProc(window, message, wParam, lParam);
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}
