// PNG through libpng's simplified writer, JPEG through libjpeg-turbo, GIF
// through giflib: test pictures made by the libraries themselves.
#include "tools/picture_writers/picture_writers.h"

#include <cstdio>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

bool WritePng(const std::string& path, int width, int height, const std::vector<uint32_t>& rgb,
              const std::vector<uint8_t>& alpha) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = alpha.empty() ? PNG_FORMAT_RGB : PNG_FORMAT_RGBA;
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < rgb.size(); ++i) {
        for (const int shift : {16, 8, 0}) bytes.push_back(static_cast<uint8_t>(rgb[i] >> shift));
        if (!alpha.empty()) bytes.push_back(alpha[i]);
    }
    return png_image_write_to_file(&image, path.c_str(), 0, bytes.data(), 0, nullptr) != 0;
}

namespace {

// Best quality, no chroma subsampling; samples hold components bytes a pixel.
bool WriteJpegSamples(const std::string& path, int width, int height, int components, J_COLOR_SPACE input,
                      J_COLOR_SPACE coded, const std::vector<uint8_t>& samples) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    jpeg_compress_struct jpeg;
    jpeg_error_mgr error;
    jpeg.err = jpeg_std_error(&error);
    jpeg_create_compress(&jpeg);
    jpeg_stdio_dest(&jpeg, file);
    jpeg.image_width = static_cast<JDIMENSION>(width);
    jpeg.image_height = static_cast<JDIMENSION>(height);
    jpeg.input_components = components;
    jpeg.in_color_space = input;
    jpeg_set_defaults(&jpeg);
    jpeg_set_colorspace(&jpeg, coded);
    jpeg_set_quality(&jpeg, 100, TRUE);
    for (int c = 0; c < components; ++c) jpeg.comp_info[c].h_samp_factor = jpeg.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&jpeg, TRUE);
    for (int y = 0; y < height; ++y) {
        JSAMPROW rows[1] = {const_cast<JSAMPLE*>(samples.data() + static_cast<size_t>(y) * width * components)};
        jpeg_write_scanlines(&jpeg, rows, 1);
    }
    jpeg_finish_compress(&jpeg);
    jpeg_destroy_compress(&jpeg);
    return std::fclose(file) == 0;
}

}  // namespace

bool WriteJpeg(const std::string& path, int width, int height, const std::vector<uint32_t>& rgb) {
    std::vector<uint8_t> samples;
    for (const uint32_t c : rgb)
        for (const int shift : {16, 8, 0}) samples.push_back(static_cast<uint8_t>(c >> shift));
    return WriteJpegSamples(path, width, height, 3, JCS_RGB, JCS_YCbCr, samples);
}

bool WriteCmykJpeg(const std::string& path, int width, int height, const std::vector<uint8_t>& inks, bool ycck) {
    return WriteJpegSamples(path, width, height, 4, JCS_CMYK, ycck ? JCS_YCCK : JCS_CMYK, inks);
}

bool WriteGif(const std::string& path, int screenWidth, int screenHeight, int backgroundIndex,
              const std::vector<uint32_t>& palette, const GifFrame& frame) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif) return false;
    std::vector<GifColorType> colors;
    for (const uint32_t c : palette)
        colors.push_back({static_cast<GifByteType>(c >> 16), static_cast<GifByteType>(c >> 8), static_cast<GifByteType>(c)});
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(colors.size()), colors.data());
    bool ok = map && EGifPutScreenDesc(gif, screenWidth, screenHeight, 8, backgroundIndex, map) == GIF_OK;
    if (ok && frame.transparentIndex >= 0) {
        GraphicsControlBlock control{};
        control.TransparentColor = frame.transparentIndex;
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&control, extension);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_OK;
    }
    ok = ok && EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < frame.height; ++y) {
        auto* line = const_cast<GifPixelType*>(frame.indices.data() + static_cast<size_t>(y) * frame.width);
        ok = EGifPutLine(gif, line, frame.width) == GIF_OK;
    }
    GifFreeMapObject(map);
    return EGifCloseFile(gif, &error) == GIF_OK && ok;
}
