// MOD music. The main thread loads the player library and the module (mapped
// from its file, never unmapped: the player reads it in place) and starts the
// "MOD Play" thread, which renders 32 KB blocks and writes each into the half
// of the stream buffer that has just been played. The thread is stopped
// through gMod.stopRequest, which it reads after each block it writes, so a
// stop waits at most half the buffer (186 ms) plus one render.
//
// A paused module is closed like a playing one: CloseMod (and with it
// CloseAllMedia when the window is destroyed, and PlayMod of another module)
// unloads it and frees the library, so nothing is left loaded that the user
// can no longer reach.
#include <cstdio>

#include "framework/dialog/diagnostics.h"
#include "framework/media/media.h"
#include "framework/media/mod_music.h"
#include "framework/sound/sound.h"
#include "platform/win/win.h"

ModState gMod{};

namespace {

constexpr WAVEFORMATEX STREAM_FORMAT = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};

DWORD ModPlayThread(void*) {
    if (!CreateStreamBuffer(&STREAM_FORMAT, STREAM_BUFFER_BYTES)) {
        ReleaseStreamBuffer();
        ErrorBox("ストリーミングの準備に失敗しました。");
        return 1;
    }
    for (;;) {
        if (gMod.api->entries->render(gMod.api, gMod.pcmBlock, MOD_BLOCK_BYTES) == 0) break;
        WriteStreamBlock(gMod.pcmBlock, MOD_BLOCK_BYTES);
        if (gMod.stopRequest.load()) break;
    }
    ReleaseStreamBuffer();
    return 0;
}

int StartModThread() {
    gMod.thread = CreateThread(nullptr, 0, ModPlayThread, const_cast<char*>("MOD Play"), 0, &gMod.threadId);
    return gMod.thread ? 1 : 0;
}

void StopModThread() {
    gMod.stopRequest = 1;
    WaitForSingleObject(gMod.thread, INFINITE);
    CloseHandle(gMod.thread);
    gMod.thread = nullptr;
    gMod.stopRequest = 0;
}

void ReleaseModPlayer() {
    if (gMod.api) {
        gMod.api->entries->end(gMod.api);
        gMod.api->entries->release(gMod.api);
    }
    if (gMod.library) FreeLibrary(gMod.library);
    gMod.api = nullptr;
    gMod.getApi = nullptr;
    gMod.library = nullptr;
}

int LoadModPlayer(const char* name) {
    gMod.library = LoadLibraryA("mppsdk.dll");
    if (!gMod.library) {
        ErrorBox("mppsdk.dllが見つかりません");
        return 0;
    }
    gMod.getApi = reinterpret_cast<GetModApiProc>(GetProcAddress(gMod.library, "MPP_GetModAPI"));
    if (gMod.getApi) gMod.getApi(&gMod.api);
    if (!gMod.api || gMod.api->entries->version(gMod.api) < MOD_PLAYER_MIN_VERSION) {
        ErrorBox("mppsdk.dllのバージョンが古いです");
        return 0;
    }
    char directory[256] = "";
    GetAppDirectory(directory);
    char path[260];
    std::snprintf(path, sizeof(path), "%s\\%s", directory, name);
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DebugLog("MOD[%s]のオープンに失敗しました\n", path);
        return 0;
    }
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    gMod.api->entries->load(gMod.api, view, GetFileSize(file, nullptr));
    CloseHandle(mapping);
    CloseHandle(file);
    gMod.api->entries->setFormat(gMod.api, 44100, 2, 16);
    gMod.api->entries->setMode(gMod.api, gMod.looping ? MOD_PLAYER_LOOP : 0);
    return 1;
}

}  // namespace

// A player refused after the library was loaded is released again, so a
// failed PlayMod leaves nothing behind.
int PlayMod(const char* name, int loop) {
    if (gMod.opened) CloseMod();
    gMod.looping = loop != 0;
    if (!LoadModPlayer(name)) {
        ReleaseModPlayer();
        return 0;
    }
    if (!StartModThread()) {
        ReleaseModPlayer();
        return 0;
    }
    gMod.opened = 1;
    gMod.playing = 1;
    return 1;
}

int PauseMod() {
    if (!gMod.opened || !gMod.playing) return 0;
    StopModThread();
    gMod.playing = 0;
    return 1;
}

int ResumeMod() {
    if (!gMod.opened || gMod.playing) return 0;
    if (!StartModThread()) return 0;
    gMod.playing = 1;
    return 1;
}

int CloseMod() {
    if (!gMod.opened) return 0;
    if (gMod.playing) StopModThread();
    ReleaseModPlayer();
    gMod.playing = 0;
    gMod.opened = 0;
    return 1;
}

int IsModPlaying() { return gMod.playing; }
