// Lights of the retained mode: ambient, directional, point and spot, with a
// colour, a range, a cone (umbra and penumbra angles) and attenuation.
#pragma once

#include "platform/d3d/rm_object.h"

class RmLight final : public RmObject<IDirect3DRMLight> {
public:
    RmLight(D3DRMLIGHTTYPE type, D3DCOLOR color) : type_(type), color_(color) {}

    D3DRMLIGHTTYPE GetType() override { return type_; }
    HRESULT SetColor(D3DCOLOR color) override;
    HRESULT SetColorRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) override;
    D3DCOLOR GetColor() override { return color_; }
    HRESULT SetRange(D3DVALUE range) override;
    HRESULT SetUmbra(D3DVALUE angle) override;
    HRESULT SetPenumbra(D3DVALUE angle) override;
    HRESULT SetConstantAttenuation(D3DVALUE value) override;
    HRESULT SetLinearAttenuation(D3DVALUE value) override;
    HRESULT SetQuadraticAttenuation(D3DVALUE value) override;

    D3DVALUE Range() const { return range_; }
    D3DVALUE Umbra() const { return umbra_; }
    D3DVALUE Penumbra() const { return penumbra_; }
    // 1 / (constant + linear d + quadratic d^2).
    D3DVALUE Attenuation(D3DVALUE distance) const;

private:
    D3DRMLIGHTTYPE type_;
    D3DCOLOR color_;
    D3DVALUE range_ = 256;
    D3DVALUE umbra_ = 0.4f;
    D3DVALUE penumbra_ = 0.8f;
    D3DVALUE constant_ = 1, linear_ = 0, quadratic_ = 0;
};

// A colour as red, green and blue components (0..1).
D3DCOLOR ColorFromRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue);
