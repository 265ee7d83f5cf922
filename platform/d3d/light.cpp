// Light settings.
#include "platform/d3d/light.h"

#include <algorithm>

D3DCOLOR ColorFromRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) {
    auto channel = [](D3DVALUE v) { return static_cast<uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255 + 0.5f); };
    return 0xFF000000u | channel(red) << 16 | channel(green) << 8 | channel(blue);
}

HRESULT RmLight::SetColor(D3DCOLOR color) {
    color_ = color;
    return D3DRM_OK;
}

HRESULT RmLight::SetColorRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) { return SetColor(ColorFromRGB(red, green, blue)); }

HRESULT RmLight::SetRange(D3DVALUE range) {
    if (!(range > 0)) return D3DRMERR_BADVALUE;
    range_ = range;
    return D3DRM_OK;
}

HRESULT RmLight::SetUmbra(D3DVALUE angle) {
    if (!(angle >= 0)) return D3DRMERR_BADVALUE;
    umbra_ = angle;
    return D3DRM_OK;
}

HRESULT RmLight::SetPenumbra(D3DVALUE angle) {
    if (!(angle >= 0)) return D3DRMERR_BADVALUE;
    penumbra_ = angle;
    return D3DRM_OK;
}

HRESULT RmLight::SetConstantAttenuation(D3DVALUE value) {
    if (!(value >= 0)) return D3DRMERR_BADVALUE;
    constant_ = value;
    return D3DRM_OK;
}

HRESULT RmLight::SetLinearAttenuation(D3DVALUE value) {
    if (!(value >= 0)) return D3DRMERR_BADVALUE;
    linear_ = value;
    return D3DRM_OK;
}

HRESULT RmLight::SetQuadraticAttenuation(D3DVALUE value) {
    if (!(value >= 0)) return D3DRMERR_BADVALUE;
    quadratic_ = value;
    return D3DRM_OK;
}

D3DVALUE RmLight::Attenuation(D3DVALUE distance) const {
    const D3DVALUE divisor = constant_ + linear_ * distance + quadratic_ * distance * distance;
    return divisor > 0 ? 1.0f / divisor : 1.0f;
}
