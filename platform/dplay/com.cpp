// COM as far as the framework uses it: per-thread initialisation and the one
// class it makes, DirectPlay.
#include "platform/dplay/direct_play.h"

const GUID CLSID_DirectPlay = {0x3c2a1f60, 0x7d4b, 0x4e21, {0x8a, 0x05, 0x61, 0x9e, 0x2d, 0x70, 0xb4, 0x13}};
const GUID IID_IDirectPlay3A = {0x3c2a1f61, 0x7d4b, 0x4e21, {0x8a, 0x05, 0x61, 0x9e, 0x2d, 0x70, 0xb4, 0x13}};

namespace {

thread_local int tInitialised = 0;

}  // namespace

HRESULT CoInitialize(void*) { return tInitialised++ == 0 ? S_OK : S_FALSE; }

void CoUninitialize() {
    if (tInitialised > 0) --tInitialised;
}

HRESULT CoCreateInstance(const GUID& classId, IUnknown* outer, DWORD context, const GUID& interfaceId, void** object) {
    if (!object) return DPERR_INVALIDPARAMS;
    *object = nullptr;
    if (tInitialised == 0) return CO_E_NOTINITIALIZED;
    if (!(classId == CLSID_DirectPlay) || !(context & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!(interfaceId == IID_IDirectPlay3A)) return E_NOINTERFACE;
    IDirectPlay3A* directPlay = NewDirectPlay();
    if (!directPlay) return DPERR_GENERIC;
    *object = directPlay;
    return S_OK;
}
