// The showcase's configuration, its hooks and the page switcher. Right or
// Space: next page; Left: previous page; Esc: quit; Alt+Enter: window or full
// screen.
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <iterator>

#include "examples/showcase/showcase.h"
#include "framework/app/app.h"
#include "framework/app/frame_pacing.h"
#include "framework/display/display.h"
#include "framework/draw/draw.h"
#include "framework/draw/gdi_draw.h"
#include "framework/image/image.h"
#include "framework/input/input.h"
#include "platform/win/platform.h"

namespace {

const ShowcasePage* const kPages[] = {&kImagePage, &kGeometryPage, &kBlendPage,  &kGdiPage,
                                      &kTransitionPage, &kLoaderPage, &kInputPage, &kSoundPage, &kDialogPage,
                                      &kArchivePage, &kNetworkPage, &kScene3DPage, &kMusicPage};
constexpr int kPageCount = static_cast<int>(std::size(kPages));
constexpr int kTitleBarHeight = 24;

int gPage = 0;
int gFrameInPage = 0;

void ShowPage(int page) {
    gPage = (page + kPageCount) % kPageCount;
    gFrameInPage = 0;
    if (kPages[gPage]->enter) kPages[gPage]->enter();
}

void DrawTitleBar() {
    SetClipRect(0, 0, 0, 0);
    DrawFilledRect(0, 0, 640, kTitleBarHeight, RGB(20, 24, 40));
    DrawLine(0, kTitleBarHeight - 1, 640, kTitleBarHeight - 1, RGB(90, 110, 160));
    SetTextCentered(0);
    SetTextFont(8, 16, RGB(255, 255, 255), "標準ゴシック");
    SetTextBackground(TRANSPARENT, 0);
    PrintText(8, 4, "%d/%d  %s", gPage + 1, kPageCount, kPages[gPage]->title);
    PrintText(480, 4, "← →  Esc");
    DrawFrameRate(572, 4);
}

void ShowcaseFrame() {
    if (KeyState(VK_RIGHT) == KEY_PRESSED || KeyState(VK_SPACE) == KEY_PRESSED) ShowPage(gPage + 1);
    if (KeyState(VK_LEFT) == KEY_PRESSED) ShowPage(gPage - 1);
    SetClipRect(0, kTitleBarHeight, 640, 480);
    kPages[gPage]->frame(gFrameInPage++);
    DrawTitleBar();
}

// The backdrop: a dark gradient of bands.
void PaintBackdrop() {
    HDC dc = GetImageDC(BACKDROP_SLOT);
    if (!dc) return;
    for (int y = 0; y < 480; y += 4) {
        RECT band{0, y, 640, y + 4};
        HBRUSH brush = CreateSolidBrush(RGB(16 + y / 24, 20 + y / 20, 36 + y / 10));
        FillRect(dc, &band, brush);
        DeleteObject(brush);
    }
    ReleaseImageDC(BACKDROP_SLOT, dc);
}

// After a surface loss the backdrop is painted again; the other pictures
// come from the program's resources and reload themselves.
void RestoreShowcaseImage(uint16_t slot) {
    if (slot == BACKDROP_SLOT) PaintBackdrop();
}

void ShowcaseInit() {
    SetFrameRate(60);
    SetWindowTitle("Korven showcase");
    EnableMouse(1);
    EnableJoystick(1);
    LoadBitmapImage(TILE_SLOT, "TILE", 1);
    LoadBitmapImage(BLOCKS_SLOT, "BLOCKS", 1);
    CreateImage(BACKDROP_SLOT, 640, 480, 0, RGB(16, 20, 36));
    PaintBackdrop();
    SetImageRestoreProc(RestoreShowcaseImage);
    ShowPage(0);
}

}  // namespace

std::string DataFile(const char* name) {
    char program[PATH_MAX] = {};
    GetModuleFileNameA(nullptr, program, sizeof(program));
    std::string folder = NativePath(program);
    folder.resize(folder.rfind('/') + 1);
    return folder + "showcase-data/" + name;
}

std::string DataFileFromWorkingDirectory(const char* name) {
    return std::filesystem::relative(DataFile(name), std::filesystem::current_path()).string();
}

void DrawBackdrop() { DrawImage(0, 0, BACKDROP_SLOT, 0, 0, -1, -1); }

const AppConfig gAppConfig = [] {
    AppConfig config = DEFAULT_APP_CONFIG;
    config.fullScreen = 0;
    config.allowMultipleInstances = 1;
    config.device3D = 2;  // Gouraud
    config.appInit = ShowcaseInit;
    config.frameProc = ShowcaseFrame;
    return config;
}();
