// Pictures from every loader: a Windows bitmap from a file and one built
// into the program, a KBM picture, and PNG, JPEG and GIF through decoder
// plug-ins; and a screenshot written as a bitmap and read back.
#include "examples/showcase/showcase.h"
#include "framework/draw/draw.h"
#include "framework/draw/gdi_draw.h"
#include "framework/image/image.h"

namespace {

struct LoadedPicture {
    const char* label;
    int loaded;
};

LoadedPicture gPictures[5] = {{"KBM", 0}, {"PNG plug-in", 0}, {"JPEG plug-in", 0}, {"GIF plug-in", 0}, {"screenshot", 0}};

void EnterLoaders() {
    gPictures[0].loaded = LoadKbmImage(LOADED_SLOT, DataFile("sunset.kbm").c_str(), 0);
    gPictures[1].loaded = LoadPluginImage(LOADED_SLOT + 1, "plugins\\pngpicture.spi", DataFile("sunset.png").c_str(), 0);
    gPictures[2].loaded = LoadPluginImage(LOADED_SLOT + 2, "plugins\\jpegpicture.spi", DataFile("sunset.jpg").c_str(), 0);
    gPictures[3].loaded = LoadPluginImage(LOADED_SLOT + 3, "plugins\\gifpicture.spi", DataFile("sunset.gif").c_str(), 0);
    // The backdrop with a tile on it, saved as a .bmp file and loaded again.
    DrawBackdrop();
    DrawImage(20, 40, TILE_SLOT, 0, 0, -1, -1);
    const std::string shot = DataFile("screenshot.bmp");
    gPictures[4].loaded = SaveScreenBitmap(shot.c_str()) && LoadBitmapImage(LOADED_SLOT + 4, shot.c_str(), 0);
}

void LoadersFrame(int) {
    DrawBackdrop();
    for (int i = 0; i < 5; ++i) {
        const int x = 20 + (i % 3) * 205, y = 40 + (i / 3) * 200;
        PrintText(x, y, "%s%s", gPictures[i].label, gPictures[i].loaded ? "" : ": not loaded");
        if (i < 4) DrawImage(x, y + 24, LOADED_SLOT + i, 0, 0, -1, -1);
        else DrawImageScaled(x, y + 24, LOADED_SLOT + i, 160, 120, 0, 0, -1, -1);
    }
    PrintText(430, 264, "built in and from file:");
    DrawImage(430, 290, TILE_SLOT, 0, 0, -1, -1);
}

}  // namespace

const ShowcasePage kLoaderPage = {"Picture loaders", EnterLoaders, LoadersFrame};
