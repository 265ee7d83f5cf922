// Texture pictures and their mip-map levels.
#include "platform/d3d/texture.h"

#include <algorithm>

#include "platform/gdi/bmp_decoder.h"
#include "platform/win/picture_rgb.h"

namespace {

constexpr uint32_t OPAQUE_ALPHA = 0xFF000000u;

// One texel of the next level: the mean of the visible texels of the 2 x 2
// block (fewer at odd edges); keyed out when most of the block is.
uint32_t Reduce(const TextureLevel& from, int x, int y) {
    int sums[3] = {0, 0, 0}, visible = 0, count = 0;
    for (int dy = 0; dy < 2; ++dy) {
        for (int dx = 0; dx < 2; ++dx) {
            const int sx = std::min(2 * x + dx, from.width - 1), sy = std::min(2 * y + dy, from.height - 1);
            const uint32_t texel = from.texels[static_cast<size_t>(sy) * from.width + sx];
            ++count;
            if (!(texel & OPAQUE_ALPHA)) continue;
            ++visible;
            sums[0] += (texel >> 16) & 0xFF;
            sums[1] += (texel >> 8) & 0xFF;
            sums[2] += texel & 0xFF;
        }
    }
    if (visible * 2 < count) return 0;
    const uint32_t half = static_cast<uint32_t>(visible) / 2;
    return OPAQUE_ALPHA | ((sums[0] + half) / visible) << 16 | ((sums[1] + half) / visible) << 8 |
           (sums[2] + half) / visible;
}

}  // namespace

RmTexture* RmTexture::FromBmp(const uint8_t* data, size_t size) {
    BmpInfo info;
    if (!ReadBmpInfo(data, size, &info)) return nullptr;
    PixelBuffer picture;
    picture.width = info.width;
    picture.height = info.height;
    picture.format = info.format;
    picture.pitch = (info.width * info.format.bitsPerPixel + 31) / 32 * 4;
    picture.palette = info.colors.data();
    std::vector<uint8_t> bits(static_cast<size_t>(picture.pitch) * info.height);
    picture.bits = bits.data();
    if (!DecodeBmpPixels(data, size, info, picture)) return nullptr;
    RgbImage rgb;
    PictureToRgb(picture, &rgb);
    std::vector<uint32_t> colors(static_cast<size_t>(rgb.width) * rgb.height);
    for (size_t i = 0; i < colors.size(); ++i)
        colors[i] = static_cast<uint32_t>(rgb.rgb[3 * i]) << 16 | rgb.rgb[3 * i + 1] << 8 | rgb.rgb[3 * i + 2];
    return new RmTexture(rgb.width, rgb.height, std::move(colors));
}

RmTexture::RmTexture(int width, int height, std::vector<uint32_t> colors) : colors_(std::move(colors)) {
    levels_.resize(1);
    levels_[0].width = width;
    levels_[0].height = height;
    BuildLevels();
}

HRESULT RmTexture::SetDecalTransparency(BOOL enable) {
    keyed_ = enable != 0;
    BuildLevels();
    return D3DRM_OK;
}

HRESULT RmTexture::SetDecalTransparentColor(D3DCOLOR color) {
    keyColor_ = color & 0xFFFFFF;
    BuildLevels();
    return D3DRM_OK;
}

void RmTexture::BuildLevels() {
    levels_.resize(1);
    TextureLevel& base = levels_[0];
    base.texels.resize(colors_.size());
    for (size_t i = 0; i < colors_.size(); ++i)
        base.texels[i] = keyed_ && (colors_[i] & 0xFFFFFF) == keyColor_ ? 0 : colors_[i] | OPAQUE_ALPHA;
    while (levels_.back().width > 1 || levels_.back().height > 1) {
        const TextureLevel& from = levels_.back();
        TextureLevel next;
        next.width = std::max(1, from.width / 2);
        next.height = std::max(1, from.height / 2);
        next.texels.resize(static_cast<size_t>(next.width) * next.height);
        for (int y = 0; y < next.height; ++y)
            for (int x = 0; x < next.width; ++x) next.texels[static_cast<size_t>(y) * next.width + x] = Reduce(from, x, y);
        levels_.push_back(std::move(next));
    }
}
