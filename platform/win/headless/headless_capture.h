// The headless display: there is no screen, so a display mode only needs to be
// accepted; a presented picture is written as a PNG file for each capture the
// script asked for in the current frame.
#pragma once

struct PixelBuffer;

void HeadlessSetDisplayMode(int width, int height, int bitsPerPixel, bool fullScreen);
void HeadlessPresentPicture(const PixelBuffer& picture);
