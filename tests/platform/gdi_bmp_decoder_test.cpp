// The .bmp decoder: every variant of the reference picture decodes to the
// reference pixels; truncated, corrupt and hostile files are refused.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/gdi/bmp_decoder.h"
#include "tools/bmp_encoder/bmp_encoder.h"
#include "tests/platform/gdi_test_support.h"

namespace {

class BmpVariantTest : public ::testing::TestWithParam<BmpVariant> {};

TEST_P(BmpVariantTest, LoadsAsTheReferencePictureInItsOwnDepth) {
    const BmpVariant& variant = GetParam();
    HBITMAP bitmap = LoadBmpBytes(EncodeBmp(variant));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ((std::vector<int>{info.bmWidth, info.bmHeight, info.bmBitsPixel}),
              (std::vector<int>{REFERENCE_WIDTH, REFERENCE_HEIGHT, variant.bitsPerPixel}));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < REFERENCE_HEIGHT; ++y)
        for (int x = 0; x < REFERENCE_WIDTH; ++x)
            ASSERT_EQ(GetPixel(dc, x, y), ExpectedColor(variant, x, y)) << "at " << x << "," << y;
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(bitmap));
}

INSTANTIATE_TEST_SUITE_P(AllVariants, BmpVariantTest, ::testing::ValuesIn(AllBmpVariants()),
                         [](const auto& info) { return std::string(info.param.name); });

// Decodes from a buffer of exactly the given bytes, so a read past its end
// is caught by the address sanitizer.
bool Decodes(const std::vector<uint8_t>& file) {
    const std::vector<uint8_t> exact(file);
    BmpInfo info;
    if (!ReadBmpInfo(exact.data(), exact.size(), &info)) return false;
    const int stride = (info.width * info.bitsPerPixel + 31) / 32 * 4;
    std::vector<uint8_t> pixels(static_cast<size_t>(stride) * info.height);
    const PixelBuffer out{pixels.data(), info.width, info.height, stride, info.format, info.colors.data()};
    return DecodeBmpPixels(exact.data(), exact.size(), info, out);
}

