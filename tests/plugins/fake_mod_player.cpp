// A module player library for the MOD streamer's tests: it reports
// FAKE_VERSION and renders FAKE_BLOCKS blocks of one constant sample value
// (1000) before it reports the end, whatever module it is given.
#include <cstdint>
#include <cstring>

#include "framework/media/mod_player_api.h"

namespace {

struct FakePlayer {
    ModPlayer base;
    int blocksLeft = FAKE_BLOCKS;
};

FakePlayer* Self(ModPlayer* player) { return reinterpret_cast<FakePlayer*>(player); }

int Release(ModPlayer* player) {
    delete Self(player);
    return 1;
}
uint32_t Version(ModPlayer*) { return FAKE_VERSION; }
int Load(ModPlayer*, const void*, uint32_t) { return 1; }
int End(ModPlayer*) { return 1; }
int SetFormat(ModPlayer*, int, int, int) { return 1; }
int SetMode(ModPlayer*, uint32_t) { return 1; }

int Render(ModPlayer* player, void* destination, uint32_t bytes) {
    if (Self(player)->blocksLeft-- <= 0) return 0;
    auto* samples = static_cast<int16_t*>(destination);
    for (uint32_t i = 0; i < bytes / 2; ++i) samples[i] = 1000;
    return 1;
}

constexpr ModPlayerEntries ENTRIES = {nullptr, Release, Version, Load, End, SetFormat, Render, SetMode};

}  // namespace

MOD_PLAYER_EXPORT int MPP_GetModAPI(ModPlayer** player) {
    auto* self = new FakePlayer;
    self->base.entries = &ENTRIES;
    *player = &self->base;
    return 1;
}
