// Debugger output: each Shift-JIS line is converted to UTF-8 and written to
// standard error, and appended to the log file when one was asked for.
#include <cstdio>
#include <string>

#include "platform/win/debug_output.h"
#include "platform/win/platform.h"

namespace {

FILE* gLogFile = nullptr;
std::string* gCopy = nullptr;

}  // namespace

bool OpenDebugLogFile(const std::string& path) {
    CloseDebugLogFile();
    if (path.empty()) return true;
    gLogFile = std::fopen(path.c_str(), "ab");
    return gLogFile != nullptr;
}

void CloseDebugLogFile() {
    if (gLogFile) std::fclose(gLogFile);
    gLogFile = nullptr;
}

void WriteDebugText(const std::string& utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
    std::fflush(stderr);
    if (gLogFile) {
        std::fwrite(utf8.data(), 1, utf8.size(), gLogFile);
        std::fflush(gLogFile);
    }
}

void SetDebugOutputCopy(std::string* text) { gCopy = text; }

void OutputDebugStringA(const char* text) {
    if (!text) return;
    if (gCopy) *gCopy += text;
    WriteDebugText(ShiftJisToUtf8(text));
}
