// The framework's showcase: one page per group of facilities, paged with the
// arrow keys. Slots and helpers shared by the pages.
#pragma once

#include <string>

// Image slots the pages share.
constexpr int TILE_SLOT = 1;      // a small keyed tile (built into the program)
constexpr int BLOCKS_SLOT = 2;    // a sheet of bricks (built into the program)
constexpr int BACKDROP_SLOT = 3;  // a 640 x 480 backdrop
constexpr int SCRATCH_SLOT = 4;   // pages draw into it as they like
constexpr int TEXT_SLOT = 5;      // text rendered into a picture
constexpr int LOADED_SLOT = 10;   // first of the pictures the loader page reads

struct ShowcasePage {
    const char* title;
    void (*enter)();                 // when the page comes up (may be null)
    void (*frame)(int frameInPage);  // draws one frame below the title bar
};

extern const ShowcasePage kImagePage, kBlendPage, kGeometryPage, kGdiPage, kTransitionPage, kLoaderPage,
    kInputPage, kSoundPage, kDialogPage, kArchivePage, kNetworkPage, kScene3DPage, kMusicPage;

// A file beside the program (its data folder), as a path for the loaders.
std::string DataFile(const char* name);
// The same file relative to the working directory, for the media calls that
// join names to it.
std::string DataFileFromWorkingDirectory(const char* name);
// Draws the backdrop below the title bar.
void DrawBackdrop();
