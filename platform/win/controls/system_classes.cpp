// The window classes the platform provides, found by name without
// registration, case-insensitively as the window system finds them.
#include <strings.h>

#include "platform/win/controls/controls.h"
#include "platform/win/controls/system_classes.h"

namespace {

WNDCLASSEXA SystemClass(const char* name, WNDPROC proc) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.lpfnWndProc = proc;
    windowClass.lpszClassName = name;
    return windowClass;
}

}  // namespace

const WNDCLASSEXA* FindSystemClass(const char* className) {
    static const WNDCLASSEXA classes[] = {
        SystemClass("LISTBOX", ListBoxProc), SystemClass("STATIC", StaticProc), SystemClass("EDIT", EditProc),
        SystemClass("BUTTON", ButtonProc),   SystemClass(DIALOG_CLASS, DialogFrameProc),
    };
    if (!className) return nullptr;
    for (const WNDCLASSEXA& c : classes)
        if (strcasecmp(c.lpszClassName, className) == 0) return &c;
    return nullptr;
}
