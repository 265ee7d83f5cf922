// Writes the editor's desktop icon: the ball bitmap as a PNG scaled up by a
// whole factor, its colour-key colour (the top-left pixel, as in the program)
// made transparent.
//   make_desktop_icon Ball.bmp SCALE out.png
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/gdi/bmp_decoder.h"
#include "platform/win/picture_rgb.h"
#include "tools/picture_writers/picture_writers.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_desktop_icon BITMAP.bmp SCALE OUT.png\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<uint8_t> data{std::istreambuf_iterator<char>(in), {}};
    const int scale = std::atoi(argv[2]);
    BmpInfo info;
    if (!ReadBmpInfo(data.data(), data.size(), &info) || scale < 1 || scale > 16) {
        std::fprintf(stderr, "make_desktop_icon: %s is not a bitmap this tool reads, or bad scale\n", argv[1]);
        return 1;
    }
    PixelBuffer picture;
    picture.width = info.width;
    picture.height = info.height;
    picture.pitch = (info.width * info.bitsPerPixel + 31) / 32 * 4;
    picture.format = info.format;
    if (info.bitsPerPixel <= 8) picture.palette = info.colors.data();
    std::vector<uint8_t> pixels(static_cast<size_t>(picture.pitch) * info.height);
    picture.bits = pixels.data();
    RgbImage image;
    if (!DecodeBmpPixels(data.data(), data.size(), info, picture)) {
        std::fprintf(stderr, "make_desktop_icon: %s: malformed bitmap\n", argv[1]);
        return 1;
    }
    PictureToRgb(picture, &image);
    auto colour = [&](int x, int y) {
        const uint8_t* p = &image.rgb[(static_cast<size_t>(y) * image.width + x) * 3];
        return uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | uint32_t{p[2]};
    };
    const uint32_t key = colour(0, 0);
    const int width = info.width * scale, height = info.height * scale;
    std::vector<uint32_t> rgb(static_cast<size_t>(width) * height);
    std::vector<uint8_t> alpha(rgb.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t c = colour(x / scale, y / scale);
            rgb[static_cast<size_t>(y) * width + x] = c;
            alpha[static_cast<size_t>(y) * width + x] = c == key ? 0 : 255;
        }
    return WritePng(argv[3], width, height, rgb, alpha) ? 0 : 1;
}
