// KBM encoder: the exact inverse of the framework's loader. Rows are placed at
// the DIB row pitch inside a buffer of width-rounded-up-to-4 x height pixels,
// and each plane codes every third byte of that whole buffer.
#include "tools/kbm_encoder/kbm_encoder.h"

#include <cstddef>

namespace {

void Put32(std::vector<uint8_t>* out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out->push_back(static_cast<uint8_t>(value >> shift));
}

// Run-length codes bytes plane, plane + 3, ... of the buffer.
std::vector<uint8_t> CodePlane(const std::vector<uint8_t>& buffer, size_t plane) {
    std::vector<uint8_t> codes;
    for (size_t i = plane; i < buffer.size();) {
        const uint8_t value = buffer[i] & 0xF8;
        int run = 1;
        while (run < 8 && i + 3 * run < buffer.size() && (buffer[i + 3 * run] & 0xF8) == value) ++run;
        codes.push_back(static_cast<uint8_t>(value | (run - 1)));
        i += 3 * static_cast<size_t>(run);
    }
    return codes;
}

}  // namespace

std::vector<uint8_t> EncodeKbm(int width, int height, const std::vector<uint32_t>& pixels) {
    const size_t paddedWidth = (static_cast<size_t>(width) + 3) & ~size_t{3};
    const size_t rowPitch = (3 * static_cast<size_t>(width) + 3) & ~size_t{3};
    std::vector<uint8_t> buffer(paddedWidth * height * 3, 0);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = buffer.data() + (height - 1 - y) * rowPitch;
        for (int x = 0; x < width; ++x) {
            const uint32_t color = pixels[static_cast<size_t>(y) * width + x];
            row[3 * x] = static_cast<uint8_t>(color);
            row[3 * x + 1] = static_cast<uint8_t>(color >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(color >> 16);
        }
    }
    std::vector<uint8_t> file = {'K', 'B', 'M', 0};
    Put32(&file, static_cast<uint32_t>(width));
    Put32(&file, static_cast<uint32_t>(height));
    std::vector<uint8_t> planes[3] = {CodePlane(buffer, 0), CodePlane(buffer, 1), CodePlane(buffer, 2)};
    for (const auto& plane : planes) Put32(&file, static_cast<uint32_t>(plane.size()));
    for (const auto& plane : planes) file.insert(file.end(), plane.begin(), plane.end());
    return file;
}
