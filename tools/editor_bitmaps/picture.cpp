// RGB pictures, 5-6-5 reduction and the 24-bit .bmp writer of the editor's
// bitmap generator. Byte order and padding follow the Windows file format;
// the output depends on nothing but the pixels.
#include "tools/editor_bitmaps/picture.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace {

uint8_t ClampChannel(double value) {
    return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

// The 8-bit value a channel of `bits` bits at level `level` widens to.
int WidenLevel(int level, int bits) {
    return (level << (8 - bits)) | (level >> (2 * bits - 8));
}

// Nearest level of a `bits`-bit channel to value (0..255 plus dither bias).
int ReduceChannel(double value, int bits) {
    int maxLevel = (1 << bits) - 1;
    int level = static_cast<int>(std::lround(value * maxLevel / 255.0));
    return WidenLevel(std::clamp(level, 0, maxLevel), bits);
}

void PutLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

Rgb Mix(Rgb a, Rgb b, double t) {
    return {ClampChannel(a.r + (b.r - a.r) * t), ClampChannel(a.g + (b.g - a.g) * t),
            ClampChannel(a.b + (b.b - a.b) * t)};
}

Rgb Shade(Rgb color, double amount) {
    return amount >= 0 ? Mix(color, Rgb{255, 255, 255}, amount) : Mix(color, Rgb{0, 0, 0}, -amount);
}

Picture::Picture(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

void Picture::Set(int x, int y, Rgb color) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[y * width_ + x] = color;
}

void Picture::Blend(int x, int y, Rgb color, double alpha) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) Set(x, y, Mix(Get(x, y), color, alpha));
}

void Picture::FillRect(int x, int y, int w, int h, Rgb color) {
    for (int row = y; row < y + h; ++row)
        for (int column = x; column < x + w; ++column) Set(column, row, color);
}

void Picture::Paste(const Picture& source, int x, int y) {
    for (int row = 0; row < source.height(); ++row)
        for (int column = 0; column < source.width(); ++column)
            Set(x + column, y + row, source.Get(column, row));
}

void Picture::ReduceTo565(bool dither) {
    // Bayer 4 x 4 thresholds, centred on zero, in units of one 5-bit step.
    static constexpr int BAYER[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            Rgb& pixel = pixels_[y * width_ + x];
            if (pixel == KEY_COLOR) continue;
            double bias = dither ? (BAYER[y & 3][x & 3] - 7.5) / 16.0 : 0.0;
            pixel = {static_cast<uint8_t>(ReduceChannel(pixel.r + bias * 255.0 / 31, 5)),
                     static_cast<uint8_t>(ReduceChannel(pixel.g + bias * 255.0 / 63, 6)),
                     static_cast<uint8_t>(ReduceChannel(pixel.b + bias * 255.0 / 31, 5))};
        }
    }
}

std::vector<uint8_t> EncodeBmp(const Picture& picture) {
    const uint32_t rowBytes = (picture.width() * 3 + 3) & ~3u;
    const uint32_t pixelBytes = rowBytes * picture.height();
    std::vector<uint8_t> out;
    out.reserve(54 + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    PutLittleEndian(out, 54 + pixelBytes, 4);  // file size
    PutLittleEndian(out, 0, 4);                // reserved
    PutLittleEndian(out, 54, 4);               // offset of the pixels
    PutLittleEndian(out, 40, 4);               // info header size
    PutLittleEndian(out, picture.width(), 4);
    PutLittleEndian(out, picture.height(), 4);  // positive: bottom-up
    PutLittleEndian(out, 1, 2);                 // planes
    PutLittleEndian(out, 24, 2);                // bits per pixel
    PutLittleEndian(out, 0, 4);                 // BI_RGB
    PutLittleEndian(out, pixelBytes, 4);
    PutLittleEndian(out, 2835, 4);  // 72 dots per inch, both ways
    PutLittleEndian(out, 2835, 4);
    PutLittleEndian(out, 0, 4);  // colours used
    PutLittleEndian(out, 0, 4);  // important colours
    for (int y = picture.height() - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width(); ++x) {
            Rgb pixel = picture.Get(x, y);
            out.insert(out.end(), {pixel.b, pixel.g, pixel.r});
        }
        out.resize(out.size() + rowBytes - picture.width() * 3, 0);
    }
    return out;
}

bool WriteBmpFile(const Picture& picture, const std::string& path) {
    std::vector<uint8_t> bytes = EncodeBmp(picture);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}
