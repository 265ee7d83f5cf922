// The module player library's interface, as the MOD streamer calls it and as
// a player library implements it: MPP_GetModAPI hands out an object whose
// first word points to a table of entries, each called with the object first.
#pragma once

#include <cstdint>

struct ModPlayer;

struct ModPlayerEntries {
    void* unused;                                                       // entry 0
    int (*release)(ModPlayer* player);                                  // 1: last call on the object
    uint32_t (*version)(ModPlayer* player);                             // 2: at least MOD_PLAYER_MIN_VERSION
    int (*load)(ModPlayer* player, const void* module, uint32_t bytes); // 3: the whole module file, read in place
    int (*end)(ModPlayer* player);                                      // 4: stops playback, before release
    int (*setFormat)(ModPlayer* player, int rate, int channels, int bits);  // 5: output PCM format
    int (*render)(ModPlayer* player, void* destination, uint32_t bytes);    // 6: 0 when the module has ended
    int (*setMode)(ModPlayer* player, uint32_t flags);                  // 7: MOD_PLAYER_LOOP or 0
};

struct ModPlayer {
    const ModPlayerEntries* entries;
};

constexpr uint32_t MOD_PLAYER_MIN_VERSION = 322;
constexpr uint32_t MOD_PLAYER_LOOP = 16;

using GetModApiProc = int (*)(ModPlayer** player);

#if defined(MOD_PLAYER_LIBRARY)
#define MOD_PLAYER_EXPORT extern "C" __attribute__((visibility("default")))
#endif
