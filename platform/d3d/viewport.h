// Viewports: a rectangle of a device seen from a camera frame, with front and
// back clipping planes and a field of view.
#pragma once

#include "platform/d3d/frame.h"
#include "platform/d3d/rm_device.h"

class RmViewport final : public RmObject<IDirect3DRMViewport> {
public:
    RmViewport(RmDevice* device, RmFrame* camera, RECT area);
    ~RmViewport() override;

    HRESULT Clear() override;
    HRESULT Render(IDirect3DRMFrame* frame) override;
    HRESULT SetFront(D3DVALUE front) override;
    HRESULT SetBack(D3DVALUE back) override;
    HRESULT SetField(D3DVALUE field) override;
    D3DVALUE GetFront() override { return volume_.front; }
    D3DVALUE GetBack() override { return volume_.back; }
    D3DVALUE GetField() override { return volume_.field; }
    DWORD GetWidth() override { return static_cast<DWORD>(area_.right - area_.left); }
    DWORD GetHeight() override { return static_cast<DWORD>(area_.bottom - area_.top); }
    HRESULT GetCamera(IDirect3DRMFrame** camera) override;

    RmFrame* Camera() const { return camera_.get(); }

private:
    RmDevice* device_;  // holds a reference
    Ref<RmFrame> camera_;
    RECT area_;
    ViewVolume volume_;
};
