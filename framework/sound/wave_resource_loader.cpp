// A "WAVE" resource of the program, walked in memory: "RIFF", its size,
// "WAVE", the "fmt " chunk, at most one "fact" chunk, then "data". Any other
// chunk on the way makes the load fail. Every read is checked against the
// resource's end; a "data" chunk declaring more than is there is cut to what
// is there.
#include <cstring>

#include "framework/dialog/diagnostics.h"
#include "framework/sound/wave_slots.h"
#include "platform/win/mmio.h"
#include "platform/win/resources.h"

namespace {

class ResourceReader {
public:
    ResourceReader(const uint8_t* data, size_t size) : at_(data), end_(data + size) {}

    bool Word(DWORD* value) {
        if (Left() < 4) return false;
        *value = static_cast<DWORD>(at_[0]) | (static_cast<DWORD>(at_[1]) << 8) | (static_cast<DWORD>(at_[2]) << 16) |
                 (static_cast<DWORD>(at_[3]) << 24);
        return true;
    }
    bool Is(FOURCC id) {
        DWORD word = 0;
        return Word(&word) && word == id;
    }
    bool Skip(size_t bytes) {
        if (Left() < bytes) return false;
        at_ += bytes;
        return true;
    }
    const uint8_t* At() const { return at_; }
    size_t Left() const { return static_cast<size_t>(end_ - at_); }

private:
    const uint8_t* at_;
    const uint8_t* end_;
};

}  // namespace

int LoadWaveResource(int slot, const char* name) {
    const ResourceData* resource = FindResource(name, "WAVE");
    if (!resource) {
        DebugLog("WAVE[%s]のオープンに失敗しました。\n", name);
        return 0;
    }
    if (!resource->data) return 0;
    ResourceReader image(resource->data, resource->size);
    if (!image.Is(mmioFOURCC('R', 'I', 'F', 'F')) || !image.Skip(8)) return 0;
    if (!image.Is(mmioFOURCC('W', 'A', 'V', 'E')) || !image.Skip(4)) return 0;
    DWORD fmtSize = 0;
    if (!image.Is(mmioFOURCC('f', 'm', 't', ' ')) || !image.Skip(4) || !image.Word(&fmtSize) || !image.Skip(4))
        return 0;
    WAVEFORMATEX format;
    if (image.Left() < sizeof(format)) return 0;
    std::memcpy(&format, image.At(), sizeof(format));
    if (!image.Skip(fmtSize)) return 0;
    if (format.wFormatTag != WAVE_FORMAT_PCM) {
        DebugLog("WAVE[%s]はPCMフォーマットではありません。\n", name);
        return 0;
    }
    if (image.Is(mmioFOURCC('f', 'a', 'c', 't')) && !image.Skip(12)) return 0;
    DWORD dataSize = 0;
    if (!image.Is(mmioFOURCC('d', 'a', 't', 'a')) || !image.Skip(4) || !image.Word(&dataSize) || !image.Skip(4))
        return 0;
    if (dataSize > image.Left()) dataSize = static_cast<DWORD>(image.Left());
    if (!CreateWaveBuffer(slot, &format, dataSize)) return 0;
    return FillWaveBuffer(slot, image.At(), dataSize);
}
