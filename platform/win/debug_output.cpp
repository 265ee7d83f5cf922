// Debugger output: each Shift-JIS line is converted to UTF-8 and written to
// standard error, and appended to the log file when one was asked for.
#include <cstdio>
#include <string>

#include "platform/win/debug_output.h"
#include "platform/win/platform.h"

namespace {

FILE* gLogFile = nullptr;

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

void OutputDebugStringA(const char* text) {
    if (text) WriteDebugText(ShiftJisToUtf8(text));
}
