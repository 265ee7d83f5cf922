// PNG files of captured frames: 8-bit RGB, no interlace, written with the
// same bytes for the same picture. The reader takes back RGB files of that
// kind (any row filter) and refuses everything else with a reason.
#pragma once

#include <string>

#include "platform/win/picture_rgb.h"

bool WritePng(const std::string& path, const RgbImage& image, std::string* error);
bool WritePicturePng(const std::string& path, const PixelBuffer& picture, std::string* error);
bool ReadPng(const std::string& path, RgbImage* image, std::string* error);
