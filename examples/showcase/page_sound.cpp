// Sound: three WAVE slots (a resource built into the program and two files)
// played once or looping with their volume, pan and frequency on screen, and
// a tracker module streamed on its own thread, paused and resumed.
//   1 2 3 choose a slot   P play   L loop   S stop
//   Up/Down volume   A/D pan   W/X frequency   F the sample's own rate
//   M pause or resume the music
#include <iterator>

#include "examples/showcase/showcase.h"
#include "framework/draw/gdi_draw.h"
#include "framework/input/input.h"
#include "framework/media/media.h"
#include "framework/media/mod_music.h"
#include "framework/sound/sound.h"

namespace {

struct SlotSettings {
    const char* label;
    int volume = 100;
    int pan = 0;
};

SlotSettings gSlots[] = {{"chime (resource)"}, {"laser.wav (file)"}, {"engine.wav (file)"}};
int gSelected = 0;
bool gLoaded = false;

void LoadSounds() {
    if (gLoaded) return;
    LoadWave(0, "CHIME");
    LoadWave(1, DataFile("laser.wav").c_str());
    LoadWave(2, DataFile("engine.wav").c_str());
    gLoaded = true;
}

// One piece of music at a time: the music page's song stops.
void SoundEnter() {
    LoadSounds();
    CloseMidi();
    if (!IsModPlaying()) PlayMod(DataFileFromWorkingDirectory("tune.mod").c_str(), 1);
}

void HandleKeys() {
    for (int i = 0; i < 3; ++i)
        if (KeyState('1' + i) == KEY_PRESSED) gSelected = i;
    SlotSettings& s = gSlots[gSelected];
    if (KeyState('P') == KEY_PRESSED) PlayWave(gSelected, 0);
    if (KeyState('L') == KEY_PRESSED) PlayWave(gSelected, 1);
    if (KeyState('S') == KEY_PRESSED) StopWave(gSelected);
    if (KeyState(VK_UP) == KEY_PRESSED && s.volume < 100) SetWaveVolume(gSelected, s.volume += 10);
    if (KeyState(VK_DOWN) == KEY_PRESSED && s.volume > 0) SetWaveVolume(gSelected, s.volume -= 10);
    if (KeyState('A') == KEY_PRESSED && s.pan > -100) SetWavePan(gSelected, s.pan -= 20);
    if (KeyState('D') == KEY_PRESSED && s.pan < 100) SetWavePan(gSelected, s.pan += 20);
    if (KeyState('W') == KEY_PRESSED) ShiftWaveFrequency(gSelected, 1000);
    if (KeyState('X') == KEY_PRESSED) ShiftWaveFrequency(gSelected, -1000);
    if (KeyState('F') == KEY_PRESSED) SetWaveFrequency(gSelected, 0);
    if (KeyState('M') == KEY_PRESSED && !PauseMod()) ResumeMod();
}

void SoundFrame(int) {
    HandleKeys();
    DrawBackdrop();
    PrintText(16, 36, "1 2 3 slot   P play   L loop   S stop   Up/Down volume");
    PrintText(16, 56, "A/D pan   W/X frequency   F own rate   M music pause/resume");
    for (int i = 0; i < 3; ++i) {
        const int y = 96 + 28 * i;
        if (i == gSelected) DrawFilledRect(10, y - 4, 630, y + 20, RGB(40, 90, 160));
        DWORD frequency = 0, status = 0;
        if (IDirectSoundBuffer* buffer = gSound.buffers[i]) {
            buffer->GetFrequency(&frequency);
            buffer->GetStatus(&status);
        }
        PrintText(16, y, "%d %-18s vol %3d  pan %4d  %6lu Hz  %s", i + 1, gSlots[i].label, gSlots[i].volume,
                  gSlots[i].pan, static_cast<unsigned long>(frequency),
                  status & DSBSTATUS_LOOPING ? "looping" : status & DSBSTATUS_PLAYING ? "playing" : "");
    }
    PrintText(16, 200, "music: tune.mod  %s", IsModPlaying() ? "playing" : "paused");
}

}  // namespace

const ShowcasePage kSoundPage = {"Sound effects and music", SoundEnter, SoundFrame};
