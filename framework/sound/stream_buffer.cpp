// The MOD player's streaming buffer on the sound device: two halves, an event
// signalled as the play cursor passes the start of each, refilled by the
// stream thread one half at a time while the other plays.
#include <cstring>

#include "framework/sound/sound.h"

int CreateStreamBuffer(const WAVEFORMATEX* format, DWORD byteCount) {
    if (!gSound.directSound) return 0;
    WAVEFORMATEX copy = *format;
    DSBUFFERDESC desc{};
    desc.dwSize = DSBUFFERDESC_ORIGINAL_SIZE;
    desc.dwFlags = DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_LOCDEFER;
    desc.dwBufferBytes = byteCount;
    desc.lpwfxFormat = &copy;
    if (gSound.directSound->CreateSoundBuffer(&desc, &gSound.streamBuffer, nullptr) != DS_OK) return 0;
    if (gSound.streamBuffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&gSound.streamNotify)) !=
        DS_OK)
        return 0;
    gSound.streamEvents[0] = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    gSound.streamEvents[1] = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    const DSBPOSITIONNOTIFY positions[2] = {{0, gSound.streamEvents[0]}, {byteCount / 2, gSound.streamEvents[1]}};
    if (gSound.streamNotify->SetNotificationPositions(2, positions) != DS_OK) return 0;
    void *region1 = nullptr, *region2 = nullptr;
    DWORD bytes1 = 0, bytes2 = 0;
    if (gSound.streamBuffer->Lock(0, byteCount, &region1, &bytes1, &region2, &bytes2, 0) == DS_OK) {
        std::memset(region1, 0, bytes1);
        if (region2) std::memset(region2, 0, bytes2);
        gSound.streamBuffer->Unlock(region1, bytes1, region2, bytes2);
    }
    gSound.streamBuffer->Play(0, 0, DSBPLAY_LOOPING);
    return 1;
}

int WriteStreamBlock(const void* data, DWORD blockBytes) {
    const DWORD signalled = WaitForMultipleObjects(2, gSound.streamEvents, FALSE, INFINITE);
    DWORD half;
    if (signalled == WAIT_OBJECT_0) half = 1;           // the second half has just been played
    else if (signalled == WAIT_OBJECT_0 + 1) half = 0;  // the first half has just been played
    else return 0;
    void *region1 = nullptr, *region2 = nullptr;
    DWORD bytes1 = 0, bytes2 = 0;
    HRESULT result = gSound.streamBuffer->Lock(blockBytes * half, blockBytes, &region1, &bytes1, &region2, &bytes2, 0);
    if (result == DSERR_BUFFERLOST) {
        gSound.streamBuffer->Restore();
        result = gSound.streamBuffer->Lock(blockBytes * half, blockBytes, &region1, &bytes1, &region2, &bytes2, 0);
    }
    if (result != DS_OK) return 0;
    std::memcpy(region1, data, bytes1);
    if (region2) std::memcpy(region2, static_cast<const uint8_t*>(data) + bytes1, bytes2);
    gSound.streamBuffer->Unlock(region1, bytes1, region2, bytes2);
    return 1;
}

void ReleaseStreamBuffer() {
    if (gSound.streamBuffer) {
        gSound.streamBuffer->Stop();
        gSound.streamBuffer->Release();
    }
    if (gSound.streamNotify) gSound.streamNotify->Release();
    for (HANDLE& event : gSound.streamEvents) {
        if (event) CloseHandle(event);
        event = nullptr;
    }
    gSound.streamBuffer = nullptr;
    gSound.streamNotify = nullptr;
}
