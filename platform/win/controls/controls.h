// What the platform's own controls and dialogs share: their state, their
// place in the picture, their look (one Gothic font, the classic colours),
// focus, and the layer that draws them over the presented picture.
#pragma once

#include <memory>
#include <string>
#include <typeindex>
#include <typeinfo>

#include "platform/gdi/gdi.h"
#include "platform/win/window_table.h"

// Colours of the controls, COLORREF.
constexpr COLORREF CONTROL_FACE = RGB(192, 192, 192);
constexpr COLORREF CONTROL_SHADOW = RGB(128, 128, 128);
constexpr COLORREF CONTROL_WINDOW = RGB(255, 255, 255);
constexpr COLORREF CONTROL_TEXT = RGB(0, 0, 0);
constexpr COLORREF CONTROL_HIGHLIGHT = RGB(0, 0, 128);
constexpr COLORREF CONTROL_HIGHLIGHT_TEXT = RGB(255, 255, 255);
// The controls' text: a 16-pixel Gothic cell; list rows are a little taller.
constexpr int CONTROL_FONT_HEIGHT = 16;
constexpr int LIST_ROW_HEIGHT = 18;
constexpr int SCROLL_BAR_WIDTH = 16;

// A window's own state of one kind, made on first use and dropped with the
// window. Kinds are kept apart, so a window that two kinds of code drive (a
// dialog whose frame class is a control's) never reads one kind as another.
template <class State>
State& ControlState(HWND window) {
    const std::type_index kind(typeid(State));
    for (auto& [stateKind, state] : window->states)
        if (stateKind == kind) return *static_cast<State*>(state.get());
    auto made = std::make_shared<State>();
    window->states.emplace_back(kind, made);
    return *made;
}

// Where a window's client area stands in the main window's picture.
RECT PictureRect(HWND window);
// Whether window is root or lies inside it.
bool IsWithin(HWND window, HWND root);

// Draws into a context that the layer prepared for one window: the text
// colour and font set, clipped to the window's picture rectangle.
HFONT CreateControlFont();
void FillBox(HDC dc, const RECT& rect, COLORREF color);
void FrameBox(HDC dc, const RECT& rect, COLORREF color);
// Text left-aligned in a row, vertically centred, clipped to the rectangle.
void DrawRowText(HDC dc, const RECT& rect, const std::string& text, COLORREF color);
int TextWidth(HDC dc, const std::string& text);
// A context that only measures text, in the controls' font; it lives on.
HDC MeasureDC();

// Sends WM_COMMAND with the control's id and a notification to its parent.
void NotifyParent(HWND control, WORD notification);
// Moves the focus to the next (or previous) focusable sibling.
void FocusNextControl(HWND from, bool backwards);
// The IME composition in progress (Shift-JIS) and its caret byte offset.
const std::string& CompositionText();

// Messages every platform control handles alike (focus changes redraw, a
// destroyed control drops the focus); everything else goes to DefWindowProcA.
LRESULT ControlDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The modal dialog open now (its frame), or null.
HWND ActiveModalDialog();
void SetActiveModalDialog(HWND dialog);
