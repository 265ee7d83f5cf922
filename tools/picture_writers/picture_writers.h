// Small PNG, JPEG and GIF files, written through the same libraries the
// decoder plug-ins read them with (for tests and the showcase's pictures).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// rgb: width x height colours 0x00RRGGBB, top row first; alpha (when not
// empty) one value per pixel.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint32_t>& rgb,
              const std::vector<uint8_t>& alpha = {});

// Best quality, no chroma subsampling.
bool WriteJpeg(const std::string& path, int width, int height, const std::vector<uint32_t>& rgb);

// Four bytes a pixel (cyan, magenta, yellow, black) stored as given, coded as
// CMYK or YCCK; libjpeg marks the file with an Adobe marker, so readers take
// the bytes as inverted inks (255 is no ink), as Photoshop writes them.
bool WriteCmykJpeg(const std::string& path, int width, int height, const std::vector<uint8_t>& inks, bool ycck);

struct GifFrame {
    int left, top, width, height;
    std::vector<uint8_t> indices;  // width x height, top row first
    int transparentIndex;          // -1 for none
};

// A GIF of one frame on a screenWidth x screenHeight screen; the palette has
// 2, 4, 8, ... 256 colours.
bool WriteGif(const std::string& path, int screenWidth, int screenHeight, int backgroundIndex,
              const std::vector<uint32_t>& palette, const GifFrame& frame);