// Writes a little-endian field of `bytes` bytes.
void Poke(std::vector<uint8_t>& file, size_t offset, uint32_t value, int bytes = 4) {
    for (int i = 0; i < bytes; ++i) file[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

const BmpVariant INFO8{"Info8", BmpHeaderKind::Info, 8, BI_RGB};
const BmpVariant INFO24{"Info24", BmpHeaderKind::Info, 24, BI_RGB};
const BmpVariant FIELDS565{"Fields565", BmpHeaderKind::Info, 16, BI_BITFIELDS, false, {0xF800, 0x07E0, 0x001F}};
const BmpVariant RLE8{"Rle8", BmpHeaderKind::Info, 8, BI_RLE8};
const BmpVariant RLE4{"Rle4", BmpHeaderKind::Info, 4, BI_RLE4};
const BmpVariant OS2_INFO8{"Os2Info8", BmpHeaderKind::Os2, 8, BI_RGB};

TEST(BmpDecoder, RefusesEveryTruncationAndCorruptHeaderFields) {
    for (const BmpVariant& variant : AllBmpVariants()) {
        const std::vector<uint8_t> file = EncodeBmp(variant);
        ASSERT_TRUE(Decodes(file)) << variant.name;
        for (size_t length = 0; length < file.size(); ++length)
            EXPECT_FALSE(Decodes({file.begin(), file.begin() + static_cast<ptrdiff_t>(length)}))
                << variant.name << " cut at " << length;
    }
    // Offsets in the info header: width 18, height 22, planes 26, depth 28,
    // compression 30, colours used 46; masks after it at 54.
    struct Corruption { const char* what; const BmpVariant& variant; size_t offset; int bytes; uint32_t value; };
    const Corruption cases[] = {
        {"magic", INFO8, 0, 2, 0x4D42 ^ 0x2020}, {"header size 20", INFO8, 14, 4, 20},
        {"header size 0", INFO8, 14, 4, 0}, {"header size past the end", INFO8, 14, 4, 0xFFFFFFF0},
        {"planes 0", INFO8, 26, 2, 0}, {"planes 2", INFO8, 26, 2, 2}, {"depth 0", INFO8, 28, 2, 0},
        {"depth 7", INFO8, 28, 2, 7}, {"depth 64", INFO8, 28, 2, 64}, {"unknown compression", INFO8, 30, 4, 7},
        {"RLE8 at 24 bits", INFO24, 30, 4, BI_RLE8}, {"bit fields at 8 bits", INFO8, 30, 4, BI_BITFIELDS},
        {"width 0", INFO8, 18, 4, 0}, {"width negative", INFO8, 18, 4, 0xFFFFFFFF},
        {"width huge", INFO8, 18, 4, 0x7FFFFFFF}, {"width 16385", INFO8, 18, 4, 16385}, {"height 0", INFO8, 22, 4, 0},
        {"height most negative", INFO8, 22, 4, 0x80000000}, {"height 40000", INFO8, 22, 4, 40000},
        {"rows past the end", INFO8, 22, 4, 8}, {"pixel offset 0", INFO8, 10, 4, 0},
        {"pixel offset past the end", INFO8, 10, 4, 0xFFFFFFFF}, {"red mask zero", FIELDS565, 54, 4, 0},
        {"masks overlap", FIELDS565, 58, 4, 0x0FE0}, {"mask with a gap", FIELDS565, 62, 4, 0x0015},
        {"mask beyond 16 bits", FIELDS565, 54, 4, 0x1F800},
        {"RLE top-down", RLE8, 22, 4, static_cast<uint32_t>(-REFERENCE_HEIGHT)},
        {"OS/2 Huffman coding", OS2_INFO8, 30, 4, 3},
    };
    for (const Corruption& c : cases) {
        std::vector<uint8_t> file = EncodeBmp(c.variant);
        Poke(file, c.offset, c.value, c.bytes);
        EXPECT_FALSE(Decodes(file)) << c.what;
    }
}

// Replaces the run-length data of an 8-bit RLE file by the given bytes.
std::vector<uint8_t> WithRleData(const BmpVariant& variant, std::vector<uint8_t> data) {
    std::vector<uint8_t> file = EncodeBmp(variant);
    const uint32_t offset = file[10] | (file[11] << 8) | (file[12] << 16) | (file[13] << 24);
    file.resize(offset);
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

TEST(BmpDecoder, RefusesHugeAndStrayRunLengthBitmapsAndNonBitmapsAndRunsSkipToIndexZeroUpwards) {
    std::vector<uint8_t> file = EncodeBmp({"Info32", BmpHeaderKind::Info, 32, BI_RGB});
    Poke(file, 18, 32768);
    Poke(file, 22, 32768);  // 4 GB of pixels
    // 16384 squared in a few bytes of run-length data that ends at once.
    std::vector<uint8_t> rle = WithRleData(RLE8, {0, 1});
    Poke(rle, 18, 16384);
    Poke(rle, 22, 16384);
    for (const auto& bomb : {file, rle}) {
        BmpInfo info;
        EXPECT_FALSE(ReadBmpInfo(bomb.data(), bomb.size(), &info));
        EXPECT_EQ(LoadBmpBytes(bomb), nullptr);
    }
    // The longest side allowed, in a strip.
    Poke(rle, 18, 16384);
    Poke(rle, 22, 1);
    EXPECT_TRUE(Decodes(rle));
    // Run-length data that leaves the bitmap.
    // Width 13, height 7.
    EXPECT_TRUE(Decodes(WithRleData(RLE8, {13, 5, 0, 1})));
    EXPECT_FALSE(Decodes(WithRleData(RLE8, {14, 5, 0, 1}))) << "run past the line";
    EXPECT_FALSE(Decodes(WithRleData(RLE8, {10, 5, 4, 5, 0, 1}))) << "second run past the line";
    EXPECT_FALSE(Decodes(WithRleData(RLE8, {10, 5, 0, 4, 1, 2, 3, 4, 0, 1}))) << "literal run past the line";
    EXPECT_FALSE(Decodes(WithRleData(RLE8, {0, 2, 14, 0, 0, 1}))) << "move past the line";
    EXPECT_FALSE(Decodes(WithRleData(RLE8, {0, 2, 0, 8, 0, 1}))) << "move above the top";
    EXPECT_FALSE(Decodes(WithRleData(RLE8, {0, 2, 0, 7, 1, 5, 0, 1}))) << "pixel above the top";
    EXPECT_FALSE(Decodes(WithRleData(RLE8, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1})))
        << "lines above the top";
    EXPECT_FALSE(Decodes(WithRleData(RLE8, {0, 5, 1, 2, 3}))) << "literal run cut short";
    EXPECT_FALSE(Decodes(WithRleData(RLE8, {5, 1, 0, 0}))) << "no end mark";
    EXPECT_TRUE(Decodes(WithRleData(RLE4, {13, 0x12, 0, 1})));
    EXPECT_FALSE(Decodes(WithRleData(RLE4, {0, 15, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1}))) << "RLE4 literal too long";
    // Run-length skips leave index zero, and lines go upwards.
    // Bottom line: one pixel of index 2; then move to (4, 2) and put 3 there.
    HBITMAP bitmap = LoadBmpBytes(WithRleData(RLE8, {1, 2, 0, 2, 3, 2, 1, 3, 0, 1}));
    ASSERT_NE(bitmap, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const int bottom = REFERENCE_HEIGHT - 1;
    EXPECT_EQ((std::vector<COLORREF>{GetPixel(dc, 0, bottom), GetPixel(dc, 4, bottom - 2), GetPixel(dc, 1, bottom),
                                     GetPixel(dc, 5, bottom - 2)}),
              (std::vector<COLORREF>{ReferenceColor(2), ReferenceColor(3), ReferenceColor(0), ReferenceColor(0)}));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    // A missing file and files that are no bitmap.
    EXPECT_EQ(LoadImageA(nullptr, "/nonexistent/dir/none.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(LoadBmpBytes({'G', 'I', 'F', '8', '9', 'a'}), nullptr);
    EXPECT_EQ(LoadBmpBytes({}), nullptr);
}

}  // namespace
