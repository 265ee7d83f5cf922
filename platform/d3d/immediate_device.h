// Direct3D immediate mode: the interface a DirectDraw device hands out, which
// offers two software devices, and a device bound to a render surface.
// The RGB device draws in full colour and is the display's own 3D device
// (its hardware description is filled in); the MONO device lights in grey
// levels and exists in software only.
#pragma once

#include "platform/d3d/d3d.h"
#include "platform/ddraw/ddraw_objects.h"

class SoftwareDirect3D final : public Counted<IDirect3D2> {
public:
    explicit SoftwareDirect3D(IDirectDraw* directDraw);
    ~SoftwareDirect3D() override;
    HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK callback, void* context) override;
    HRESULT CreateDevice(const GUID& device, IDirectDrawSurface* target, IDirect3DDevice2** out) override;

private:
    IDirectDraw* directDraw_;
};

class SoftwareDevice3D final : public Counted<IDirect3DDevice2> {
public:
    SoftwareDevice3D(D3DCOLORMODEL colorModel, IDirectDrawSurface* target);
    ~SoftwareDevice3D() override;
    HRESULT GetCaps(D3DDEVICEDESC* hardware, D3DDEVICEDESC* software) override;

    D3DCOLORMODEL ColorModel() const { return colorModel_; }
    IDirectDrawSurface* Target() const { return target_; }

private:
    D3DCOLORMODEL colorModel_;
    IDirectDrawSurface* target_;  // holds a reference
};
