// PNG writing and reading through libpng's simplified interface: 8-bit RGB
// pictures out, any PNG back as 8-bit RGB.
#include "platform/win/headless/png_image.h"

#include <png.h>

#include <cstdint>

namespace {

constexpr uint32_t LARGEST_SIDE = 1u << 15;

bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

}  // namespace

bool WritePng(const std::string& path, const RgbImage& image, std::string* error) {
    if (image.width <= 0 || image.height <= 0) return Fail(error, "an empty picture has no PNG form");
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&png, path.c_str(), 0, image.rgb.data(), 0, nullptr))
        return Fail(error, "cannot write '" + path + "': " + png.message);
    return true;
}

bool WritePicturePng(const std::string& path, const PixelBuffer& picture, std::string* error) {
    RgbImage image;
    PictureToRgb(picture, &image);
    return WritePng(path, image, error);
}

bool ReadPng(const std::string& path, RgbImage* image, std::string* error) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return Fail(error, path + ": " + png.message);
    if (png.width == 0 || png.height == 0 || png.width > LARGEST_SIDE || png.height > LARGEST_SIDE) {
        png_image_free(&png);
        return Fail(error, path + ": bad picture size");
    }
    png.format = PNG_FORMAT_RGB;
    image->width = static_cast<int>(png.width);
    image->height = static_cast<int>(png.height);
    image->rgb.assign(PNG_IMAGE_SIZE(png), 0);
    if (!png_image_finish_read(&png, nullptr, image->rgb.data(), 0, nullptr))
        return Fail(error, path + ": " + png.message);
    return true;
}
