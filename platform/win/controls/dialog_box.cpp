// Modal dialogs from in-memory templates: the frame is a popup of the owner,
// placed in the owner's client area; positions and sizes in dialog units
// become pixels through the dialog base units (x by the horizontal unit / 4,
// y by the vertical unit / 8). The dialog runs its own message loop until
// EndDialog; Enter asks the dialog procedure for IDOK (or clicks the focused
// button) and Esc for IDCANCEL, Tab moves the focus. While it runs, input
// outside the dialog goes nowhere. A WM_QUIT ends the dialog and is posted
// again for the loop outside.
#include <cstring>

#include "platform/win/controls/controls.h"
#include "platform/win/controls/dialog_frame.h"
#include "platform/win/controls/dialog_template.h"
#include "platform/win/controls/system_classes.h"
#include "platform/win/global_memory.h"
#include "platform/win/platform.h"

namespace {

// A template's size: what is left of its global-memory block when it lies in
// one (fixed, or movable and locked); otherwise it is read up to its own end.
size_t TemplateLimit(const DLGTEMPLATE* dialogTemplate) {
    size_t bytes = 0;
    return GlobalBlockBytesFrom(dialogTemplate, &bytes) ? bytes : SIZE_MAX;
}

int MulDivRound(int value, int numerator, int denominator) {
    const int64_t product = static_cast<int64_t>(value) * numerator;
    return static_cast<int>((product + (product >= 0 ? denominator / 2 : -denominator / 2)) / denominator);
}

RECT DialogUnitsToPixels(short x, short y, short cx, short cy) {
    const LONG units = GetDialogBaseUnits();
    const int bx = LOWORD(static_cast<uint32_t>(units)), by = HIWORD(static_cast<uint32_t>(units));
    const int left = MulDivRound(x, bx, 4), top = MulDivRound(y, by, 8);
    return {left, top, left + MulDivRound(cx, bx, 4), top + MulDivRound(cy, by, 8)};
}

HWND CreateDialogWindows(const DialogTemplate& parsed, HWND owner, DLGPROC proc) {
    const DLGTEMPLATE& h = parsed.header;
    const RECT frame = DialogUnitsToPixels(h.x, h.y, h.cx, h.cy);
    const char* frameClass = parsed.className.empty() ? DIALOG_CLASS : parsed.className.c_str();
    HWND dialog = CreateWindowExA(h.dwExtendedStyle, frameClass, parsed.title.c_str(), h.style & ~WS_CHILD,
                                  frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top, owner,
                                  nullptr, nullptr, nullptr);
    if (!dialog) return nullptr;
    AttachDialogProc(dialog, proc);
    for (const DialogItem& item : parsed.items) {
        const DLGITEMTEMPLATE& i = item.header;
        const RECT r = DialogUnitsToPixels(i.x, i.y, i.cx, i.cy);
        if (!CreateWindowExA(i.dwExtendedStyle, item.className.c_str(), item.title.c_str(), i.style | WS_CHILD,
                             r.left, r.top, r.right - r.left, r.bottom - r.top, dialog,
                             reinterpret_cast<HMENU>(static_cast<intptr_t>(i.id)), nullptr, nullptr)) {
            DestroyWindow(dialog);
            return nullptr;
        }
    }
    return dialog;
}

HWND FirstFocusable(HWND dialog) {
    for (HWND w : LiveWindows())
        if (w->parent == dialog && w->className != "STATIC") return w;
    return nullptr;
}

// Enter, Esc and Tab inside the dialog; true when the message was used.
bool HandleDialogKey(HWND dialog, const MSG& msg) {
    if (msg.message != WM_KEYDOWN || !IsWithin(msg.hwnd, dialog)) return false;
    if (msg.wParam == VK_RETURN) {
        HWND focus = GetFocus();
        if (focus && focus->className == "BUTTON")
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(focus->id, BN_CLICKED), reinterpret_cast<LPARAM>(focus));
        else
            SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        return true;
    }
    if (msg.wParam == VK_ESCAPE) {
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    }
    return false;
}

}  // namespace

LONG GetDialogBaseUnits() {
    TEXTMETRICA metrics{};
    GetTextMetricsA(MeasureDC(), &metrics);
    return static_cast<LONG>(MAKELPARAM(metrics.tmAveCharWidth, metrics.tmHeight));
}

INT_PTR RunModalDialog(HWND dialog) {
    HWND outer = ActiveModalDialog();
    SetActiveModalDialog(dialog);
    MSG msg{};
    while (IsLiveWindow(dialog) && !DialogHasEnded(dialog)) {
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (HandleDialogKey(dialog, msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    const INT_PTR result = IsLiveWindow(dialog) && DialogHasEnded(dialog) ? DialogResult(dialog) : -1;
    DestroyWindow(dialog);
    SetActiveModalDialog(outer);
    return result;
}

INT_PTR DialogBoxIndirectParamA(HINSTANCE, const DLGTEMPLATE* dialogTemplate, HWND owner, DLGPROC proc,
                                LPARAM initParam) {
    TraceCall("DialogBoxIndirectParamA");
    DialogTemplate parsed;
    if (!dialogTemplate) return -1;
    if (!ParseDialogTemplate(reinterpret_cast<const uint8_t*>(dialogTemplate), TemplateLimit(dialogTemplate), &parsed))
        return -1;
    if (owner && !IsLiveWindow(owner)) return -1;
    HWND dialog = CreateDialogWindows(parsed, owner ? owner : MainWindow(), proc);
    if (!dialog) return -1;
    HWND first = FirstFocusable(dialog);
    // The procedure may set the focus itself; otherwise the dialog, once
    // active, gives it to its first control.
    SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), initParam);
    if (first && !(GetFocus() && IsWithin(GetFocus(), dialog))) SetFocus(first);
    return RunModalDialog(dialog);
}
