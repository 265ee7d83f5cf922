// KBM pictures: decoded byte for byte, round trips through the encoder, malformed
// files refused (also under random damage) and a lost slot reloaded.
#include <gtest/gtest.h>

#include <random>

#include "platform/ddraw/ddraw_objects.h"
#include "tests/framework/display_fixture.h"
#include "tests/framework/slot_pictures.h"
#include "tools/kbm_encoder/kbm_encoder.h"

namespace {

std::vector<uint8_t> KbmHeader(int32_t width, int32_t height, int32_t size0, int32_t size1, int32_t size2) {
    std::vector<uint8_t> bytes = {'K', 'B', 'M', 0};
    for (const int32_t v : {width, height, size0, size1, size2})
        for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * b)));
    return bytes;
}

std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The colour a KBM file can hold for rgb: the high 5 bits of each channel.
uint32_t Stored(uint32_t rgb) { return rgb & 0xF8F8F8; }

class KbmLoader : public DisplayTest {
protected:
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) { return files_.Write(name, bytes); }
    std::vector<uint16_t> Expected(const std::vector<uint32_t>& rgb) {
        std::vector<uint16_t> out;
        for (const uint32_t c : rgb) out.push_back(DisplayValue(Stored(c)));
        return out;
    }
    TempFiles files_;
};

TEST_F(KbmLoader, CodesDecodeToTheirPixelsBottomRowFirstEncodedPicturesReadBackAndALostSlotIsDecodedAgain) {
    const std::string path = Write("example.kbm", Concat(KbmHeader(4, 1, 1, 2, 1), {0x1B, 0xF9, 0x01, 0x83}));
    ASSERT_EQ(LoadKbmImage(20, path.c_str(), 1), 1);
    const ImageSlot& s = gImageSlots[20];
    EXPECT_EQ((std::vector<int>{s.width, s.height}), (std::vector<int>{4, 1}));
    // Blue 0x18, green 0xF8, red 0x80 twice, then blue 0x18, red 0x80.
    EXPECT_EQ(SlotPixels(20), Expected({0x80F818, 0x80F818, 0x800018, 0x800018}));
    EXPECT_EQ((std::vector<uint32_t>{s.colorKey, static_cast<uint32_t>(s.useColorKey)}),
              (std::vector<uint32_t>{DisplayValue(0x80F818), 1})) << "keyed on the top-left pixel";
    EXPECT_EQ((std::vector<std::string>{s.fileName, s.pluginName}), (std::vector<std::string>{path, ""}));

    // 4 x 2: blue is FF (0xF8 eight times), green an empty plane, red one 0
    // (code 00) then 0x80 seven times. The first four values are the bottom row.
    const std::string limits = Write("limits.kbm", Concat(KbmHeader(4, 2, 1, 0, 2), {0xFF, 0x00, 0x86}));
    ASSERT_EQ(LoadKbmImage(21, limits.c_str(), 0), 1);
    EXPECT_EQ(SlotPixels(21), Expected({0x8000F8, 0x8000F8, 0x8000F8, 0x8000F8,  // top row
                                        0x0000F8, 0x8000F8, 0x8000F8, 0x8000F8}));
    EXPECT_EQ(gImageSlots[21].useColorKey, 0);

    // Encoded pictures read back at every row padding.
    std::mt19937 random(7);
    for (const int width : {1, 2, 3, 4, 5, 7, 9, 17})
        for (const int height : {1, 3}) {
            std::vector<uint32_t> rgb(width * height);
            // Runs of equal colours as well as single pixels.
            for (uint32_t& c : rgb) c = random() % 3 == 0 ? 0xFFFFFF : random() & 0xFFFFFF;
            const std::string path = Write("round.kbm", EncodeKbm(width, height, rgb));
            ASSERT_EQ(LoadKbmImage(22, path.c_str(), 0), 1) << width << " x " << height;
            EXPECT_EQ(SlotPixels(22), Expected(rgb)) << width << " x " << height;
        }

    // A lost slot is decoded again from its file.
    const std::vector<uint32_t> rgb = {0xFF00FF, 0x00FF00, 0x0000FF, 0xFFFFFF};
    const std::string lost = Write("lost.kbm", EncodeKbm(2, 2, rgb));
    ASSERT_EQ(LoadKbmImage(26, lost.c_str(), 1), 1);
    MarkAllSurfacesLost();
    gDisplay.primary->Restore();
    const std::string log = DebugLinesOf([] { RestoreImage(26); });
    EXPECT_NE(log.find(ShiftJisToUtf8(("IMG[" + lost + "]をリロードします。\n").c_str())), std::string::npos) << log;
    EXPECT_EQ(SlotPixels(26), Expected(rgb));
    EXPECT_EQ(gImageSlots[26].useColorKey, 1);
    EXPECT_EQ(gImageSlots[26].colorKey, DisplayValue(Stored(0xFF00FF)));
}

