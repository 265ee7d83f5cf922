// PNG files of captured frames, through libpng: 8-bit RGB, written with the
// same bytes for the same picture. The reader takes any PNG libpng reads and
// converts it to 8-bit RGB; a damaged or oversized file is refused with a
// reason.
#pragma once

#include <string>

#include "platform/win/picture_rgb.h"

bool WritePng(const std::string& path, const RgbImage& image, std::string* error);
bool WritePicturePng(const std::string& path, const PixelBuffer& picture, std::string* error);
bool ReadPng(const std::string& path, RgbImage* image, std::string* error);
