// Shift-JIS (code page 932) to UTF-8 through iconv, for the places where the
// program's texts meet the desktop: titles, message boxes, the debug output;
// and typed UTF-8 text back into Shift-JIS.
#include <iconv.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/win/controls/control_input.h"
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

bool IsShiftJisLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

namespace {

// The length of the UTF-8 sequence a byte starts (1 for a stray byte).
size_t Utf8SequenceLength(unsigned char byte) {
    if (byte >= 0xF0 && byte <= 0xF4) return 4;
    if (byte >= 0xE0) return byte <= 0xEF ? 3 : 1;
    if (byte >= 0xC2) return 2;
    return 1;
}

}  // namespace

std::string Utf8ToShiftJis(const char* utf8, size_t* refused) {
    static iconv_t converter = iconv_open("CP932", "UTF-8");
    *refused = 0;
    std::string out;
    if (!utf8 || converter == reinterpret_cast<iconv_t>(-1)) return out;
    const size_t total = std::strlen(utf8);
    for (size_t at = 0; at < total;) {
        const size_t length = std::min(Utf8SequenceLength(static_cast<unsigned char>(utf8[at])), total - at);
        char* in = const_cast<char*>(utf8 + at);
        size_t inLeft = length;
        char buffer[4];
        char* outPtr = buffer;
        size_t outLeft = sizeof(buffer);
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        if (iconv(converter, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
            ++*refused;
        else
            out.append(buffer, static_cast<size_t>(outPtr - buffer));
        at += length;
    }
    return out;
}
