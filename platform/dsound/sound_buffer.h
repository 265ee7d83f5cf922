// A secondary sound buffer: the bytes a program locks and writes, a float copy
// of its frames that the mixer reads (refreshed on Unlock), a cursor, the
// controls and the position notifications. Every call takes the mixer's lock,
// so a buffer may be used from any thread while the output mixes it.
#pragma once

#include <atomic>
#include <vector>

#include "platform/dsound/dsound.h"

class SoundBuffer final : public IDirectSoundBuffer {
public:
    // Checks the description; DS_OK with the new buffer (one reference).
    static HRESULT Create(const DSBUFFERDESC& desc, SoundBuffer** buffer);

    HRESULT QueryInterface(const GUID& iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) override;
    HRESULT GetFormat(WAVEFORMATEX* format, DWORD size, DWORD* written) override;
    HRESULT GetVolume(LONG* volume) override;
    HRESULT GetPan(LONG* pan) override;
    HRESULT GetFrequency(DWORD* frequency) override;
    HRESULT GetStatus(DWORD* status) override;
    HRESULT Lock(DWORD offset, DWORD bytes, void** region1, DWORD* bytes1, void** region2, DWORD* bytes2,
                 DWORD flags) override;
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
    HRESULT SetCurrentPosition(DWORD position) override;
    HRESULT SetVolume(LONG volume) override;
    HRESULT SetPan(LONG pan) override;
    HRESULT SetFrequency(DWORD frequency) override;
    HRESULT Stop() override;
    HRESULT Unlock(void* region1, DWORD bytes1, void* region2, DWORD bytes2) override;
    HRESULT Restore() override;

    // The mixer's side, called with the mixer locked.
    void MixInto(float* accumulator, int frames);
    void Lose();

private:
    class NotifyInterface final : public IDirectSoundNotify {
    public:
        explicit NotifyInterface(SoundBuffer* owner) : owner_(owner) {}
        HRESULT QueryInterface(const GUID& iid, void** object) override { return owner_->QueryInterface(iid, object); }
        ULONG AddRef() override { return owner_->AddRef(); }
        ULONG Release() override { return owner_->Release(); }
        HRESULT SetNotificationPositions(DWORD count, const DSBPOSITIONNOTIFY* positions) override;

    private:
        SoundBuffer* owner_;
    };

    SoundBuffer(const DSBUFFERDESC& desc);
    ~SoundBuffer() override;

    DWORD Rate() const { return frequency_ ? frequency_ : format_.nSamplesPerSec; }
    void UpdateGains();
    void UpdateGuardFrame();
    void ConvertBytes(DWORD offset, DWORD bytes);
    void SignalPassed(DWORD fromFrame, DWORD toFrame);
    void NotifyStop();

    std::atomic<ULONG> references_{1};
    NotifyInterface notify_{this};
    const DWORD flags_;
    const WAVEFORMATEX format_;
    const DWORD frames_;
    std::vector<uint8_t> bytes_;   // dwBufferBytes, what Lock hands out
    std::vector<float> samples_;   // frames_ + 1 guard frame, channels interleaved
    uint64_t position_ = 0;        // 32.32 frames
    bool playing_ = false;
    bool looping_ = false;
    bool lost_ = false;
    LONG volume_ = 0;
    LONG pan_ = 0;
    DWORD frequency_ = 0;  // 0: the format's own rate
    float gainLeft_ = 1.0f;
    float gainRight_ = 1.0f;
    std::vector<DSBPOSITIONNOTIFY> notifications_;
};
