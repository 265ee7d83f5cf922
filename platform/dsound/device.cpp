// The sound device: buffers on the one mixer, and the cooperative level.
#include <atomic>

#include "platform/dsound/audio_output.h"
#include "platform/dsound/dsound.h"
#include "platform/dsound/sound_buffer.h"
#include "platform/win/platform.h"

namespace {

class SoundDevice final : public IDirectSound {
public:
    SoundDevice() { OpenAudioOutput(); }

    HRESULT QueryInterface(const GUID&, void** object) override {
        if (object) *object = nullptr;
        return DSERR_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer, IUnknown* outer) override {
        if (!desc || !buffer || outer) return DSERR_INVALIDPARAM;
        *buffer = nullptr;
        if (level_ == 0) return DSERR_INVALIDCALL;
        SoundBuffer* created = nullptr;
        const HRESULT result = SoundBuffer::Create(*desc, &created);
        if (result == DS_OK) *buffer = created;
        return result;
    }

    // Any level is granted: every program shares the one mixer, so none
    // needs the device to itself.
    HRESULT SetCooperativeLevel(HWND window, DWORD level) override {
        if (!window || level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
        level_ = level;
        return DS_OK;
    }

private:
    ~SoundDevice() override { CloseAudioOutput(); }

    std::atomic<ULONG> references_{1};
    DWORD level_ = 0;
};

}  // namespace

HRESULT DirectSoundCreate(const GUID* guid, IDirectSound** device, IUnknown* outer) {
    if (!device || outer || guid) return DSERR_INVALIDPARAM;
    *device = nullptr;
    if (!PlatformIsOpen()) return DSERR_NODRIVER;
    *device = new SoundDevice;
    return DS_OK;
}
