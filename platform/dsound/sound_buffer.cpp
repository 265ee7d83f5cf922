// Secondary sound buffers on the software mixer.
#include "platform/dsound/sound_buffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/dsound/mix_kernels.h"
#include "platform/dsound/mixer.h"
#include "platform/dsound/mixer_voices.h"
#include "platform/win/threads.h"

namespace {

// The write cursor leads the play cursor by the 10 ms the mixer may already
// have taken, as the device's does.
constexpr DWORD WRITE_LEAD_DIVISOR = 100;

bool FormatSupported(const WAVEFORMATEX& f) {
    return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
           (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.nSamplesPerSec >= DSBFREQUENCY_MIN &&
           f.nSamplesPerSec <= DSBFREQUENCY_MAX && f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8;
}

// Hundredths of a decibel of attenuation as an amplitude factor; the bottom
// of the range is silence, as on the device.
float Amplitude(LONG hundredthsOfDb) {
    if (hundredthsOfDb <= DSBVOLUME_MIN) return 0.0f;
    return static_cast<float>(std::pow(10.0, hundredthsOfDb / 2000.0));
}

}  // namespace

HRESULT SoundBuffer::Create(const DSBUFFERDESC& desc, SoundBuffer** buffer) {
    if (desc.dwSize != DSBUFFERDESC_ORIGINAL_SIZE && desc.dwSize != sizeof(DSBUFFERDESC)) return DSERR_INVALIDPARAM;
    if (!desc.lpwfxFormat || desc.dwBufferBytes < DSBSIZE_MIN || desc.dwBufferBytes > DSBSIZE_MAX)
        return DSERR_INVALIDPARAM;
    if (!FormatSupported(*desc.lpwfxFormat)) return DSERR_BADFORMAT;
    if (desc.dwBufferBytes < desc.lpwfxFormat->nBlockAlign) return DSERR_INVALIDPARAM;
    try {
        *buffer = new SoundBuffer(desc);
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    return DS_OK;
}

SoundBuffer::SoundBuffer(const DSBUFFERDESC& desc)
    : flags_(desc.dwFlags),
      format_(*desc.lpwfxFormat),
      frames_(desc.dwBufferBytes / desc.lpwfxFormat->nBlockAlign),
      bytes_(desc.dwBufferBytes, format_.wBitsPerSample == 8 ? 0x80 : 0),
      samples_((static_cast<size_t>(frames_) + 1) * format_.nChannels, 0.0f) {
    std::lock_guard lock(MixerLock());
    AddMixerVoice(this);
}

SoundBuffer::~SoundBuffer() {
    std::lock_guard lock(MixerLock());
    RemoveMixerVoice(this);
}

HRESULT SoundBuffer::QueryInterface(const GUID& iid, void** object) {
    if (!object) return DSERR_INVALIDPARAM;
    *object = nullptr;
    if (!(iid == IID_IDirectSoundNotify) || !(flags_ & DSBCAPS_CTRLPOSITIONNOTIFY)) return DSERR_NOINTERFACE;
    AddRef();
    *object = static_cast<IDirectSoundNotify*>(&notify_);
    return DS_OK;
}

ULONG SoundBuffer::AddRef() { return ++references_; }

ULONG SoundBuffer::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT SoundBuffer::GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) {
    std::lock_guard lock(MixerLock());
    const DWORD size = static_cast<DWORD>(bytes_.size());
    const DWORD play = static_cast<DWORD>(position_ >> 32) * format_.nBlockAlign;
    const DWORD lead = (Rate() / WRITE_LEAD_DIVISOR) * format_.nBlockAlign;
    if (playCursor) *playCursor = play;
    if (writeCursor) *writeCursor = playing_ ? static_cast<DWORD>((static_cast<uint64_t>(play) + lead) % size) : play;
    return DS_OK;
}

HRESULT SoundBuffer::GetFormat(WAVEFORMATEX* format, DWORD size, DWORD* written) {
    if (!format && !written) return DSERR_INVALIDPARAM;
    const DWORD count = std::min<DWORD>(size, sizeof(WAVEFORMATEX));
    if (format) std::memcpy(format, &format_, count);
    if (written) *written = format ? count : static_cast<DWORD>(sizeof(WAVEFORMATEX));
    return DS_OK;
}

HRESULT SoundBuffer::GetVolume(LONG* volume) {
    if (!(flags_ & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    if (!volume) return DSERR_INVALIDPARAM;
    std::lock_guard lock(MixerLock());
    *volume = volume_;
    return DS_OK;
}

HRESULT SoundBuffer::GetPan(LONG* pan) {
    if (!(flags_ & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    if (!pan) return DSERR_INVALIDPARAM;
    std::lock_guard lock(MixerLock());
    *pan = pan_;
    return DS_OK;
}

HRESULT SoundBuffer::GetFrequency(DWORD* frequency) {
    if (!(flags_ & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
    if (!frequency) return DSERR_INVALIDPARAM;
    std::lock_guard lock(MixerLock());
    *frequency = Rate();
    return DS_OK;
}

HRESULT SoundBuffer::GetStatus(DWORD* status) {
    if (!status) return DSERR_INVALIDPARAM;
    std::lock_guard lock(MixerLock());
    *status = (playing_ ? DSBSTATUS_PLAYING : 0) | (playing_ && looping_ ? DSBSTATUS_LOOPING : 0) |
              (lost_ ? DSBSTATUS_BUFFERLOST : 0);
    return DS_OK;
}

HRESULT SoundBuffer::Lock(DWORD offset, DWORD bytes, void** region1, DWORD* bytes1, void** region2, DWORD* bytes2,
                          DWORD flags) {
    if (!region1 || !bytes1) return DSERR_INVALIDPARAM;
    std::lock_guard lock(MixerLock());
    const DWORD size = static_cast<DWORD>(bytes_.size());
    if (flags & DSBLOCK_FROMWRITECURSOR) {
        const DWORD play = static_cast<DWORD>(position_ >> 32) * format_.nBlockAlign;
        offset = playing_ ? (play + (Rate() / WRITE_LEAD_DIVISOR) * format_.nBlockAlign) % size : play;
    }
    if (flags & DSBLOCK_ENTIREBUFFER) bytes = size;
    if (offset >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;
    if (lost_) return DSERR_BUFFERLOST;
    const DWORD first = std::min(bytes, size - offset);
    *region1 = bytes_.data() + offset;
    *bytes1 = first;
    if (region2 && bytes2) {
        *region2 = bytes > first ? bytes_.data() : nullptr;
        *bytes2 = bytes - first;
    } else if (bytes > first) {
        return DSERR_INVALIDPARAM;
    }
    return DS_OK;
}

HRESULT SoundBuffer::Unlock(void* region1, DWORD bytes1, void* region2, DWORD bytes2) {
    std::lock_guard lock(MixerLock());
    const uint8_t* begin = bytes_.data();
    const size_t size = bytes_.size();
    auto inside = [&](void* region, DWORD count) {
        const auto* p = static_cast<const uint8_t*>(region);
        return p >= begin && p <= begin + size && count <= size - static_cast<size_t>(p - begin);
    };
    if ((region1 && !inside(region1, bytes1)) || (region2 && !inside(region2, bytes2))) return DSERR_INVALIDPARAM;
    if (lost_) return DSERR_BUFFERLOST;
    if (region1) ConvertBytes(static_cast<DWORD>(static_cast<uint8_t*>(region1) - begin), bytes1);
    if (region2) ConvertBytes(static_cast<DWORD>(static_cast<uint8_t*>(region2) - begin), bytes2);
    return DS_OK;
}

HRESULT SoundBuffer::Play(DWORD reserved, DWORD, DWORD flags) {
    if (reserved != 0) return DSERR_INVALIDPARAM;
    std::lock_guard lock(MixerLock());
    if (lost_) return DSERR_BUFFERLOST;
    playing_ = true;
    looping_ = (flags & DSBPLAY_LOOPING) != 0;
    UpdateGuardFrame();
    return DS_OK;
}

HRESULT SoundBuffer::SetCurrentPosition(DWORD position) {
    std::lock_guard lock(MixerLock());
    if (position >= bytes_.size()) return DSERR_INVALIDPARAM;
    position_ = static_cast<uint64_t>(position / format_.nBlockAlign) << 32;
    return DS_OK;
}

HRESULT SoundBuffer::SetVolume(LONG volume) {
    if (!(flags_ & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    std::lock_guard lock(MixerLock());
    volume_ = volume;
    UpdateGains();
    return DS_OK;
}

HRESULT SoundBuffer::SetPan(LONG pan) {
    if (!(flags_ & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    std::lock_guard lock(MixerLock());
    pan_ = pan;
    UpdateGains();
    return DS_OK;
}

HRESULT SoundBuffer::SetFrequency(DWORD frequency) {
    if (!(flags_ & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
    if (frequency != DSBFREQUENCY_ORIGINAL && (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX))
        return DSERR_INVALIDPARAM;
    std::lock_guard lock(MixerLock());
    frequency_ = frequency;
    return DS_OK;
}

HRESULT SoundBuffer::Stop() {
    std::lock_guard lock(MixerLock());
    if (playing_) NotifyStop();
    playing_ = false;
    return DS_OK;
}

HRESULT SoundBuffer::Restore() {
    std::lock_guard lock(MixerLock());
    lost_ = false;
    return DS_OK;
}

HRESULT SoundBuffer::NotifyInterface::SetNotificationPositions(DWORD count, const DSBPOSITIONNOTIFY* positions) {
    if (count > 0 && !positions) return DSERR_INVALIDPARAM;
    std::lock_guard lock(MixerLock());
    if (owner_->playing_) return DSERR_INVALIDCALL;
    for (DWORD i = 0; i < count; ++i) {
        const DSBPOSITIONNOTIFY& p = positions[i];
        if (!p.hEventNotify || (p.dwOffset != DSBPN_OFFSETSTOP && p.dwOffset >= owner_->bytes_.size()))
            return DSERR_INVALIDPARAM;
    }
    owner_->notifications_.assign(positions, positions + count);
    return DS_OK;
}

// Pan attenuates the far side only, by its value in hundredths of a decibel,
// on top of the volume.
void SoundBuffer::UpdateGains() {
    gainLeft_ = Amplitude(volume_ - std::max<LONG>(pan_, 0));
    gainRight_ = Amplitude(volume_ + std::min<LONG>(pan_, 0));
}

// The frame after the last: the first frame when looping, so the seam is
// interpolated like any other pair; silence otherwise.
void SoundBuffer::UpdateGuardFrame() {
    const size_t channels = format_.nChannels;
    for (size_t c = 0; c < channels; ++c) samples_[frames_ * channels + c] = looping_ ? samples_[c] : 0.0f;
}

void SoundBuffer::ConvertBytes(DWORD offset, DWORD bytes) {
    const DWORD align = format_.nBlockAlign;
    const DWORD firstFrame = offset / align;
    const DWORD endFrame = std::min<DWORD>(frames_, static_cast<DWORD>((static_cast<uint64_t>(offset) + bytes + align - 1) / align));
    const size_t channels = format_.nChannels;
    for (size_t i = firstFrame * channels; i < endFrame * channels; ++i) {
        if (format_.wBitsPerSample == 8) {
            samples_[i] = static_cast<float>((static_cast<int>(bytes_[i]) - 128) * 256);
        } else {
            int16_t value;
            std::memcpy(&value, &bytes_[i * 2], 2);
            samples_[i] = value;
        }
    }
    if (firstFrame == 0 && endFrame > 0) UpdateGuardFrame();
}

void SoundBuffer::Lose() {
    lost_ = true;
    std::fill(bytes_.begin(), bytes_.end(), format_.wBitsPerSample == 8 ? 0x80 : 0);
    std::fill(samples_.begin(), samples_.end(), 0.0f);
}

// Signals the notifications whose frame lies in (fromFrame, toFrame]; offset
// 0 counts as the end of the buffer, passed when the cursor wraps.
void SoundBuffer::SignalPassed(DWORD fromFrame, DWORD toFrame) {
    for (const DSBPOSITIONNOTIFY& n : notifications_) {
        if (n.dwOffset == DSBPN_OFFSETSTOP) continue;
        DWORD frame = n.dwOffset / format_.nBlockAlign;
        if (frame == 0) frame = frames_;
        if (frame > fromFrame && frame <= toFrame) SetEvent(n.hEventNotify);
    }
}

void SoundBuffer::NotifyStop() {
    for (const DSBPOSITIONNOTIFY& n : notifications_)
        if (n.dwOffset == DSBPN_OFFSETSTOP) SetEvent(n.hEventNotify);
}

void SoundBuffer::MixInto(float* accumulator, int frames) {
    const uint64_t step = (static_cast<uint64_t>(Rate()) << 32) / MIXER_RATE;
    const uint64_t end = static_cast<uint64_t>(frames_) << 32;
    const bool stereo = format_.nChannels == 2;
    int done = 0;
    while (playing_ && done < frames) {
        const uint64_t untilEnd = (end - position_ + step - 1) / step;
        const int count = static_cast<int>(std::min<uint64_t>(untilEnd, static_cast<uint64_t>(frames - done)));
        if (stereo)
            MixStereoLinear(samples_.data(), position_, step, gainLeft_, gainRight_, accumulator + 2 * done, count);
        else
            MixMonoLinear(samples_.data(), position_, step, gainLeft_, gainRight_, accumulator + 2 * done, count);
        const DWORD fromFrame = static_cast<DWORD>(position_ >> 32);
        position_ += static_cast<uint64_t>(count) * step;
        done += count;
        SignalPassed(fromFrame, static_cast<DWORD>(std::min(position_, end) >> 32));
        if (position_ < end) continue;
        if (looping_) {
            position_ %= end;
        } else {
            position_ = 0;
            playing_ = false;
            NotifyStop();
        }
    }
}
