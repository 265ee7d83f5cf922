// Clearing and rendering a viewport.
#include "platform/d3d/viewport.h"

RmViewport::RmViewport(RmDevice* device, RmFrame* camera, RECT area)
    : device_(device), camera_(Ref<RmFrame>::Share(camera)), area_(area) {
    device_->AddRef();
    device_->AddViewport(this);
}

RmViewport::~RmViewport() {
    device_->RemoveViewport(this);
    device_->Release();
}

// The camera's scene background colour and the far depth.
HRESULT RmViewport::Clear() {
    const D3DCOLOR background = camera_->Root()->GetSceneBackground();
    return device_->WithTarget(area_, [&](const RenderTarget& target) { ClearTarget(target, background & 0xFFFFFF); });
}

HRESULT RmViewport::Render(IDirect3DRMFrame* frame) {
    if (!frame) return D3DRMERR_BADOBJECT;
    auto* ours = static_cast<RmFrame*>(frame);
    return device_->WithTarget(area_, [&](const RenderTarget& target) {
        RenderFrames(target, device_->Settings(), volume_, camera_.get(), ours);
    });
}

HRESULT RmViewport::SetFront(D3DVALUE front) {
    if (!(front > 0) || !(front < volume_.back)) return D3DRMERR_BADVALUE;
    volume_.front = front;
    return D3DRM_OK;
}

HRESULT RmViewport::SetBack(D3DVALUE back) {
    if (!(back > volume_.front)) return D3DRMERR_BADVALUE;
    volume_.back = back;
    return D3DRM_OK;
}

HRESULT RmViewport::SetField(D3DVALUE field) {
    if (!(field > 0)) return D3DRMERR_BADVALUE;
    volume_.field = field;
    return D3DRM_OK;
}

HRESULT RmViewport::GetCamera(IDirect3DRMFrame** camera) {
    if (!camera) return D3DRMERR_BADVALUE;
    *camera = camera_.get();
    camera_->AddRef();
    return D3DRM_OK;
}
