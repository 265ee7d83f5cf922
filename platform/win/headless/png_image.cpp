// PNG writing and reading through libpng's simplified interface.
#include "platform/win/headless/png_image.h"

#include <png.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace {

// Pictures of more pixels than this (a sheet of a hundred frames has about
// a third as many) are refused before any memory is given to them.
constexpr uint64_t kMostPixels = uint64_t{1} << 26;

bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

// libpng's own words for the last failure on png, freeing what it holds.
bool FailWith(png_image* png, std::string* error, const std::string& context) {
    const std::string message = png->message;
    png_image_free(png);
    return Fail(error, context + ": " + message);
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
        return FailWith(&png, error, "cannot write '" + path + "'");
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
    if (!png_image_begin_read_from_file(&png, path.c_str())) return FailWith(&png, error, path);
    if (uint64_t{png.width} * png.height > kMostPixels) {
        png_image_free(&png);
        return Fail(error, path + ": bad picture size");
    }
    // Transparent pixels are composed onto black.
    png.format = PNG_FORMAT_RGB;
    const png_color black{0, 0, 0};
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, &black, rgb.data(), 0, nullptr)) return FailWith(&png, error, path);
    image->width = static_cast<int>(png.width);
    image->height = static_cast<int>(png.height);
    image->rgb = std::move(rgb);
    return true;
}
