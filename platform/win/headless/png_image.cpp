// PNG writing and reading on zlib: signature, IHDR, one IDAT, IEND, each chunk
// with its CRC. Rows are stored with filter 0 and compressed at a fixed level.
#include "platform/win/headless/png_image.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint32_t kLargestSide = 1u << 15;

void PutBigEndian(std::string* out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<char>((value >> shift) & 0xFF));
}

uint32_t GetBigEndian(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

void PutChunk(std::string* out, const char type[4], const std::string& data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    const size_t typeAt = out->size();
    out->append(type, 4);
    out->append(data);
    const auto* checked = reinterpret_cast<const Bytef*>(out->data() + typeAt);
    PutBigEndian(out, static_cast<uint32_t>(crc32(0, checked, static_cast<uInt>(data.size() + 4))));
}

uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Undoes one row's filter in place; previous is the unfiltered row above (zeros for the first).
bool Unfilter(uint8_t filter, uint8_t* row, const uint8_t* previous, size_t length) {
    constexpr size_t kBytesPerPixel = 3;
    for (size_t i = 0; i < length; ++i) {
        const int left = i >= kBytesPerPixel ? row[i - kBytesPerPixel] : 0;
        const int up = previous[i];
        const int upLeft = i >= kBytesPerPixel ? previous[i - kBytesPerPixel] : 0;
        switch (filter) {
            case 0: break;
            case 1: row[i] = static_cast<uint8_t>(row[i] + left); break;
            case 2: row[i] = static_cast<uint8_t>(row[i] + up); break;
            case 3: row[i] = static_cast<uint8_t>(row[i] + (left + up) / 2); break;
            case 4: row[i] = static_cast<uint8_t>(row[i] + Paeth(left, up, upLeft)); break;
            default: return false;
        }
    }
    return true;
}

bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

}  // namespace

bool WritePng(const std::string& path, const RgbImage& image, std::string* error) {
    if (image.width <= 0 || image.height <= 0) return Fail(error, "an empty picture has no PNG form");
    const size_t rowBytes = static_cast<size_t>(image.width) * 3;
    std::string rows;
    rows.reserve((rowBytes + 1) * image.height);
    for (int y = 0; y < image.height; ++y) {
        rows.push_back(0);  // filter: none
        rows.append(reinterpret_cast<const char*>(image.rgb.data() + y * rowBytes), rowBytes);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(rows.data()),
                  static_cast<uLong>(rows.size()), 6) != Z_OK)
        return Fail(error, "cannot compress the picture");
    packed.resize(packedSize);

    std::string header;
    PutBigEndian(&header, static_cast<uint32_t>(image.width));
    PutBigEndian(&header, static_cast<uint32_t>(image.height));
    header += std::string{8, 2, 0, 0, 0};  // 8 bits per sample, RGB, deflate, filter set 0, no interlace
    std::string file(reinterpret_cast<const char*>(kSignature), sizeof kSignature);
    PutChunk(&file, "IHDR", header);
    PutChunk(&file, "IDAT", packed);
    PutChunk(&file, "IEND", "");

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(file.data(), static_cast<std::streamsize>(file.size())) || !out.flush())
        return Fail(error, "cannot write '" + path + "'");
    return true;
}

bool WritePicturePng(const std::string& path, const PixelBuffer& picture, std::string* error) {
    RgbImage image;
    PictureToRgb(picture, &image);
    return WritePng(path, image, error);
}

bool ReadPng(const std::string& path, RgbImage* image, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Fail(error, "cannot read '" + path + "'");
    const std::string file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const auto* bytes = reinterpret_cast<const uint8_t*>(file.data());
    if (file.size() < sizeof kSignature || !std::equal(kSignature, kSignature + 8, bytes))
        return Fail(error, path + ": not a PNG file");

    uint32_t width = 0, height = 0;
    std::string packed;
    bool ended = false;
    for (size_t at = sizeof kSignature; !ended;) {
        if (file.size() - at < 12) return Fail(error, path + ": truncated chunk");
        const uint32_t length = GetBigEndian(bytes + at);
        if (length > file.size() - at - 12) return Fail(error, path + ": truncated chunk");
        const std::string type = file.substr(at + 4, 4);
        const uint8_t* data = bytes + at + 8;
        if (crc32(0, bytes + at + 4, length + 4) != GetBigEndian(data + length))
            return Fail(error, path + ": bad checksum in " + type);
        if (type == "IHDR") {
            if (length != 13) return Fail(error, path + ": bad header");
            width = GetBigEndian(data);
            height = GetBigEndian(data + 4);
            if (data[8] != 8 || data[9] != 2 || data[10] != 0 || data[11] != 0 || data[12] != 0)
                return Fail(error, path + ": only 8-bit RGB pictures without interlace are read");
            if (width == 0 || height == 0 || width > kLargestSide || height > kLargestSide)
                return Fail(error, path + ": bad picture size");
        } else if (type == "IDAT") {
            packed.append(reinterpret_cast<const char*>(data), length);
        } else if (type == "IEND") {
            ended = true;
        }
        at += 12 + length;
    }
    if (width == 0) return Fail(error, path + ": no header");

    const size_t rowBytes = static_cast<size_t>(width) * 3;
    std::string rows((rowBytes + 1) * height, '\0');
    uLongf rowsSize = static_cast<uLongf>(rows.size());
    if (uncompress(reinterpret_cast<Bytef*>(rows.data()), &rowsSize, reinterpret_cast<const Bytef*>(packed.data()),
                   static_cast<uLong>(packed.size())) != Z_OK ||
        rowsSize != rows.size())
        return Fail(error, path + ": damaged picture data");

    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    image->rgb.assign(rowBytes * height, 0);
    const std::vector<uint8_t> zeros(rowBytes, 0);
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = image->rgb.data() + y * rowBytes;
        const auto* stored = reinterpret_cast<const uint8_t*>(rows.data()) + y * (rowBytes + 1);
        std::copy(stored + 1, stored + 1 + rowBytes, row);
        if (!Unfilter(stored[0], row, y ? row - rowBytes : zeros.data(), rowBytes))
            return Fail(error, path + ": unknown row filter");
    }
    return true;
}