TEST_F(KbmLoader, UnreadableAndMalformedFilesAreRefusedWithTheirMessageWithoutWritingPastTheBuffer) {
    const std::string missing = TempPath("missing.kbm");
    ASSERT_EQ(CreateImage(23, 8, 8, 0, 0), 1);
    std::string log = DebugLinesOf([&] { EXPECT_EQ(LoadKbmImage(23, missing.c_str(), 0), 0); });
    EXPECT_EQ(log, ShiftJisToUtf8(("KBM[" + missing + "]のオープンに失敗しました。\n").c_str()));
    EXPECT_EQ(gImageSlots[23].surface, nullptr) << "the old picture is released first";
    EXPECT_STREQ(gImageSlots[23].fileName, missing.c_str());

    for (const auto& bytes : {std::vector<uint8_t>{'K', 'B', 'N', 0, 4, 0, 0, 0}, std::vector<uint8_t>{'K', 'B'},
                              std::vector<uint8_t>{}}) {
        const std::string path = Write("tag.kbm", bytes);
        log = DebugLinesOf([&] { EXPECT_EQ(LoadKbmImage(23, path.c_str(), 0), 0); });
        EXPECT_EQ(log, ShiftJisToUtf8(("KBM[" + path + "]はKBM形式ではありません。\n").c_str()));
    }
    EXPECT_EQ(LoadKbmImage(256, missing.c_str(), 0), 0);

    const std::vector<uint8_t> codes = {0x1B, 0xF9, 0x01, 0x83};
    const std::vector<std::vector<uint8_t>> malformed = {
        {'K', 'B', 'M', 0, 4, 0, 0, 0, 1, 0},                           // header cut short
        Concat(KbmHeader(4, 1, 1, 2, 1), {0x1B, 0xF9, 0x01}),          // last code byte missing
        Concat(KbmHeader(4, 1, 1, 2, 2), codes),                       // more codes announced than stored
        Concat(KbmHeader(4, 1, 2, 1, 1), {0x1B, 0x00, 0x00, 0x83}),    // plane 0 decodes to 5 values
        Concat(KbmHeader(4, 1, 1, 2, 1), {0x1B, 0xFF, 0x01, 0x83}),    // plane 1 decodes to 10 values
        Concat(KbmHeader(4, 1, 1, 1, 1), {0x1B, 0x03, 0x84}),          // plane 2 overflows on its last code
        Concat(KbmHeader(4, 1, -1, 2, 1), codes),                      // negative size
        Concat(KbmHeader(4, 1, 1, 2, INT32_MIN), codes),               // very negative size
        Concat(KbmHeader(4, 1, INT32_MAX, INT32_MAX, INT32_MAX), codes),  // sizes that overflow a sum
        Concat(KbmHeader(0, 1, 1, 2, 1), codes),                       // no width
        Concat(KbmHeader(4, -1, 1, 2, 1), codes),                      // negative height
        Concat(KbmHeader(INT32_MAX, INT32_MAX, 1, 2, 1), codes),       // a buffer beyond any bitmap
        Concat(KbmHeader(40000, 1, 1, 1, 1), {0x00, 0x00, 0x00}),      // wider than any bitmap
        Concat(KbmHeader(16385, 1, 1, 1, 1), {0x00, 0x00, 0x00}),      // wider than the size limit
        Concat(KbmHeader(27544, 2561, 1, 2, 1), codes),                // 28 bytes for 70 million pixels
        KbmHeader(9000, 9000, 0, 0, 0),                                // 81 million pixels of empty planes
        Concat(KbmHeader(4, 1, 1, 2, 1000000), codes),                 // planes announced far past the file's end
    };
    for (size_t i = 0; i < malformed.size(); ++i) {
        const std::string path = Write("bad.kbm", malformed[i]);
        const std::string log = DebugLinesOf([&] { EXPECT_EQ(LoadKbmImage(24, path.c_str(), 0), 0) << "case " << i; });
        EXPECT_EQ(log, ShiftJisToUtf8(("KBM[" + path + "]の展開に失敗しました。\n").c_str())) << "case " << i;
        EXPECT_EQ(gImageSlots[24].surface, nullptr);
    }
    // The longest side allowed, in a strip of empty planes.
    const std::string strip = Write("strip.kbm", KbmHeader(16384, 1, 0, 0, 0));
    EXPECT_EQ(LoadKbmImage(24, strip.c_str(), 0), 1);
    // Bytes after the last plane are not read.
    const std::string trailing = Write("trailing.kbm", Concat(Concat(KbmHeader(4, 1, 1, 2, 1), codes), {1, 2, 3}));
    EXPECT_EQ(LoadKbmImage(24, trailing.c_str(), 0), 1);
}

