// The ANSI code page of the program's texts (Shift-JIS) and its conversion to
// UTF-16, for in-memory dialog templates.
#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/win/win.h"

UINT GetACP() { return CP_932; }

int MultiByteToWideChar(UINT codePage, DWORD, const char* text, int bytes, WCHAR* wide, int wideCount) {
    if (!text || (codePage != CP_ACP && codePage != CP_932) || wideCount < 0 || (wideCount > 0 && !wide)) return 0;
    static iconv_t converter = iconv_open("UTF-16LE", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) return 0;
    // With bytes = -1 the terminator is converted too.
    const size_t length = bytes < 0 ? std::strlen(text) + 1 : static_cast<size_t>(bytes);
    std::vector<char> out(length * 2 + 2);
    char* in = const_cast<char*>(text);
    size_t inLeft = length;
    char* outPtr = out.data();
    size_t outLeft = out.size();
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) return 0;
    const int units = static_cast<int>((out.size() - outLeft) / 2);
    if (wideCount == 0) return units;
    if (units > wideCount) return 0;
    std::memcpy(wide, out.data(), static_cast<size_t>(units) * 2);
    return units;
}
