// A WAVE file through the RIFF file calls: the "fmt " and "data" chunks are
// found by identifier wherever they are in the RIFF "WAVE" form, so LIST and
// other chunks between them are skipped.
#include <cstdlib>

#include "framework/dialog/diagnostics.h"
#include "framework/sound/wave_slots.h"
#include "platform/win/mmio.h"

namespace {

// Reads the format and the samples; false on any failure after the open.
// The sample memory is the caller's to free once allocated.
bool ReadWave(HMMIO file, const char* name, WAVEFORMATEX* format, char** samples, DWORD* size) {
    MMCKINFO riff{};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF) != 0) return false;
    MMCKINFO chunk{};
    chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) != 0) return false;
    if (mmioRead(file, reinterpret_cast<char*>(format), sizeof(WAVEFORMATEX)) != sizeof(WAVEFORMATEX)) return false;
    if (format->wFormatTag != WAVE_FORMAT_PCM) {
        DebugLog("WAVE[%s]はPCMフォーマットではありません。\n", name);
        return false;
    }
    if (mmioAscend(file, &chunk, 0) != 0) return false;
    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) != 0) return false;
    // A size beyond the end of the file could never be read in full: it
    // fails here, before a block of that size is asked for.
    const LONG here = mmioSeek(file, 0, SEEK_CUR);
    const LONG end = mmioSeek(file, 0, SEEK_END);
    if (here < 0 || end < 0 || mmioSeek(file, here, SEEK_SET) != here) return false;
    if (chunk.cksize > static_cast<DWORD>(end - here) || chunk.cksize > INT32_MAX) return false;
    *size = chunk.cksize;
    *samples = static_cast<char*>(std::malloc(chunk.cksize ? chunk.cksize : 1));
    if (!*samples) return false;
    return mmioRead(file, *samples, static_cast<LONG>(chunk.cksize)) == static_cast<LONG>(chunk.cksize);
}

}  // namespace

int LoadWaveFile(int slot, const char* name) {
    HMMIO file = mmioOpenA(name, nullptr, MMIO_ALLOCBUF | MMIO_READ);
    if (!file) {
        DebugLog("WAVE[%s]のオープンに失敗しました。\n", name);
        return 0;
    }
    WAVEFORMATEX format{};
    char* samples = nullptr;
    DWORD size = 0;
    const bool read = ReadWave(file, name, &format, &samples, &size);
    mmioClose(file, 0);
    const int result = read && CreateWaveBuffer(slot, &format, size) && FillWaveBuffer(slot, samples, size) ? 1 : 0;
    std::free(samples);
    return result;
}
