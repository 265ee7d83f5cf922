// Nearest-pixel scaling: each output row is built once per picture row and
// copied to every output row that shows it.
#include "platform/win/picture_scaler.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/win/picture_rgb.h"

namespace {

// The output columns (or rows) whose picture pixel lies in [first, end): the
// output pixel o shows picture pixel (o - view start) * picture size / view size.
void OutputSpan(int first, int end, int pictureSize, int viewStart, int viewSize, int* outFirst, int* outEnd) {
    const auto start = [&](int p) {
        return viewStart + static_cast<int>((static_cast<int64_t>(p) * viewSize + pictureSize - 1) / pictureSize);
    };
    *outFirst = start(first);
    *outEnd = start(end);
}

}  // namespace

PixelArea FitWholeScale(int pictureWidth, int pictureHeight, int outputWidth, int outputHeight) {
    const int scale = std::max(1, std::min(outputWidth / pictureWidth, outputHeight / pictureHeight));
    const int width = pictureWidth * scale, height = pictureHeight * scale;
    return {(outputWidth - width) / 2, (outputHeight - height) / 2, width, height};
}

PixelArea ScalePicturePart(const PixelBuffer& picture, const PixelArea& part, const PixelArea& view,
                           uint32_t* output, int outputPitch, int outputWidth, int outputHeight) {
    const int px0 = std::max(part.x, 0), py0 = std::max(part.y, 0);
    const int px1 = std::min(part.x + part.width, picture.width), py1 = std::min(part.y + part.height, picture.height);
    if (px0 >= px1 || py0 >= py1 || view.Empty()) return {};
    int ox0 = 0, ox1 = 0, oy0 = 0, oy1 = 0;
    OutputSpan(px0, px1, picture.width, view.x, view.width, &ox0, &ox1);
    OutputSpan(py0, py1, picture.height, view.y, view.height, &oy0, &oy1);
    ox0 = std::max(ox0, 0), oy0 = std::max(oy0, 0);
    ox1 = std::min(ox1, outputWidth), oy1 = std::min(oy1, outputHeight);
    if (ox0 >= ox1 || oy0 >= oy1) return {};

    const XrgbReader reader(picture);
    std::vector<uint32_t> source(static_cast<size_t>(px1 - px0));
    std::vector<uint32_t> scaled(static_cast<size_t>(ox1 - ox0));
    std::vector<int> column(scaled.size());
    for (int ox = ox0; ox < ox1; ++ox)
        column[ox - ox0] = static_cast<int>(static_cast<int64_t>(ox - view.x) * picture.width / view.width) - px0;
    const auto outputRow = [&](int oy) {
        return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(output) + static_cast<ptrdiff_t>(oy) * outputPitch) + ox0;
    };
    int builtRow = -1;
    for (int oy = oy0; oy < oy1; ++oy) {
        const int py = static_cast<int>(static_cast<int64_t>(oy - view.y) * picture.height / view.height);
        if (py != builtRow) {
            reader.ReadRow(px0, py, px1 - px0, source.data());
            for (size_t i = 0; i < scaled.size(); ++i) scaled[i] = source[column[i]];
            builtRow = py;
        }
        std::memcpy(outputRow(oy), scaled.data(), scaled.size() * sizeof(uint32_t));
    }
    return {ox0, oy0, ox1 - ox0, oy1 - oy0};
}
