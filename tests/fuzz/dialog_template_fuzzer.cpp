// In-memory dialog templates: the reader on exactly the input's bytes, then
// the input as a movable-memory block handed to DialogBoxIndirectParamA, whose
// procedure ends the dialog as soon as it is made (so every control the
// template asks for is created, laid out and destroyed).
#include <cstdlib>
#include <cstring>

#include "platform/win/controls/dialog_template.h"
#include "platform/win/win.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

INT_PTR EndAtOnce(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    EndDialog(dialog, 1);
    return TRUE;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StartHeadlessFramework();
    DialogTemplate parsed;
    ParseDialogTemplate(data, size, &parsed);
    // A block's size bounds the reading; an empty block has none to give.
    if (size == 0) return 0;
    HGLOBAL block = GlobalAlloc(0, size);
    if (!block) std::abort();
    std::memcpy(block, data, size);
    DialogBoxIndirectParamA(nullptr, static_cast<const DLGTEMPLATE*>(block), nullptr, EndAtOnce, 0);
    GlobalFree(block);
    return 0;
}
