// Reading in-memory dialog templates, every field bounded by the block.
#include "platform/win/controls/dialog_template.h"

#include <cstring>

#include "platform/win/controls/control_input.h"
#include "platform/win/platform.h"

namespace {

class TemplateReader {
public:
    TemplateReader(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

    bool Read(void* out, size_t count) {
        if (count > size_ - at_) return false;
        std::memcpy(out, bytes_ + at_, count);
        at_ += count;
        return true;
    }
    bool Word(WORD* out) { return Read(out, sizeof(WORD)); }
    bool AlignTo4() {
        const size_t aligned = (at_ + 3) & ~size_t{3};
        if (aligned > size_) return false;
        at_ = aligned;
        return true;
    }
    bool Skip(size_t count) {
        if (count > size_ - at_) return false;
        at_ += count;
        return true;
    }
    // A zero-terminated UTF-16 string after its first unit, as UTF-8.
    bool Utf16(WORD first, std::string* utf8) {
        for (WORD unit = first; unit != 0;) {
            uint32_t code = unit;
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                WORD low = 0;
                if (!Word(&low)) return false;
                code = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            }
            AppendUtf8(code, utf8);
            if (!Word(&unit)) return false;
        }
        return true;
    }

private:
    static void AppendUtf8(uint32_t code, std::string* out) {
        if (code < 0x80) {
            *out += static_cast<char>(code);
        } else if (code < 0x800) {
            *out += static_cast<char>(0xC0 | code >> 6);
            *out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            *out += static_cast<char>(0xE0 | code >> 12);
            *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            *out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            *out += static_cast<char>(0xF0 | code >> 18);
            *out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            *out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    const uint8_t* bytes_;
    size_t size_;
    size_t at_ = 0;
};

const char* OrdinalClass(WORD ordinal) {
    switch (ordinal) {
        case 0x0080: return "BUTTON";
        case 0x0081: return "EDIT";
        case 0x0082: return "STATIC";
        case 0x0083: return "LISTBOX";
        default: return nullptr;
    }
}

// A string or an ordinal; names come out Shift-JIS, ordinals as their class.
bool ReadName(TemplateReader& in, bool classField, std::string* out) {
    WORD first = 0;
    if (!in.Word(&first)) return false;
    if (first == 0) return true;
    if (first == 0xFFFF) {
        WORD ordinal = 0;
        if (!in.Word(&ordinal)) return false;
        const char* name = OrdinalClass(ordinal);
        if (classField && !name) return false;
        *out = name ? name : "";
        return true;
    }
    std::string utf8;
    if (!in.Utf16(first, &utf8)) return false;
    size_t refused = 0;
    *out = Utf8ToShiftJis(utf8.c_str(), &refused);
    return true;
}

}  // namespace

bool ParseDialogTemplate(const uint8_t* bytes, size_t size, DialogTemplate* out) {
    if (!bytes) return false;
    TemplateReader in(bytes, size);
    *out = DialogTemplate{};
    if (!in.Read(&out->header, sizeof(DLGTEMPLATE))) return false;
    if (LOWORD(out->header.style) == 1 && HIWORD(out->header.style) == 0xFFFF) return false;  // DLGTEMPLATEEX
    std::string menu;
    if (!ReadName(in, false, &menu) || !menu.empty()) return false;
    if (!ReadName(in, false, &out->className) || !ReadName(in, false, &out->title)) return false;
    if (out->header.style & DS_SETFONT) {
        WORD points = 0;
        std::string face;
        if (!in.Word(&points) || !ReadName(in, false, &face)) return false;
    }
    for (WORD i = 0; i < out->header.cdit; ++i) {
        DialogItem item;
        if (!in.AlignTo4() || !in.Read(&item.header, sizeof(DLGITEMTEMPLATE))) return false;
        if (!ReadName(in, true, &item.className) || !ReadName(in, false, &item.title)) return false;
        WORD extra = 0;
        // A creation-data size counts its own word.
        if (!in.Word(&extra) || (extra > 2 && !in.Skip(extra - 2u))) return false;
        out->items.push_back(item);
    }
    return true;
}
