// Nearest-pixel scaling of a picture into a 32-bit 0x00RRGGBB output, one
// changed rectangle at a time: the software path of the desktop presenter.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/pixel_buffer.h"

struct PixelArea {
    int x = 0, y = 0, width = 0, height = 0;
    bool Empty() const { return width <= 0 || height <= 0; }
};

// The largest rectangle of the picture's aspect at a whole-number scale
// centred in the output (scale 1 when the output is smaller than the picture).
PixelArea FitWholeScale(int pictureWidth, int pictureHeight, int outputWidth, int outputHeight);

// Draws the part of the picture inside `part` (picture pixels) into output,
// where the whole picture covers `view`; each output pixel shows the picture
// pixel it lies on. Output pixels outside the output's size are not touched.
// Returns the output area written.
PixelArea ScalePicturePart(const PixelBuffer& picture, const PixelArea& part, const PixelArea& view,
                           uint32_t* output, int outputPitch, int outputWidth, int outputHeight);
