// Textures of the retained mode: a picture decoded from a .bmp file or bitmap
// resource, kept as 0xAARRGGBB texels with a chain of box-filtered smaller
// levels for mip-mapping. Decal transparency keys out one colour (alpha 0).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/d3d/rm_object.h"

struct TextureLevel {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> texels;  // rows top first; alpha 0 marks keyed-out texels
};

class RmTexture final : public RmObject<IDirect3DRMTexture2> {
public:
    // The texture of a .bmp image in memory, or null when it is not one.
    static RmTexture* FromBmp(const uint8_t* data, size_t size);
    // A texture of the given texels (0x00RRGGBB), width x height.
    RmTexture(int width, int height, std::vector<uint32_t> colors);

    HRESULT SetDecalTransparency(BOOL enable) override;
    HRESULT SetDecalTransparentColor(D3DCOLOR color) override;
    BOOL GetDecalTransparency() override { return keyed_; }
    DWORD GetWidth() override { return static_cast<DWORD>(levels_[0].width); }
    DWORD GetHeight() override { return static_cast<DWORD>(levels_[0].height); }

    const std::vector<TextureLevel>& Levels() const { return levels_; }
    bool Keyed() const { return keyed_; }

private:
    bool Answers(const GUID& iid) const override { return iid == IID_IDirect3DRMTexture; }
    void BuildLevels();

    std::vector<uint32_t> colors_;  // level 0 as loaded
    std::vector<TextureLevel> levels_;
    bool keyed_ = false;
    uint32_t keyColor_ = 0;  // 0x00RRGGBB; black unless set
};
