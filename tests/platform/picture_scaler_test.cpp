// The software presenter's scaler: each output pixel shows the picture pixel
// it lies on, a changed part redraws exactly its own output pixels, and
// nothing outside the output is touched when the picture is larger.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "platform/win/picture_scaler.h"
#include "tests/support/same_values.h"

namespace {

constexpr uint32_t UNTOUCHED = 0xDEADBEEF;

// A 5-6-5 picture whose pixels all differ; Xrgb gives each one's output value.
struct TestPicture {
    TestPicture(int width, int height) : pixels(static_cast<size_t>(width) * height) {
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint16_t>(i * 0x0841 + 0x1000);
        buffer = {reinterpret_cast<uint8_t*>(pixels.data()), width, height, width * 2, PIXEL_FORMAT_565};
    }
    uint32_t Xrgb(int x, int y) const {
        const uint16_t p = pixels[static_cast<size_t>(y) * buffer.width + x];
        const uint32_t r = p >> 11, g = (p >> 5) & 63, b = p & 31;
        return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
    }
    std::vector<uint16_t> pixels;
    PixelBuffer buffer;
};

struct Output {
    Output(int width, int height) : width(width), height(height), pixels(static_cast<size_t>(width) * height, UNTOUCHED) {}
    PixelArea Draw(const TestPicture& picture, const PixelArea& part, const PixelArea& view) {
        return ScalePicturePart(picture.buffer, part, view, pixels.data(), width * 4, width, height);
    }
    int width, height;
    std::vector<uint32_t> pixels;
};

// Every output pixel compared with expected(x, y).
template <typename Expected>
::testing::AssertionResult OutputIs(const Output& output, Expected expected) {
    std::vector<uint32_t> wanted;
    for (int y = 0; y < output.height; ++y)
        for (int x = 0; x < output.width; ++x) wanted.push_back(expected(x, y));
    return SameValues(output.pixels, wanted);
}

// An area as a tuple, which the assertions print.
std::tuple<int, int, int, int> Fields(const PixelArea& area) { return {area.x, area.y, area.width, area.height}; }

bool Inside(const PixelArea& area, int x, int y) {
    return x >= area.x && y >= area.y && x < area.x + area.width && y < area.y + area.height;
}

}  // namespace

TEST(PictureScaler, WholeScaleFitsCentredAChangedPartRedrawsExactlyItsPixelsAndALargerPictureIsCropped) {
    EXPECT_EQ(Fields(FitWholeScale(640, 480, 1366, 1000)), std::make_tuple(43, 20, 1280, 960));
    EXPECT_EQ(Fields(FitWholeScale(640, 480, 600, 400)), std::make_tuple(-20, -40, 640, 480));
    // A changed part redraws exactly its scaled pixels.
    const TestPicture picture(5, 4);
    Output output(13, 11);
    const PixelArea view = FitWholeScale(5, 4, 13, 11);
    const PixelArea all = output.Draw(picture, {0, 0, 5, 4}, view);
    EXPECT_TRUE(OutputIs(output, [&](int x, int y) {
        return Inside(view, x, y) ? picture.Xrgb((x - view.x) / 2, (y - view.y) / 2) : UNTOUCHED;
    }));
    EXPECT_EQ(Fields(all), std::make_tuple(view.x, view.y, 10, 8));
    Output partial(13, 11);
    const PixelArea written = partial.Draw(picture, {1, 2, 2, 1}, view);
    const PixelArea expected{view.x + 2, view.y + 4, 4, 2};
    EXPECT_TRUE(OutputIs(partial, [&](int x, int y) {
        return Inside(expected, x, y) ? picture.Xrgb((x - view.x) / 2, (y - view.y) / 2) : UNTOUCHED;
    }));
    EXPECT_EQ(Fields(written), Fields(expected));
    // A picture larger than the output is cropped without writing outside.
    const TestPicture large(8, 6);
    Output small(5, 4);
    small.Draw(large, {0, 0, 8, 6}, FitWholeScale(8, 6, 5, 4));
    EXPECT_TRUE(OutputIs(small, [&](int x, int y) { return large.Xrgb(x + 1, y + 1); }));
}
