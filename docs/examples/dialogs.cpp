// Dialogs and pack archives: a pack archive written here and unpacked into
// the working directory, a selection screen (a caption over a list box that
// ends in its cancel entry) read without blocking the frame loop, and the
// file and text-input dialogs on keys F and I.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "framework/app/app.h"
#include "framework/dialog/dialogs.h"
#include "framework/dialog/diagnostics.h"
#include "framework/dialog/pack_archive.h"
#include "framework/input/input.h"

namespace {

const char* const kLevels[] = {"やさしい", "ふつう", "むずかしい"};
HWND gCaption = nullptr;
HWND gList = nullptr;
int gFrames = 0;

void WriteWord(FILE* file, uint32_t value) {
    const uint8_t bytes[] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                             static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    std::fwrite(bytes, 1, 4, file);
}

// The header word, then for each file: the length of its path, the path
// (folders separated by '\'), the size of its content and the content.
void WriteArchive(const char* path) {
    FILE* file = std::fopen(path, "wb");
    if (!file) return;
    WriteWord(file, ARCHIVE_HEADER);
    const char* const entries[][2] = {{"data\\readme.txt", "hello from the archive\n"}, {"data\\empty.txt", ""}};
    for (const auto& [name, content] : entries) {
        WriteWord(file, static_cast<uint32_t>(std::strlen(name)));
        std::fputs(name, file);
        WriteWord(file, static_cast<uint32_t>(std::strlen(content)));
        std::fputs(content, file);
    }
    std::fclose(file);
}

void Init() {
    WriteArchive("demo.pak");
    // Logs each file's name and size with a dot per 32 KB; paths that would
    // leave the working directory are refused.
    if (!UnpackArchive("demo.pak")) DebugLog("the archive did not load\n");
    gCaption = CreateStaticText(40, 40, 560, 24, "難易度を選んで下さい。");
    gList = CreateListBox(40, 64, 560, 120, static_cast<int>(std::size(kLevels)), kLevels);
    gApp.listSelection = -1;  // a double-click on an entry sets its index
}

void Frame() {
    if (gList && gApp.listSelection != -1) {
        const int chosen = gApp.listSelection;  // the last index is the cancel entry
        DebugLog("chosen: %s\n", chosen < static_cast<int>(std::size(kLevels)) ? kLevels[chosen] : "ｷｬﾝｾﾙ");
        DestroyWindow(gList);
        DestroyWindow(gCaption);
        gList = gCaption = nullptr;
    }
    if (KeyState('F') == KEY_PRESSED) {
        char path[FILE_PATH_SIZE];
        if (FileDialog(path, "テキスト", "txt", 0)) DebugLog("file: %s\n", path);  // 1: a save dialog
    }
    if (KeyState('I') == KEY_PRESSED) {
        char text[INPUT_TEXT_SIZE];
        InputTextDialog(text, sizeof text, 160, 220, 320, 24);  // Enter takes the line
        DebugLog("text: %s\n", text);
    }
    if (++gFrames == 120) RequestQuit();
}

}  // namespace

const AppConfig gAppConfig = [] {
    AppConfig config = DEFAULT_APP_CONFIG;
    config.fullScreen = 0;
    config.appInit = Init;
    config.frameProc = Frame;
    return config;
}();
