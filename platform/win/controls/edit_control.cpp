// "EDIT": one line of Shift-JIS text with a caret and a selection (Shift with
// the arrows, Home and End, or a drag), Backspace and Delete, Ctrl+A, C, X and
// V through the desktop's clipboard, typed characters (WM_CHAR single bytes,
// WM_IME_CHAR double bytes) and the input method's composition shown at the
// caret. With ES_AUTOHSCROLL the line scrolls to keep the caret in view;
// without it, text that would not fit the box is refused. The caret never
// stands inside a double-byte character.
#include <algorithm>
#include <cstring>

#include "platform/win/backend.h"
#include "platform/win/controls/control_input.h"
#include "platform/win/controls/controls.h"
#include "platform/win/controls/system_classes.h"

namespace {

constexpr int MARGIN = 2;

struct Edit {
    std::string text;
    size_t caret = 0;
    size_t anchor = 0;  // the other end of the selection
    int scroll = 0;     // pixels of the line scrolled out on the left
    bool textInputBefore = false;
};

size_t NextChar(const std::string& text, size_t at) {
    if (at >= text.size()) return text.size();
    return std::min(text.size(), at + (IsShiftJisLeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1));
}

size_t PreviousChar(const std::string& text, size_t at) {
    size_t previous = 0;
    for (size_t i = 0; i < at; i = NextChar(text, i)) previous = i;
    return previous;
}

int Width(const std::string& text, size_t bytes) { return TextWidth(MeasureDC(), text.substr(0, bytes)); }

int ClientWidth(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client.right - 2 * MARGIN;
}

void KeepCaretInView(HWND window, Edit& edit) {
    const int x = Width(edit.text, edit.caret), width = ClientWidth(window);
    if (x - edit.scroll > width) edit.scroll = x - width;
    if (x < edit.scroll) edit.scroll = x;
    edit.scroll = std::max(0, std::min(edit.scroll, Width(edit.text, edit.text.size()) - width + 1));
    edit.scroll = std::max(0, edit.scroll);
}

void MoveCaret(HWND window, Edit& edit, size_t to, bool extend) {
    edit.caret = to;
    if (!extend) edit.anchor = to;
    KeepCaretInView(window, edit);
}

bool HasSelection(const Edit& edit) { return edit.caret != edit.anchor; }

void DeleteSelection(Edit& edit) {
    const size_t from = std::min(edit.caret, edit.anchor), to = std::max(edit.caret, edit.anchor);
    edit.text.erase(from, to - from);
    edit.caret = edit.anchor = from;
}

void Changed(HWND window, Edit& edit) {
    KeepCaretInView(window, edit);
    NotifyParent(window, EN_CHANGE);
}

void Insert(HWND window, Edit& edit, const std::string& characters) {
    std::string text = edit.text;
    const size_t from = std::min(edit.caret, edit.anchor), to = std::max(edit.caret, edit.anchor);
    text.replace(from, to - from, characters);
    if (!(window->style & ES_AUTOHSCROLL) && Width(text, text.size()) > ClientWidth(window)) return;
    edit.text = text;
    edit.caret = edit.anchor = from + characters.size();
    Changed(window, edit);
}

std::string Selected(const Edit& edit) {
    const size_t from = std::min(edit.caret, edit.anchor), to = std::max(edit.caret, edit.anchor);
    return edit.text.substr(from, to - from);
}

void Paste(HWND window, Edit& edit) {
    std::string text = Backend().clipboardText();
    text = text.substr(0, text.find_first_of("\r\n"));  // one line only
    size_t refused = 0;
    Insert(window, edit, Utf8ToShiftJis(text.c_str(), &refused));
}

void Key(HWND window, Edit& edit, WPARAM key) {
    const bool shift = IsKeyDown(VK_SHIFT), control = IsKeyDown(VK_CONTROL);
    switch (key) {
        case VK_LEFT: MoveCaret(window, edit, PreviousChar(edit.text, edit.caret), shift); break;
        case VK_RIGHT: MoveCaret(window, edit, NextChar(edit.text, edit.caret), shift); break;
        case VK_HOME: MoveCaret(window, edit, 0, shift); break;
        case VK_END: MoveCaret(window, edit, edit.text.size(), shift); break;
        case VK_BACK:
        case VK_DELETE:
            if (!HasSelection(edit)) {
                if (key == VK_BACK && edit.caret == 0) break;
                if (key == VK_DELETE && edit.caret == edit.text.size()) break;
                edit.anchor = key == VK_BACK ? PreviousChar(edit.text, edit.caret) : NextChar(edit.text, edit.caret);
            }
            DeleteSelection(edit);
            Changed(window, edit);
            break;
        default:
            if (!control) break;
            if (key == 'A') {
                edit.anchor = 0;
                MoveCaret(window, edit, edit.text.size(), true);
            } else if ((key == 'C' || key == 'X') && HasSelection(edit)) {
                Backend().setClipboardText(ShiftJisToUtf8(Selected(edit).c_str()).c_str());
                if (key == 'X') {
                    DeleteSelection(edit);
                    Changed(window, edit);
                }
            } else if (key == 'V') {
                Paste(window, edit);
            }
            break;
    }
}

// The caret position nearest to a client x.
size_t CaretAt(const Edit& edit, int x) {
    const int target = x - MARGIN + edit.scroll;
    size_t best = 0;
    for (size_t at = 0;; at = NextChar(edit.text, at)) {
        const int here = Width(edit.text, at);
        if (at > 0 && here - target > target - Width(edit.text, best)) break;
        best = at;
        if (at >= edit.text.size()) break;
    }
    return best;
}

void Paint(HWND window, HDC dc) {
    Edit& edit = ControlState<Edit>(window);
    const RECT area = PictureRect(window);
    FillBox(dc, area, CONTROL_WINDOW);
    if (window->style & WS_BORDER) FrameBox(dc, area, CONTROL_TEXT);
    const bool focused = GetFocus() == window;
    const std::string& composing = focused ? CompositionText() : std::string();
    // The line as shown: the composition stands at the caret.
    std::string line = edit.text;
    line.insert(edit.caret, composing);
    const int x0 = area.left + MARGIN - edit.scroll;
    const RECT row{area.left + MARGIN, area.top, area.right - MARGIN, area.bottom};
    HRGN clip = CreateRectRgn(row.left, row.top, row.right, row.bottom);
    SelectClipRgn(dc, clip);
    const size_t from = std::min(edit.caret, edit.anchor), to = std::max(edit.caret, edit.anchor);
    if (focused && from != to)
        FillBox(dc, {x0 + Width(line, from), row.top + 1, x0 + Width(line, to), row.bottom - 1}, CONTROL_HIGHLIGHT);
    DrawRowText(dc, {x0, row.top, row.right + edit.scroll + 4096, row.bottom}, line, CONTROL_TEXT);
    if (focused && from != to)
        DrawRowText(dc, {x0 + Width(line, from), row.top, x0 + Width(line, to), row.bottom}, Selected(edit),
                    CONTROL_HIGHLIGHT_TEXT);
    const int textTop = area.top + (area.bottom - area.top - CONTROL_FONT_HEIGHT) / 2;
    if (!composing.empty())
        FillBox(dc, {x0 + Width(line, edit.caret), textTop + CONTROL_FONT_HEIGHT - 1,
                     x0 + Width(line, edit.caret + composing.size()), textTop + CONTROL_FONT_HEIGHT}, CONTROL_TEXT);
    if (focused) {
        const int x = x0 + Width(line, edit.caret + composing.size());
        FillBox(dc, {x, textTop, x + 1, textTop + CONTROL_FONT_HEIGHT}, CONTROL_TEXT);
    }
    SelectClipRgn(dc, nullptr);
    DeleteObject(clip);
}

}  // namespace

LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Edit& edit = ControlState<Edit>(window);
    const int x = static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam)));
    switch (message) {
        case WM_CREATE: edit.text = window->title; return 0;
        case WM_PRINTCLIENT: Paint(window, reinterpret_cast<HDC>(wParam)); return 0;
        case WM_SETTEXT:
            edit.text = lParam ? reinterpret_cast<const char*>(lParam) : "";
            edit.caret = edit.anchor = 0;
            edit.scroll = 0;
            return TRUE;
        case WM_GETTEXTLENGTH: return static_cast<LRESULT>(edit.text.size());
        case WM_GETTEXT: {
            char* out = reinterpret_cast<char*>(lParam);
            if (!out || wParam == 0) return 0;
            // Never ends on the first byte of a double-byte character.
            size_t length = 0;
            while (length < edit.text.size() && NextChar(edit.text, length) <= static_cast<size_t>(wParam) - 1)
                length = NextChar(edit.text, length);
            std::memcpy(out, edit.text.data(), length);
            out[length] = '\0';
            return static_cast<LRESULT>(length);
        }
        case WM_SETFOCUS: edit.textInputBefore = Backend().enableTextInput(true); return 0;
        case WM_KILLFOCUS: Backend().enableTextInput(edit.textInputBefore); return 0;
        case WM_LBUTTONDOWN: MoveCaret(window, edit, CaretAt(edit, x), IsKeyDown(VK_SHIFT)); return 0;
        case WM_LBUTTONDBLCLK: edit.anchor = 0; MoveCaret(window, edit, edit.text.size(), true); return 0;
        case WM_MOUSEMOVE:
            if (IsKeyDown(VK_LBUTTON)) MoveCaret(window, edit, CaretAt(edit, x), true);
            return 0;
        case WM_CHAR:
            // Control characters and Ctrl shortcuts are keys, not text.
            if (wParam >= 0x20 && wParam != 0x7F && !(IsKeyDown(VK_CONTROL) && !IsKeyDown(VK_MENU)))
                Insert(window, edit, std::string(1, static_cast<char>(wParam)));
            return 0;
        case WM_IME_CHAR:
            if (IsShiftJisLeadByte(static_cast<unsigned char>(wParam >> 8)))
                Insert(window, edit, std::string{static_cast<char>(wParam >> 8), static_cast<char>(wParam & 0xFF)});
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_TAB) return ControlDefaultProc(window, message, wParam, lParam);
            Key(window, edit, wParam);
            return 0;
        default: return ControlDefaultProc(window, message, wParam, lParam);
    }
}
