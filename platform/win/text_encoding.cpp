// Shift-JIS (code page 932) to UTF-8 through iconv, for the places where the
// program's texts meet the desktop: titles, message boxes, the debug output.
#include <iconv.h>

#include <cstring>
#include <string>

#include "platform/win/platform.h"

std::string ShiftJisToUtf8(const char* text) {
    if (!text) return {};
    static iconv_t converter = iconv_open("UTF-8", "CP932");
    std::string out;
    size_t inLeft = std::strlen(text);
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(text, inLeft);
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(text);
    char buffer[512];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof(buffer);
        const size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (result == static_cast<size_t>(-1) && errno != E2BIG) {
            out += "\xEF\xBF\xBD";  // U+FFFD for a byte that is not Shift-JIS
            ++in;
            --inLeft;
            iconv(converter, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}
