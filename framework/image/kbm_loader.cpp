// KBM pictures: a 24-byte header and three run-length-coded byte planes that
// together make the pixel data of a 24-bit bottom-up DIB. Each code byte holds
// a value in its high 5 bits and a run length minus 1 in its low 3 bits.
// Every size in the header is checked before it is used.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "framework/dialog/diagnostics.h"
#include "framework/display/display.h"
#include "framework/image/image.h"
#include "framework/image/slot_loading.h"
#include "platform/gdi/picture_limits.h"

namespace {

constexpr size_t KBM_HEADER_BYTES = 24;

struct KbmHeader {
    int32_t width;
    int32_t height;
    int32_t planeSizes[3];
};

int32_t ReadLittleEndian32(const uint8_t* bytes) {
    return static_cast<int32_t>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24));
}

// Values each plane fills: one per pixel of rows padded to a multiple of 4
// pixels; 0 when the header describes no picture the loaders accept.
uint64_t PlaneCapacity(const KbmHeader& header) {
    if (!PictureSizeAllowed(header.width, header.height)) return 0;
    const uint64_t paddedWidth = (static_cast<uint64_t>(header.width) + 3) & ~uint64_t{3};
    return paddedWidth * static_cast<uint64_t>(header.height);
}

// Bytes left in the file from the current position.
uint64_t BytesLeft(FILE* file) {
    const long position = std::ftell(file);
    if (position < 0 || std::fseek(file, 0, SEEK_END) != 0) return 0;
    const long end = std::ftell(file);
    std::fseek(file, position, SEEK_SET);
    return end > position ? static_cast<uint64_t>(end - position) : 0;
}

// Expands the three planes into the output buffer (capacity values per
// plane, stride 3). False when a plane decodes to more values than that.
bool DecodePlanes(const uint8_t* codes, const int32_t planeSizes[3], uint8_t* output, uint64_t capacity) {
    for (int plane = 0; plane < 3; ++plane) {
        uint8_t* out = output + plane;
        uint64_t room = capacity;
        for (int32_t i = 0; i < planeSizes[plane]; ++i) {
            const uint8_t code = *codes++;
            const uint8_t value = code & 0xF8;
            unsigned count = (code & 7u) + 1;
            if (count > room) return false;
            room -= count;
            do {
                *out = value;
                out += 3;
            } while (--count);
        }
    }
    return true;
}

// The decoded buffer of a KBM file whose header was read, or null when the
// sizes are out of range or the file ends before its last code byte. Both are
// known from the header and the file's size before anything is allocated.
std::unique_ptr<uint8_t[]> ReadPlanes(FILE* file, const KbmHeader& header, uint64_t* bufferBytes) {
    const uint64_t capacity = PlaneCapacity(header);
    uint64_t codeBytes = 0;
    for (const int32_t size : header.planeSizes) {
        // Every code byte writes at least one value.
        if (size < 0 || static_cast<uint64_t>(size) > capacity) return nullptr;
        codeBytes += static_cast<uint64_t>(size);
    }
    if (capacity == 0 || codeBytes > BytesLeft(file)) return nullptr;
    std::unique_ptr<uint8_t[]> codes(new (std::nothrow) uint8_t[codeBytes]);
    std::unique_ptr<uint8_t[]> output(new (std::nothrow) uint8_t[capacity * 3]());
    if (!codes || !output || std::fread(codes.get(), 1, codeBytes, file) != codeBytes) return nullptr;
    if (!DecodePlanes(codes.get(), header.planeSizes, output.get(), capacity)) return nullptr;
    *bufferBytes = capacity * 3;
    return output;
}

// A device-dependent bitmap of the decoded 24-bit bottom-up pixels.
HBITMAP MakeBitmap(const KbmHeader& header, const uint8_t* pixels, uint64_t bufferBytes) {
    BITMAPINFO info{};
    BITMAPINFOHEADER& h = info.bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = header.width;
    h.biHeight = header.height;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(bufferBytes);
    HDC screen = GetScreenDC();
    HBITMAP bitmap = CreateDIBitmap(screen, &h, CBM_INIT, pixels, &info, DIB_RGB_COLORS);
    ReleaseScreenDC(screen);
    return bitmap;
}

}  // namespace

int LoadKbmImage(int slot, const char* name, int useColorKey) {
    slot = SlotNumber(slot, APPLICATION_SLOTS);
    if (!CanLoadIntoSlot(slot, name)) return 0;
    ClaimSlot(slot, name);

    FILE* file = std::fopen(name, "rb");
    if (!file) {
        DebugLog("KBM[%s]のオープンに失敗しました。\n", name);
        return 0;
    }
    uint8_t bytes[KBM_HEADER_BYTES];
    const size_t headerRead = std::fread(bytes, 1, sizeof(bytes), file);
    static const uint8_t tag[4] = {'K', 'B', 'M', 0};
    if (headerRead < sizeof(tag) || std::memcmp(bytes, tag, sizeof(tag)) != 0) {
        DebugLog("KBM[%s]はKBM形式ではありません。\n", name);
        std::fclose(file);
        return 0;
    }
    KbmHeader header{};
    std::unique_ptr<uint8_t[]> pixels;
    uint64_t bufferBytes = 0;
    if (headerRead == sizeof(bytes)) {
        header = {ReadLittleEndian32(bytes + 4),
                  ReadLittleEndian32(bytes + 8),
                  {ReadLittleEndian32(bytes + 12), ReadLittleEndian32(bytes + 16), ReadLittleEndian32(bytes + 20)}};
        pixels = ReadPlanes(file, header, &bufferBytes);
    }
    std::fclose(file);
    HBITMAP bitmap = pixels ? MakeBitmap(header, pixels.get(), bufferBytes) : nullptr;
    if (!bitmap) {
        DebugLog("KBM[%s]の展開に失敗しました。\n", name);
        return 0;
    }
    return FinishSlotLoad(slot, bitmap, useColorKey);
}
