// .x models (text, binary, compressed) through the retained mode's loaders: a
// mesh builder and an animation set over a frame, posed at a few times. The
// texture callback gives none, so no file the model names is opened. Inputs
// over 16 KB are passed over: the reader's cost grows fast with size.
#include <cstdlib>

#include "platform/d3d/d3d.h"

namespace {

constexpr size_t LARGEST_INPUT = 16 * 1024;

IDirect3DRM2* RetainedMode() {
    static IDirect3DRM2* retained = [] {
        IDirect3DRM* first = nullptr;
        IDirect3DRM2* second = nullptr;
        if (Direct3DRMCreate(&first) != D3DRM_OK ||
            first->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&second)) != D3DRM_OK)
            std::abort();
        first->Release();
        return second;
    }();
    return retained;
}

HRESULT NoTexture(const char*, void*, IDirect3DRMTexture** texture) {
    *texture = nullptr;
    return D3DRM_OK;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > LARGEST_INPUT) return 0;
    IDirect3DRM2* retained = RetainedMode();
    D3DRMLOADMEMORY memory{const_cast<uint8_t*>(data), static_cast<DWORD>(size)};
    IDirect3DRMMeshBuilder* builder = nullptr;
    if (retained->CreateMeshBuilder(&builder) != D3DRM_OK) std::abort();
    if (builder->Load(&memory, nullptr, D3DRMLOAD_FROMMEMORY, NoTexture, nullptr) == D3DRM_OK) {
        D3DRMBOX box;
        builder->GetBox(&box);
    }
    builder->Release();

    IDirect3DRMFrame2* frame = nullptr;
    IDirect3DRMAnimationSet* animation = nullptr;
    if (retained->CreateFrame(nullptr, &frame) != D3DRM_OK || retained->CreateAnimationSet(&animation) != D3DRM_OK)
        std::abort();
    if (animation->Load(&memory, nullptr, D3DRMLOAD_FROMMEMORY, NoTexture, nullptr, frame) == D3DRM_OK)
        for (const D3DVALUE time : {-1.0f, 0.0f, 0.5f, 7.0f, 1e9f}) animation->SetTime(time);
    animation->Release();
    frame->Release();
    return 0;
}
