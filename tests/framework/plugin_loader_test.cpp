// Pictures through decoder plug-ins: each shipped plug-in's pixels, every failure
// with its message and its effect on the slot, unloading, reloading a lost slot.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdlib>

#include "platform/ddraw/ddraw_objects.h"
#include "platform/win/platform.h"
#include "tests/framework/display_fixture.h"
#include "tests/framework/slot_pictures.h"
#include "tools/picture_writers/picture_writers.h"

namespace {

const std::string PNG_PLUGIN = "plugins\\PngPicture.spi";
const std::string JPEG_PLUGIN = "jpegpicture.spi";
const std::string GIF_PLUGIN = "plugins\\gifpicture.dll";

// A test plug-in that goes wrong in the named way.
std::string FaultyPlugin(const std::string& fault) { return std::string(KORVEN_BIN_DIR) + "/test_plugins/faulty_" + fault + ".spi"; }

class PluginLoader : public DisplayTest {
protected:
    std::string Temp(const std::string& name) { return files_.Path(name); }
    // Loads through the plug-in and returns the result with the debug lines.
    std::pair<int, std::string> Load(int slot, const std::string& plugin, const std::string& picture, int key = 0) {
        int result = -1;
        std::string log = DebugLinesOf([&] { result = LoadPluginImage(slot, plugin.c_str(), picture.c_str(), key); });
        return {result, log};
    }
    static std::string Lines(std::initializer_list<std::string> lines) {
        std::string out;
        for (const std::string& line : lines) out += ShiftJisToUtf8(line.c_str());
        return out;
    }
    // The lines of a load that reached the picture, then the message.
    static std::string Processed(const std::string& plugin, const std::string& picture, const std::string& message) {
        return Lines({"SPI[" + plugin + "]を使用\n", "IMG[" + picture + "]を処理\n", message});
    }
    static bool LibraryLoaded(const std::string& name) {
        return dlopen((std::string(KORVEN_BIN_DIR) + name).c_str(), RTLD_NOW | RTLD_NOLOAD) != nullptr;
    }
    static std::vector<uint16_t> Expected(const std::vector<uint32_t>& rgb) {
        std::vector<uint16_t> out;
        for (const uint32_t c : rgb) out.push_back(DisplayValue(c));
        return out;
    }
    TempFiles files_;
};

// Colours the 16-bit display shows exactly: channels in steps of 8.
std::vector<uint32_t> RandomColours(size_t count, unsigned seed) {
    std::srand(seed);
    std::vector<uint32_t> rgb(count);
    for (uint32_t& c : rgb) c = static_cast<uint32_t>(std::rand()) & 0xF8F8F8;
    return rgb;
}

// Four flat 8 x 8 blocks of these colours, which code almost exactly at best quality.
std::vector<uint32_t> FourBlocks(const std::vector<uint32_t>& blocks) {
    std::vector<uint32_t> rgb(16 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) rgb[y * 16 + x] = blocks[(y / 8) * 2 + x / 8];
    return rgb;
}

// Each 5- or 6-bit field of the slot's pixels within one step of the colours'.
void ExpectWithinOneStep(const std::vector<uint16_t>& got, const std::vector<uint32_t>& rgb) {
    ASSERT_EQ(got.size(), rgb.size());
    for (size_t i = 0; i < rgb.size(); ++i) {
        const uint16_t want = DisplayValue(rgb[i]);
        EXPECT_LE(std::abs((got[i] >> 11) - (want >> 11)), 1) << i;
        EXPECT_LE(std::abs(((got[i] >> 5) & 63) - ((want >> 5) & 63)), 1) << i;
        EXPECT_LE(std::abs((got[i] & 31) - (want & 31)), 1) << i;
    }
}

// Each load unloads its library again. Partial transparency is composed onto
// black on the stored values, as viewers show it: 0xF8 at alpha 128 becomes
// 0x7C, not a brighter linear mix.
TEST_F(PluginLoader, EveryShippedPluginDeliversItsPictureAsViewersShowIt) {
    const std::vector<uint32_t> rgb = RandomColours(5 * 3, 1);
    const std::string path = Temp("picture.png");
    ASSERT_TRUE(WritePng(path, 5, 3, rgb));
    const auto [result, log] = Load(30, PNG_PLUGIN, path, 1);
    ASSERT_EQ(result, 1) << log;
    EXPECT_EQ(log, Processed(PNG_PLUGIN, path, ""));
    EXPECT_FALSE(LibraryLoaded("/plugins/libpngpicture.so"));
    const ImageSlot& s = gImageSlots[30];
    EXPECT_EQ((std::vector<uint32_t>{static_cast<uint32_t>(s.width), static_cast<uint32_t>(s.height), s.colorKey,
                                     static_cast<uint32_t>(s.useColorKey)}),
              (std::vector<uint32_t>{5, 3, DisplayValue(rgb[0]), 1}));
    EXPECT_EQ(SlotPixels(30), Expected(rgb));
    EXPECT_EQ((std::vector<std::string>{s.fileName, s.pluginName}), (std::vector<std::string>{path, PNG_PLUGIN}));

    const std::string alpha = Temp("alpha.png");
    ASSERT_TRUE(WritePng(alpha, 4, 1, {0xF80000, 0x00F800, 0x0000F8, 0xF8F8F8}, {255, 0, 255, 128}));
    ASSERT_EQ(Load(31, PNG_PLUGIN, alpha).first, 1);
    EXPECT_EQ(SlotPixels(31), Expected({0xF80000, 0x000000, 0x0000F8, 0x7C7C7C}));
    EXPECT_FALSE(LibraryLoaded("/plugins/libpngpicture.so"));

    // GIF frames sit on their background with transparency.
    const std::vector<uint32_t> palette = {0x000000, 0xF80000, 0x0000F8, 0xF8F800};
    // A 4 x 2 frame at (1, 1) of a 6 x 4 screen whose background is colour 2;
    // index 3 is transparent.
    const GifFrame frame{1, 1, 4, 2, {1, 3, 0, 1, 0, 1, 1, 3}, 3};
    const std::string gif = Temp("picture.gif");
    ASSERT_TRUE(WriteGif(gif, 6, 4, 2, palette, frame));
    ASSERT_EQ(Load(33, GIF_PLUGIN, gif).first, 1);
    const uint32_t B = palette[2], K = palette[0], R = palette[1];
    EXPECT_EQ(SlotPixels(33), Expected({B, B, B, B, B, B,  //
                                        B, R, B, K, R, B,  //
                                        B, K, R, R, B, B,  //
                                        B, B, B, B, B, B}));

    // JPEG within the coding error; Adobe CMYK and YCCK files store inverted
    // inks: each channel is ink x black / 255.
    const std::vector<uint32_t> colours = FourBlocks({0xF82010, 0x10F880, 0x2040F8, 0xC0C0C0});
    const std::string jpeg = Temp("picture.jpg");
    ASSERT_TRUE(WriteJpeg(jpeg, 16, 16, colours));
    ASSERT_EQ(Load(32, JPEG_PLUGIN, jpeg).first, 1);
    ExpectWithinOneStep(SlotPixels(32), colours);

    const uint8_t blockInks[4][4] = {{248, 0, 0, 255}, {0, 248, 128, 255}, {248, 248, 248, 128}, {0, 0, 0, 0}};
    const std::vector<uint32_t> shown = FourBlocks({0xF80000, 0x00F880, 0x7C7C7C, 0x000000});
    std::vector<uint8_t> inks;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) inks.insert(inks.end(), blockInks[(y / 8) * 2 + x / 8], blockInks[(y / 8) * 2 + x / 8] + 4);
    for (const bool ycck : {false, true}) {
        SCOPED_TRACE(ycck ? "YCCK" : "CMYK");
        const std::string inked = Temp(ycck ? "ycck.jpg" : "cmyk.jpg");
        ASSERT_TRUE(WriteCmykJpeg(inked, 16, 16, inks, ycck));
        ASSERT_EQ(Load(32, JPEG_PLUGIN, inked).first, 1);
        ExpectWithinOneStep(SlotPixels(32), shown);
    }
}

void PutBigEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * (size - 1 - i)));
}

TEST_F(PluginLoader, LibraryFailuresLeaveTheSlotAlonePictureFailuresAndBombsEmptyIt) {
    ASSERT_EQ(CreateImage(34, 4, 4, 0, RGB(255, 0, 0)), 1);
    const std::string picture = Temp("unused.png");
    auto [result, log] = Load(34, "nosuchplugin.spi", picture);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(log, Lines({"SPI[nosuchplugin.spi]を使用\n", "SPIがロードできません\n"}));

    const std::string onlyGetPicture = FaultyPlugin("no_is_supported");
    std::tie(result, log) = Load(34, onlyGetPicture, picture);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(log, Lines({"SPI[" + onlyGetPicture + "]を使用\n", "SPI内の関数が取得できません\n"}));
    EXPECT_FALSE(LibraryLoaded("/test_plugins/libfaulty_no_is_supported.so")) << "the library is unloaded again";

    EXPECT_NE(gImageSlots[34].surface, nullptr);
    EXPECT_EQ((std::vector<std::string>{gImageSlots[34].fileName, gImageSlots[34].pluginName}), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(LoadPluginImage(256, PNG_PLUGIN.c_str(), picture.c_str(), 0), 0);

    // Failures past the library empty the slot and keep both names. Among them
    // small, well-formed files that declare pictures far beyond the size limit
    // (or, for the JPEG, end long before their picture does), refused before
    // memory is set aside for the picture.
    // A GIF whose 2 x 2 picture sits on a 14079 x 8195 screen.
    const std::string gif = Temp("bomb.gif");
    ASSERT_TRUE(WriteGif(gif, 2, 2, 0, {0x000000, 0xF8F8F8}, GifFrame{0, 0, 2, 2, {0, 1, 1, 0}, -1}));
    std::vector<uint8_t> gifBytes = ReadBytes(gif);
    gifBytes[6] = 14079 & 0xFF, gifBytes[7] = 14079 >> 8, gifBytes[8] = 8195 & 0xFF, gifBytes[9] = 8195 >> 8;
    WriteBytes(gif, gifBytes);
    // A JPEG cut after its first scan's start: at its own size its data cannot
    // hold it; its frame header made to say 8000 x 8000, it is a bomb.
    const std::string cut = Temp("cut.jpg"), bombJpeg = Temp("bomb.jpg");
    ASSERT_TRUE(WriteJpeg(cut, 16, 16, RandomColours(256, 6)));
    std::vector<uint8_t> cutBytes = ReadBytes(cut);
    cutBytes.resize(cutBytes.size() / 2);
    WriteBytes(cut, cutBytes);
    std::vector<uint8_t> jpegBytes = cutBytes;
    for (size_t i = 0; i + 8 < jpegBytes.size(); ++i)
        if (jpegBytes[i] == 0xFF && jpegBytes[i + 1] == 0xC0) {
            PutBigEndian(jpegBytes, i + 5, 8000, 2);
            PutBigEndian(jpegBytes, i + 7, 8000, 2);
            break;
        }
    WriteBytes(bombJpeg, jpegBytes);
    // Cut as short but closed by an end-of-picture marker, as some tools close what they could not finish.
    const std::string closed = Temp("closed.jpg");
    cutBytes.insert(cutBytes.end(), {0xFF, 0xD9});
    WriteBytes(closed, cutBytes);
    // A PNG whose header says 20000 x 20000 (its checksum made to match).
    const std::string bombPng = Temp("bomb.png");
    ASSERT_TRUE(WritePng(bombPng, 2, 2, {0, 0, 0, 0}));
    std::vector<uint8_t> pngBytes = ReadBytes(bombPng);
    PutBigEndian(pngBytes, 16, 20000, 4);
    PutBigEndian(pngBytes, 20, 20000, 4);
    PutBigEndian(pngBytes, 29, static_cast<uint32_t>(crc32(0, pngBytes.data() + 12, 17)), 4);
    WriteBytes(bombPng, pngBytes);

    const std::string png = Temp("good.png");
    ASSERT_TRUE(WritePng(png, 2, 2, RandomColours(4, 2)));
    const std::string jpeg = Temp("good.jpg");
    ASSERT_TRUE(WriteJpeg(jpeg, 8, 8, RandomColours(64, 3)));
    const std::string brokenPng = Temp("broken.png");
    WriteBytes(brokenPng, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R', 1, 2});
    const std::string missing = Temp("missing.png");
    const std::string directory = ::testing::TempDir();

    const struct {
        std::string plugin, picture, message;
    } cases[] = {
        {PNG_PLUGIN, missing, "オープンに失敗しました\n"},
        {PNG_PLUGIN, directory, "リードエラー\n"},
        {PNG_PLUGIN, jpeg, "未対応の形式です\n"},
        {JPEG_PLUGIN, png, "未対応の形式です\n"},
        {FaultyPlugin("declines"), png, "未対応の形式です\n"},
        {FaultyPlugin("fails"), png, "デコードに失敗しました\n"},
        {PNG_PLUGIN, brokenPng, "デコードに失敗しました\n"},
        // Success reported, but the blocks cannot hold what their header says.
        {FaultyPlugin("short_bits"), png, "デコードに失敗しました\n"},
        {FaultyPlugin("short_info"), png, "デコードに失敗しました\n"},
        {GIF_PLUGIN, gif, "デコードに失敗しました\n"},
        {JPEG_PLUGIN, bombJpeg, "デコードに失敗しました\n"},
        {JPEG_PLUGIN, cut, "デコードに失敗しました\n"},
        {JPEG_PLUGIN, closed, "デコードに失敗しました\n"},
        {PNG_PLUGIN, bombPng, "デコードに失敗しました\n"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(CreateImage(35, 4, 4, 0, 0), 1);
        const auto [result, log] = Load(35, c.plugin, c.picture);
        EXPECT_EQ(result, 0) << c.plugin << " " << c.picture;
        EXPECT_EQ(log, Processed(c.plugin, c.picture, c.message));
        EXPECT_EQ(gImageSlots[35].surface, nullptr);
        EXPECT_EQ((std::vector<std::string>{gImageSlots[35].fileName, gImageSlots[35].pluginName}),
                  (std::vector<std::string>{c.picture, c.plugin}));
    }
}

TEST_F(PluginLoader, ALostSlotIsDecodedAgainThroughItsPlugin) {
    const std::vector<uint32_t> rgb = RandomColours(4 * 4, 5);
    const std::string path = Temp("lost.gif");
    std::vector<uint8_t> indices(16);
    for (int i = 0; i < 16; ++i) indices[i] = static_cast<uint8_t>(i % 8);
    std::vector<uint32_t> palette(rgb.begin(), rgb.begin() + 8);
    ASSERT_TRUE(WriteGif(path, 4, 4, 0, palette, GifFrame{0, 0, 4, 4, indices, -1}));
    ASSERT_EQ(Load(38, GIF_PLUGIN, path, 1).first, 1);
    std::vector<uint32_t> expected;
    for (const uint8_t i : indices) expected.push_back(palette[i]);

    MarkAllSurfacesLost();
    gDisplay.primary->Restore();
    const std::string log = DebugLinesOf([] { RestoreImage(38); });
    EXPECT_NE(log.find(Lines({"IMG[" + path + "]をリロードします。\n", "SPI[" + GIF_PLUGIN + "]を使用\n"})),
              std::string::npos)
        << log;
    EXPECT_EQ(SlotPixels(38), Expected(expected));
    EXPECT_EQ(gImageSlots[38].useColorKey, 1);
    EXPECT_STREQ(gImageSlots[38].pluginName, GIF_PLUGIN.c_str());
}

}  // namespace
