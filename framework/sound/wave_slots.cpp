// The 32 WAVE slots: loading by the name rule, playing, stopping, volume, pan
// and frequency, and reloading a buffer whose memory was lost.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "framework/dialog/diagnostics.h"
#include "framework/sound/sound.h"
#include "framework/sound/wave_slots.h"

namespace {

// Slot numbers are unsigned 16-bit values passed in ints.
unsigned SlotNumber(int slot) { return static_cast<uint16_t>(slot); }

// The volume and pan curve: 100 to the power log10(x), which is x squared up
// to rounding, truncated toward zero.
LONG Curve(int x) { return static_cast<LONG>(std::pow(100.0, std::log10(static_cast<double>(x)))); }

unsigned ClampFrequency(unsigned frequency) {
    if (frequency != 0 && frequency < DSBFREQUENCY_MIN) return DSBFREQUENCY_MIN;
    if (frequency > DSBFREQUENCY_MAX) return DSBFREQUENCY_MAX;
    return frequency;
}

}  // namespace

IDirectSoundBuffer* GetWaveBuffer(int slot) {
    const unsigned n = SlotNumber(slot);
    return n < WAVE_SLOT_COUNT ? gSound.buffers[n] : nullptr;
}

// A name too long for the table is cut to its first 259 bytes; the loaders
// still use the whole name.
void SetWaveName(int slot, const char* name) {
    const unsigned n = SlotNumber(slot);
    if (n >= WAVE_SLOT_COUNT) return;
    std::strncpy(gSound.names[n], name, WAVE_NAME_SIZE - 1);
    gSound.names[n][WAVE_NAME_SIZE - 1] = '\0';
}

void ReleaseWave(int slot) {
    const unsigned n = SlotNumber(slot);
    if (n >= WAVE_SLOT_COUNT) return;
    gSound.names[n][0] = '\0';
    if (IDirectSoundBuffer* buffer = gSound.buffers[n]) {
        buffer->Stop();
        buffer->Release();
        gSound.buffers[n] = nullptr;
    }
}

// A slot of 32 or more has no storage: loading into it gives 0.
int LoadWave(int slot, const char* name) {
    if (!name) return 0;
    ReleaseWave(slot);
    SetWaveName(slot, name);
    if (SlotNumber(slot) >= WAVE_SLOT_COUNT) return 0;
    return std::strchr(name, '.') ? LoadWaveFile(slot, name) : LoadWaveResource(slot, name);
}

void ReloadWave(int slot) {
    const unsigned n = SlotNumber(slot);
    if (n >= WAVE_SLOT_COUNT) return;
    char name[WAVE_NAME_SIZE];
    std::memcpy(name, gSound.names[n], sizeof(name));
    if (LoadWave(slot, name))
        DebugLog("WAVE[%s]をリロードしました\n", name);
    else
        DebugLog("WAVE[%s]のリロードに失敗しました\n", name);
}

int CreateWaveBuffer(int slot, const WAVEFORMATEX* format, DWORD byteCount) {
    const unsigned n = SlotNumber(slot);
    if (n >= WAVE_SLOT_COUNT || !gSound.directSound) return 0;
    WAVEFORMATEX copy = *format;
    DSBUFFERDESC desc{};
    desc.dwSize = DSBUFFERDESC_ORIGINAL_SIZE;
    desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;
    desc.dwBufferBytes = byteCount;
    desc.lpwfxFormat = &copy;
    return gSound.directSound->CreateSoundBuffer(&desc, &gSound.buffers[n], nullptr) == DS_OK ? 1 : 0;
}

int FillWaveBuffer(int slot, const void* data, DWORD byteCount) {
    IDirectSoundBuffer* buffer = GetWaveBuffer(slot);
    if (!buffer) return 0;
    void *region1 = nullptr, *region2 = nullptr;
    DWORD bytes1 = 0, bytes2 = 0;
    HRESULT result = buffer->Lock(0, byteCount, &region1, &bytes1, &region2, &bytes2, 0);
    if (result == DSERR_BUFFERLOST) {
        buffer->Restore();
        result = buffer->Lock(0, byteCount, &region1, &bytes1, &region2, &bytes2, 0);
    }
    if (result != DS_OK) return 0;
    std::memcpy(region1, data, bytes1);
    if (bytes2 != 0) std::memcpy(region2, static_cast<const uint8_t*>(data) + bytes1, bytes2);
    return buffer->Unlock(region1, bytes1, region2, bytes2) == DS_OK ? 1 : 0;
}

int PlayWave(int slot, int loop) {
    IDirectSoundBuffer* buffer = GetWaveBuffer(slot);
    if (!buffer) return 0;
    buffer->Stop();
    buffer->SetCurrentPosition(0);
    const HRESULT result = buffer->Play(0, 0, loop == 1 ? DSBPLAY_LOOPING : 0);
    if (result == DSERR_BUFFERLOST) {
        buffer->Restore();
        ReloadWave(slot);
        return 1;
    }
    return result == DS_OK ? 1 : 0;
}

int StopWave(int slot) {
    IDirectSoundBuffer* buffer = GetWaveBuffer(slot);
    return buffer && buffer->Stop() == DS_OK ? 1 : 0;
}

int SetWaveVolume(int slot, int volume) {
    IDirectSoundBuffer* buffer = GetWaveBuffer(slot);
    if (!buffer) return 0;
    LONG attenuation;
    if (volume > 100) attenuation = 0;
    else if (volume < 0) attenuation = -10000;
    else attenuation = -Curve(100 - volume);
    return buffer->SetVolume(attenuation) == DS_OK ? 1 : 0;
}

int SetWavePan(int slot, int pan) {
    IDirectSoundBuffer* buffer = GetWaveBuffer(slot);
    if (!buffer) return 0;
    LONG value;
    if (pan > 100) value = 10000;
    else if (pan < -100) value = -10000;
    else if (pan > 0) value = Curve(pan);
    else if (pan < 0) value = -Curve(-pan);
    else value = 0;
    return buffer->SetPan(value) == DS_OK ? 1 : 0;
}

int SetWaveFrequency(int slot, unsigned frequency) {
    IDirectSoundBuffer* buffer = GetWaveBuffer(slot);
    if (!buffer) return 0;
    return buffer->SetFrequency(ClampFrequency(frequency)) == DS_OK ? 1 : 0;
}

// The sum is clamped with signed comparisons: a negative one becomes 100.
int ShiftWaveFrequency(int slot, int delta) {
    IDirectSoundBuffer* buffer = GetWaveBuffer(slot);
    if (!buffer) return 0;
    DWORD current = 0;
    buffer->GetFrequency(&current);
    long long frequency = static_cast<long long>(current) + delta;
    if (frequency != 0 && frequency < static_cast<long long>(DSBFREQUENCY_MIN)) frequency = DSBFREQUENCY_MIN;
    if (frequency > static_cast<long long>(DSBFREQUENCY_MAX)) frequency = DSBFREQUENCY_MAX;
    return buffer->SetFrequency(static_cast<DWORD>(frequency)) == DS_OK ? 1 : 0;
}
