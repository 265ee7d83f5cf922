// Face names as programs ask for them, matched to installed font files.
#pragma once

#include <string>

#include "platform/win/win.h"

struct FontFile {
    std::string path;  // empty when nothing matched
    int faceIndex = 0;
};

// The installed font for a Shift-JIS face name and a character set. The
// Japanese Gothic names the system's own fonts carried ("標準ゴシック",
// "ＭＳ ゴシック", "MS Gothic", ...) go to the installed Japanese Gothic face.
FontFile MatchFontFile(const char* faceName, DWORD charSet);