TEST_F(KbmLoader, RandomlyDamagedFilesLoadOrAreRefusedButNeverCrash) {
    std::mt19937 random(1234);
    std::vector<uint32_t> rgb(13 * 7);
    for (uint32_t& c : rgb) c = random() % 4 == 0 ? 0x102030 : random() & 0xFFFFFF;
    const std::vector<uint8_t> good = EncodeKbm(13, 7, rgb);
    const std::string path = files_.Path("fuzz.kbm");
    int loaded = 0;
    ::testing::internal::CaptureStderr();
    for (int round = 0; round < 600; ++round) {
        std::vector<uint8_t> bytes = good;
        // Any byte but the high bytes of width and height, which only make the
        // picture large (refusals of those are checked above).
        auto anyByte = [&] {
            for (;;) {
                const size_t i = random() % bytes.size();
                if (i < 5 || i == 8 || i >= 12) return i;
            }
        };
        // Each damage: any byte, a plane size, the file cut short, or a code byte turned into its longest run.
        for (int d = 0, damage = 1 + static_cast<int>(random() % 4); d < damage; ++d) {
            const uint32_t kind = random() % 4;
            if (kind == 0) bytes[anyByte()] = static_cast<uint8_t>(random());
            if (kind == 1) bytes[12 + random() % 12] = static_cast<uint8_t>(random());
            if (kind == 2) bytes.resize(random() % bytes.size() + 1);
            if (kind == 3 && bytes.size() > 24) bytes[24 + random() % (bytes.size() - 24)] |= 7;
        }
        WriteBytes(path, bytes);
        const int result = LoadKbmImage(25, path.c_str(), 1);
        loaded += result;
        ASSERT_EQ(gImageSlots[25].surface != nullptr, result == 1);
        EXPECT_TRUE(result != 1 || gImageSlots[25].width > 0) << gImageSlots[25].width;
    }
    ::testing::internal::GetCapturedStderr();
    EXPECT_GT(loaded, 0) << "some damage leaves a decodable file";
}

}  // namespace
