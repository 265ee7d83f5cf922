// Sound: a WAVE file written here (one second of a 440 Hz tone), loaded into
// WAVE slot 0 and played with its volume, pan and pitch changed as it runs.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "framework/app/app.h"
#include "framework/dialog/diagnostics.h"
#include "framework/sound/sound.h"

namespace {

int gFrames = 0;

// A mono 16-bit PCM WAVE file.
void WriteTone(const char* path) {
    const uint32_t rate = 22050;
    std::vector<int16_t> samples(rate);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440 * i / rate));
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2), riffBytes = 36 + dataBytes;
    const uint16_t pcm = 1, channels = 1, blockAlign = 2, bits = 16;
    const uint32_t fmtBytes = 16, byteRate = rate * 2;
    FILE* f = std::fopen(path, "wb");
    if (!f) return;
    std::fwrite("RIFF", 1, 4, f), std::fwrite(&riffBytes, 4, 1, f), std::fwrite("WAVEfmt ", 1, 8, f);
    std::fwrite(&fmtBytes, 4, 1, f), std::fwrite(&pcm, 2, 1, f), std::fwrite(&channels, 2, 1, f);
    std::fwrite(&rate, 4, 1, f), std::fwrite(&byteRate, 4, 1, f), std::fwrite(&blockAlign, 2, 1, f);
    std::fwrite(&bits, 2, 1, f), std::fwrite("data", 1, 4, f), std::fwrite(&dataBytes, 4, 1, f);
    std::fwrite(samples.data(), 2, samples.size(), f);
    std::fclose(f);
}

void Init() {
    WriteTone("tone.wav");
    if (!LoadWave(0, "tone.wav")) DebugLog("the tone did not load\n");  // a name with '.' is a file
    PlayWave(0, 1);                                                       // looping
}

void Frame() {
    SetWavePan(0, -100 + 5 * (gFrames % 40));  // left to right
    SetWaveVolume(0, 100 - gFrames);            // fading
    if (gFrames == 30) SetWaveFrequency(0, 44100);  // an octave up
    if (++gFrames == 60) StopWave(0), RequestQuit();
}

}  // namespace

const AppConfig gAppConfig = [] {
    AppConfig config = DEFAULT_APP_CONFIG;
    config.fullScreen = 0;
    config.appInit = Init;
    config.frameProc = Frame;
    return config;
}();
