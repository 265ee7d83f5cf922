// The module player library over libopenmpt: MOD, S3M, XM, IT and every other
// format libopenmpt reads, rendered as 16-bit PCM, mono or stereo, at the
// rate asked for. Looping (mode 16) repeats the song forever; otherwise the
// render after the song's last frame reports the end.
#include <libopenmpt/libopenmpt.h>

#include <cstring>

#include "framework/media/mod_player_api.h"

namespace {

constexpr uint32_t VERSION = 0x150;

struct OpenMptPlayer {
    ModPlayer base;  // first, so the object is its own ModPlayer
    openmpt_module* module = nullptr;
    int rate = 44100;
    int channels = 2;
    int bits = 16;
    uint32_t mode = 0;
};

OpenMptPlayer* Self(ModPlayer* player) { return reinterpret_cast<OpenMptPlayer*>(player); }

void CloseModule(OpenMptPlayer* self) {
    if (self->module) openmpt_module_destroy(self->module);
    self->module = nullptr;
}

void ApplyMode(OpenMptPlayer* self) {
    if (self->module) openmpt_module_set_repeat_count(self->module, self->mode & MOD_PLAYER_LOOP ? -1 : 0);
}

int Release(ModPlayer* player) {
    CloseModule(Self(player));
    delete Self(player);
    return 1;
}

uint32_t Version(ModPlayer*) { return VERSION; }

int Load(ModPlayer* player, const void* module, uint32_t bytes) {
    OpenMptPlayer* self = Self(player);
    CloseModule(self);
    if (!module) return 0;
    self->module = openmpt_module_create_from_memory2(module, bytes, openmpt_log_func_silent, nullptr,
                                                      openmpt_error_func_ignore, nullptr, nullptr, nullptr, nullptr);
    ApplyMode(self);
    return self->module ? 1 : 0;
}

int End(ModPlayer* player) {
    CloseModule(Self(player));
    return 1;
}

int SetFormat(ModPlayer* player, int rate, int channels, int bits) {
    if (rate < 8000 || rate > 192000 || (channels != 1 && channels != 2) || bits != 16) return 0;
    Self(player)->rate = rate;
    Self(player)->channels = channels;
    Self(player)->bits = bits;
    return 1;
}

// A block cut short by the end of the song is filled up with silence and
// still played; the next call reports the end.
int Render(ModPlayer* player, void* destination, uint32_t bytes) {
    OpenMptPlayer* self = Self(player);
    if (!self->module || !destination) return 0;
    const size_t frameBytes = static_cast<size_t>(self->channels) * 2;
    const size_t frames = bytes / frameBytes;
    auto* out = static_cast<int16_t*>(destination);
    const size_t rendered = self->channels == 2
                                ? openmpt_module_read_interleaved_stereo(self->module, self->rate, frames, out)
                                : openmpt_module_read_mono(self->module, self->rate, frames, out);
    if (rendered == 0) return 0;
    std::memset(static_cast<uint8_t*>(destination) + rendered * frameBytes, 0, bytes - rendered * frameBytes);
    return 1;
}

int SetMode(ModPlayer* player, uint32_t flags) {
    Self(player)->mode = flags;
    ApplyMode(Self(player));
    return 1;
}

constexpr ModPlayerEntries ENTRIES = {nullptr, Release, Version, Load, End, SetFormat, Render, SetMode};

}  // namespace

MOD_PLAYER_EXPORT int MPP_GetModAPI(ModPlayer** player) {
    if (!player) return 0;
    auto* self = new OpenMptPlayer;
    self->base.entries = &ENTRIES;
    *player = &self->base;
    return 1;
}
