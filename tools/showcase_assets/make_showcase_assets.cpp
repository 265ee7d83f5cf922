// Writes the pictures the showcase loads through its KBM and plug-in pages:
// one procedural picture as .kbm, .png, .jpg and .gif, into the folder given.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tools/kbm_encoder/kbm_encoder.h"
#include "tools/picture_writers/picture_writers.h"

namespace {

constexpr int WIDTH = 160, HEIGHT = 120;

// A sunset: a sky gradient, a sun and rolling hills, 0x00RRGGBB.
uint32_t SunsetPixel(int x, int y) {
    const double sun = std::hypot(x - 110.0, y - 48.0);
    const double hill = 86 + 10 * std::sin(x / 17.0) + 6 * std::sin(x / 7.0 + 1);
    int r, g, b;
    if (y > hill) {
        r = 30 + (y - 80) / 2, g = 90 + (x % 40) / 4, b = 50;
    } else if (sun < 22) {
        r = 255, g = 215 - static_cast<int>(sun * 2), b = 80;
    } else {
        r = 250 - y, g = 120 + y / 2, b = 110 + y;
    }
    return static_cast<uint32_t>(r & 0xFF) << 16 | static_cast<uint32_t>(g & 0xFF) << 8 | (b & 0xFF);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    std::vector<uint32_t> rgb;
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) rgb.push_back(SunsetPixel(x, y));

    const std::vector<uint8_t> kbm = EncodeKbm(WIDTH, HEIGHT, rgb);
    std::ofstream(folder + "/sunset.kbm", std::ios::binary)
        .write(reinterpret_cast<const char*>(kbm.data()), static_cast<std::streamsize>(kbm.size()));

    // The GIF keeps 256 colours: 8 levels of red and green, 4 of blue.
    std::vector<uint32_t> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] = static_cast<uint32_t>((i >> 5) * 255 / 7) << 16 | static_cast<uint32_t>(((i >> 2) & 7) * 255 / 7) << 8 |
                     static_cast<uint32_t>((i & 3) * 255 / 3);
    GifFrame frame{0, 0, WIDTH, HEIGHT, {}, -1};
    for (uint32_t c : rgb)
        frame.indices.push_back(static_cast<uint8_t>(((c >> 21) & 7) << 5 | ((c >> 13) & 7) << 2 | ((c >> 6) & 3)));

    const bool written = WritePng(folder + "/sunset.png", WIDTH, HEIGHT, rgb) &&
                         WriteJpeg(folder + "/sunset.jpg", WIDTH, HEIGHT, rgb) &&
                         WriteGif(folder + "/sunset.gif", WIDTH, HEIGHT, 0, palette, frame);
    if (!written) std::fprintf(stderr, "%s: could not write the pictures into %s\n", argv[0], folder.c_str());
    return written ? 0 : 1;
}
