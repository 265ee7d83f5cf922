// Writes the editor's 13 bitmaps into the folder named on the command line:
// block sheets, marker sheet, map frame, four font sheets and a big font,
// background, pointer, ball and gauge. The same build writes the same bytes.
#include <cstdio>
#include <string>

#include "tools/editor_bitmaps/editor_pictures.h"
#include "tools/editor_bitmaps/glyph_sheet.h"

namespace {

// Label, title, highlight and active-tool looks of the four small fonts.
constexpr GlyphLook SMALL_FONT_LOOKS[4] = {
    {{250, 252, 255}, {186, 198, 222}, {10, 12, 24}, 1},
    {{255, 240, 150}, {232, 150, 28}, {52, 26, 4}, 1},
    {{236, 255, 255}, {150, 240, 255}, {0, 104, 150}, 1},
    {{255, 196, 96}, {248, 104, 16}, {84, 14, 0}, 1},
};
constexpr const char* SMALL_FONT_FILES[4] = {"Font.bmp", "Font2.bmp", "Font3.bmp", "Font4.bmp"};
constexpr GlyphLook BIG_FONT_LOOK = {{255, 255, 255}, {130, 190, 255}, {8, 14, 40}, 2};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    FontFace font(EDITOR_FONT_FILE);
    if (!font.ok()) {
        std::fprintf(stderr, "cannot open the font %s\n", EDITOR_FONT_FILE);
        return 1;
    }

    bool ok = WriteBmpFile(MakeCursor(), folder + "Cursor.bmp") && WriteBmpFile(MakeBall(), folder + "Ball.bmp") &&
              WriteBmpFile(MakeBlockSheet(1), folder + "Block.bmp") &&
              WriteBmpFile(MakeChainGauge(), folder + "Chaingauge.bmp") &&
              WriteBmpFile(MakeMarkerSheet(), folder + "Block2.bmp") &&
              WriteBmpFile(MakeMapFrame(), folder + "Frame.bmp") &&
              WriteBmpFile(MakeBlockSheet(2), folder + "Block3.bmp") &&
              WriteBmpFile(font.RenderSheet(24, 32, BIG_FONT_LOOK), folder + "Bigfont.bmp") &&
              WriteBmpFile(MakeBackground(), folder + "back01.bmp");
    for (int i = 0; i < 4 && ok; ++i)
        ok = WriteBmpFile(font.RenderSheet(11, 17, SMALL_FONT_LOOKS[i]), folder + SMALL_FONT_FILES[i]);
    if (!ok) {
        std::fprintf(stderr, "cannot write the bitmaps into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
