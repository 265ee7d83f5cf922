// In-memory dialog templates: the reader on exactly the input's bytes, then
// the input in a fixed and a locked movable global block of exactly its size
// (so reading past the end shows) handed to DialogBoxIndirectParamA, whose
// procedure ends the dialog as soon as every control is made.
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
    for (const UINT flags : {0u, static_cast<UINT>(GMEM_MOVEABLE)}) {
        HGLOBAL block = GlobalAlloc(flags, size);
        if (!block) std::abort();
        void* bytes = flags ? GlobalLock(block) : block;  // an empty movable block has none
        if (size > 0) std::memcpy(bytes, data, size);
        DialogBoxIndirectParamA(nullptr, static_cast<const DLGTEMPLATE*>(bytes), nullptr, EndAtOnce, 0);
        GlobalFree(block);
    }
    return 0;
}
