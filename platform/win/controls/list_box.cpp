// "LISTBOX": rows of text with one selected, scrolled by the wheel, the arrow
// and page keys and a scroll bar (arrows, track, draggable thumb) that shows
// when the rows do not fit. With LBS_NOTIFY a double-click on a row, or Enter,
// tells the parent LBN_DBLCLK and a new selection LBN_SELCHANGE.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win/controls/controls.h"
#include "platform/win/controls/system_classes.h"

namespace {

constexpr int WHEEL_ROWS = 3;

struct ListBox {
    std::vector<std::string> rows;
    int selection = -1;
    int top = 0;
    int dragOffset = -1;  // pointer offset inside the thumb while dragging it
};

struct Layout {
    RECT rows;       // where rows are drawn, client coordinates
    RECT bar;        // the scroll bar (empty when it is not shown)
    int visible;     // whole rows that fit
    RECT thumb;
};

int Border(HWND window) { return (window->style & WS_BORDER) ? 1 : 0; }

Layout Measure(HWND window, const ListBox& list) {
    RECT client{};
    GetClientRect(window, &client);
    const int b = Border(window);
    Layout l{};
    l.rows = {b, b, client.right - b, client.bottom - b};
    l.visible = std::max(1, (l.rows.bottom - l.rows.top) / LIST_ROW_HEIGHT);
    const bool scrolls = (window->style & WS_VSCROLL) && static_cast<int>(list.rows.size()) > l.visible;
    if (!scrolls) return l;
    l.rows.right -= SCROLL_BAR_WIDTH;
    l.bar = {l.rows.right, l.rows.top, l.rows.right + SCROLL_BAR_WIDTH, l.rows.bottom};
    const int track = std::max(0, l.bar.bottom - l.bar.top - 2 * SCROLL_BAR_WIDTH);
    const int count = static_cast<int>(list.rows.size());
    const int thumb = std::max(8, track * l.visible / count);
    const int travel = std::max(0, track - thumb);
    const int y = l.bar.top + SCROLL_BAR_WIDTH + travel * list.top / std::max(1, count - l.visible);
    l.thumb = {l.bar.left, y, l.bar.right, y + std::min(thumb, track)};
    return l;
}

int MaxTop(HWND window, const ListBox& list) {
    return std::max(0, static_cast<int>(list.rows.size()) - Measure(window, list).visible);
}

void ScrollTo(HWND window, ListBox& list, int top) { list.top = std::clamp(top, 0, MaxTop(window, list)); }

void EnsureVisible(HWND window, ListBox& list) {
    const int visible = Measure(window, list).visible;
    if (list.selection < 0) return;
    if (list.selection < list.top) ScrollTo(window, list, list.selection);
    else if (list.selection >= list.top + visible) ScrollTo(window, list, list.selection - visible + 1);
}

void Select(HWND window, ListBox& list, int row) {
    if (list.rows.empty()) return;
    row = std::clamp(row, 0, static_cast<int>(list.rows.size()) - 1);
    const bool changed = row != list.selection;
    list.selection = row;
    EnsureVisible(window, list);
    if (changed && (window->style & LBS_NOTIFY)) NotifyParent(window, LBN_SELCHANGE);
}

bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// A press on the scroll bar: arrows step a row, the track a page, the thumb is dragged.
void PressBar(HWND window, ListBox& list, const Layout& l, int y) {
    if (y < l.bar.top + SCROLL_BAR_WIDTH) ScrollTo(window, list, list.top - 1);
    else if (y >= l.bar.bottom - SCROLL_BAR_WIDTH) ScrollTo(window, list, list.top + 1);
    else if (y < l.thumb.top) ScrollTo(window, list, list.top - l.visible);
    else if (y >= l.thumb.bottom) ScrollTo(window, list, list.top + l.visible);
    else list.dragOffset = y - l.thumb.top;
}

void DragThumb(HWND window, ListBox& list, int y) {
    const Layout l = Measure(window, list);
    const int track = l.bar.bottom - l.bar.top - 2 * SCROLL_BAR_WIDTH;
    const int travel = track - (l.thumb.bottom - l.thumb.top);
    if (travel <= 0) return;
    const int at = y - list.dragOffset - (l.bar.top + SCROLL_BAR_WIDTH);
    ScrollTo(window, list, (at * MaxTop(window, list) + travel / 2) / travel);
}

void Press(HWND window, ListBox& list, LPARAM lParam, bool twice) {
    const int x = static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam)));
    const int y = static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam)));
    const Layout l = Measure(window, list);
    if (Inside(l.bar, x, y)) return PressBar(window, list, l, y);
    if (!Inside(l.rows, x, y)) return;
    const int row = list.top + (y - l.rows.top) / LIST_ROW_HEIGHT;
    if (row >= static_cast<int>(list.rows.size())) return;
    Select(window, list, row);
    if (twice && (window->style & LBS_NOTIFY)) NotifyParent(window, LBN_DBLCLK);
}

