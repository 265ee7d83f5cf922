// MOD music: one tracker module at a time, rendered by the module player
// library and streamed on the "MOD Play" thread through a two-half buffer.
#pragma once

#include <atomic>
#include <cstdint>

#include "framework/media/mod_player_api.h"
#include "platform/win/threads.h"
#include "platform/win/win.h"

constexpr uint32_t MOD_BLOCK_BYTES = 32768;       // one block, one half of the stream buffer
constexpr uint32_t STREAM_BUFFER_BYTES = 65536;

struct ModState {
    int opened;
    int looping;
    int playing;
    HANDLE thread;
    DWORD threadId;
    std::atomic<int> stopRequest;  // the one value both threads touch
    HMODULE library;
    GetModApiProc getApi;
    ModPlayer* api;
    uint8_t pcmBlock[MOD_BLOCK_BYTES];
};

extern ModState gMod;

int PlayMod(const char* name, int loop);
int PauseMod();
int ResumeMod();
int CloseMod();
int IsModPlaying();
