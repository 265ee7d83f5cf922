// Face-name matching through fontconfig. Names are Shift-JIS bytes; the
// Gothic aliases are compared as such, anything else goes to fontconfig as
// UTF-8, with Japanese as the wanted language for the Shift-JIS set.
#include "platform/gdi/font_match.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

#include "platform/gdi/gdi.h"
#include "platform/win/platform.h"

namespace {

constexpr const char* GOTHIC_FAMILY = "IPAGothic";
constexpr const char* PROPORTIONAL_GOTHIC_FAMILY = "IPAPGothic";

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// The fontconfig family for a face name: the Gothic aliases, else the name.
std::string FamilyFor(const char* faceName) {
    const std::string name = faceName ? faceName : "";
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    // Narrow literals are Shift-JIS here, the same bytes as the names asked for.
    const bool gothic = name.empty() || Contains(name, "ゴシック") || Contains(lower, "gothic");
    if (!gothic) return ShiftJisToUtf8(name.c_str());
    const bool proportional = Contains(name, "Ｐゴシック") || Contains(lower, "pgothic") || Contains(lower, "p gothic");
    return proportional ? PROPORTIONAL_GOTHIC_FAMILY : GOTHIC_FAMILY;
}

FontFile Match(const std::string& family, DWORD charSet) {
    FontFile result;
    if (!FcInit()) return result;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    if (charSet == SHIFTJIS_CHARSET) FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult matchResult = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &matchResult)) {
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            result.path = reinterpret_cast<const char*>(file);
            if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) result.faceIndex = index;
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return result;
}

}  // namespace

// Answers are kept per family and set: programs create the same font often.
FontFile MatchFontFile(const char* faceName, DWORD charSet) {
    static auto& answers = *new std::map<std::pair<std::string, DWORD>, FontFile>;
    const auto key = std::make_pair(FamilyFor(faceName), charSet == SHIFTJIS_CHARSET ? SHIFTJIS_CHARSET : 0);
    if (auto found = answers.find(key); found != answers.end()) return found->second;
    return answers[key] = Match(key.first, key.second);
}