void Key(HWND window, ListBox& list, WPARAM key) {
    const int page = Measure(window, list).visible;
    const int last = static_cast<int>(list.rows.size()) - 1;
    switch (key) {
        case VK_UP: Select(window, list, list.selection - 1); break;
        case VK_DOWN: Select(window, list, list.selection + 1); break;
        case VK_PRIOR: Select(window, list, list.selection - page); break;
        case VK_NEXT: Select(window, list, std::max(list.selection, 0) + page); break;
        case VK_HOME: Select(window, list, 0); break;
        case VK_END: Select(window, list, last); break;
        case VK_RETURN:
            if (list.selection >= 0 && (window->style & LBS_NOTIFY)) NotifyParent(window, LBN_DBLCLK);
            break;
        default: break;
    }
}

void PaintBar(HDC dc, const Layout& l, POINT origin) {
    auto shift = [&](RECT r) { return RECT{r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y}; };
    const RECT bar = shift(l.bar);
    FillBox(dc, bar, CONTROL_FACE);
    const RECT up{bar.left, bar.top, bar.right, bar.top + SCROLL_BAR_WIDTH};
    const RECT down{bar.left, bar.bottom - SCROLL_BAR_WIDTH, bar.right, bar.bottom};
    for (const RECT& box : {up, down, shift(l.thumb)}) {
        FrameBox(dc, box, CONTROL_SHADOW);
        FrameBox(dc, {box.left + 1, box.top + 1, box.right - 1, box.bottom - 1}, CONTROL_WINDOW);
    }
    // Arrow heads: rows of a small triangle.
    const int cx = up.left + SCROLL_BAR_WIDTH / 2;
    for (int i = 0; i < 4; ++i) {
        FillBox(dc, {cx - i, up.top + 6 + i, cx + i + 1, up.top + 7 + i}, CONTROL_TEXT);
        FillBox(dc, {cx - i, down.bottom - 7 - i, cx + i + 1, down.bottom - 6 - i}, CONTROL_TEXT);
    }
}

void Paint(HWND window, HDC dc) {
    ListBox& list = ControlState<ListBox>(window);
    const RECT area = PictureRect(window);
    const POINT origin{area.left, area.top};
    const Layout l = Measure(window, list);
    FillBox(dc, area, CONTROL_WINDOW);
    if (Border(window)) FrameBox(dc, area, CONTROL_TEXT);
    const int last = std::min(static_cast<int>(list.rows.size()), list.top + l.visible + 1);
    for (int row = list.top; row < last; ++row) {
        const int y = origin.y + l.rows.top + (row - list.top) * LIST_ROW_HEIGHT;
        const RECT box{origin.x + l.rows.left, y, origin.x + l.rows.right, std::min<LONG>(y + LIST_ROW_HEIGHT, origin.y + l.rows.bottom)};
        const bool selected = row == list.selection;
        if (selected) FillBox(dc, box, CONTROL_HIGHLIGHT);
        DrawRowText(dc, {box.left + 2, box.top, box.right, box.bottom}, list.rows[row],
                    selected ? CONTROL_HIGHLIGHT_TEXT : CONTROL_TEXT);
        if (selected && GetFocus() == window) FrameBox(dc, box, CONTROL_SHADOW);
    }
    if (l.bar.right > l.bar.left) PaintBar(dc, l, origin);
}

LRESULT CopyRow(const ListBox& list, WPARAM index, LPARAM out) {
    if (index >= list.rows.size()) return LB_ERR;
    const std::string& text = list.rows[index];
    if (out) std::memcpy(reinterpret_cast<char*>(out), text.c_str(), text.size() + 1);
    return static_cast<LRESULT>(text.size());
}

}  // namespace

LRESULT ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ListBox& list = ControlState<ListBox>(window);
    switch (message) {
        case LB_ADDSTRING:
            list.rows.emplace_back(lParam ? reinterpret_cast<const char*>(lParam) : "");
            return static_cast<LRESULT>(list.rows.size() - 1);
        case LB_RESETCONTENT: list = ListBox{}; return 0;
        case LB_GETCOUNT: return static_cast<LRESULT>(list.rows.size());
        case LB_GETCURSEL: return list.selection;
        case LB_GETTOPINDEX: return list.top;
        case LB_SETCURSEL:
            if (static_cast<int>(wParam) == -1 || wParam >= list.rows.size()) {
                list.selection = -1;
                return static_cast<int>(wParam) == -1 ? 0 : LB_ERR;
            }
            list.selection = static_cast<int>(wParam);
            EnsureVisible(window, list);
            return list.selection;
        case LB_GETTEXT: return CopyRow(list, wParam, lParam);
        case LB_GETTEXTLEN: return CopyRow(list, wParam, 0);
        case WM_PRINTCLIENT: Paint(window, reinterpret_cast<HDC>(wParam)); return 0;
        case WM_LBUTTONDOWN: Press(window, list, lParam, false); return 0;
        case WM_LBUTTONDBLCLK: Press(window, list, lParam, true); return 0;
        case WM_MOUSEMOVE:
            if (list.dragOffset >= 0) DragThumb(window, list, static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam))));
            return 0;
        case WM_LBUTTONUP: list.dragOffset = -1; return 0;
        case WM_MOUSEWHEEL:
            ScrollTo(window, list, list.top - static_cast<int16_t>(HIWORD(wParam)) / WHEEL_DELTA * WHEEL_ROWS);
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_TAB) return ControlDefaultProc(window, message, wParam, lParam);
            Key(window, list, wParam);
            return 0;
        default: return ControlDefaultProc(window, message, wParam, lParam);
    }
}
