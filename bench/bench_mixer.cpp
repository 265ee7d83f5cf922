// The mixer rendering 32 looping voices (mono 16-bit 22,050 Hz sources, each
// with its own volume, pan and frequency) to 44,100 Hz stereo, as one second
// of real-time playback costs: counter core_percent is the share of one core
// that real-time playback takes. The yardstick is a plain scalar mixer loop
// doing the same work on the same sources in the same run (x_scalar: how many
// times faster the mixer is).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "bench/bench_support.h"
#include "platform/dsound/dsound.h"
#include "platform/dsound/mixer.h"

namespace {

constexpr int VOICES = 32;
constexpr int SOURCE_FRAMES = 22050;  // one second each
constexpr int BLOCK_FRAMES = 441;     // 10 ms a call

struct Voice {
    std::vector<int16_t> samples;
    DWORD frequency;
    float gainLeft, gainRight;
    double position = 0;
};

std::vector<Voice>& Voices() {
    static std::vector<Voice> voices;
    return voices;
}

// The same 32 voices as DirectSound buffers and as the yardstick's records.
void PrepareVoices() {
    IDirectSound* device = nullptr;
    DirectSoundCreate(nullptr, &device, nullptr);
    device->SetCooperativeLevel(reinterpret_cast<HWND>(1), DSSCL_NORMAL);
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
    for (int v = 0; v < VOICES; ++v) {
        Voice voice;
        voice.samples.resize(SOURCE_FRAMES);
        for (int i = 0; i < SOURCE_FRAMES; ++i)
            voice.samples[i] = static_cast<int16_t>(8000 * std::sin(i * (0.01 + 0.003 * v)));
        voice.frequency = 11025 + 1000u * static_cast<DWORD>(v);
        const LONG volume = -50 * v, pan = -3000 + 200 * v;
        voice.gainLeft = static_cast<float>(std::pow(10.0, (volume - std::max<LONG>(pan, 0)) / 2000.0));
        voice.gainRight = static_cast<float>(std::pow(10.0, (volume + std::min<LONG>(pan, 0)) / 2000.0));

        DSBUFFERDESC desc{DSBUFFERDESC_ORIGINAL_SIZE, 0xE2, SOURCE_FRAMES * 2, 0, &format, {}};
        IDirectSoundBuffer* buffer = nullptr;
        device->CreateSoundBuffer(&desc, &buffer, nullptr);
        void *p1 = nullptr, *p2 = nullptr;
        DWORD n1 = 0, n2 = 0;
        buffer->Lock(0, SOURCE_FRAMES * 2, &p1, &n1, &p2, &n2, 0);
        std::copy(voice.samples.begin(), voice.samples.end(), static_cast<int16_t*>(p1));
        buffer->Unlock(p1, n1, p2, n2);
        buffer->SetVolume(volume);
        buffer->SetPan(pan);
        buffer->SetFrequency(voice.frequency);
        buffer->Play(0, 0, DSBPLAY_LOOPING);
        Voices().push_back(std::move(voice));
    }
}

const BenchmarkSetup SETUP(PrepareVoices);

// The yardstick: each voice read, interpolated, panned and added one frame at
// a time, then clamped to 16 bits.
void ScalarMix(int16_t* out, int frames) {
    static std::vector<float> mix(BLOCK_FRAMES * 2);
    std::fill(mix.begin(), mix.end(), 0.0f);
    for (Voice& v : Voices()) {
        const double step = v.frequency / 44100.0;
        for (int n = 0; n < frames; ++n) {
            const int i = static_cast<int>(v.position);
            const float fraction = static_cast<float>(v.position - i);
            const int next = i + 1 < SOURCE_FRAMES ? i + 1 : 0;
            const float sample = v.samples[i] + (v.samples[next] - v.samples[i]) * fraction;
            mix[2 * n] += sample * v.gainLeft;
            mix[2 * n + 1] += sample * v.gainRight;
            v.position += step;
            if (v.position >= SOURCE_FRAMES) v.position -= SOURCE_FRAMES;
        }
    }
    for (int i = 0; i < frames * 2; ++i)
        out[i] = static_cast<int16_t>(std::clamp(std::lround(mix[i]), -32768L, 32767L));
}

void BM_Mix32Voices(benchmark::State& state) {
    std::vector<int16_t> out(BLOCK_FRAMES * 2);
    for (auto _ : state) {
        RenderMix(out.data(), BLOCK_FRAMES);
        benchmark::DoNotOptimize(out.data());
    }
    const int64_t times = std::max<int64_t>(state.iterations(), 100);
    const double mixSeconds = SecondsFor(times, [&] {
        RenderMix(out.data(), BLOCK_FRAMES);
        benchmark::DoNotOptimize(out.data());
    });
    const double scalarSeconds = SecondsFor(times, [&] {
        ScalarMix(out.data(), BLOCK_FRAMES);
        benchmark::DoNotOptimize(out.data());
    });
    const double playedSeconds = static_cast<double>(times) * BLOCK_FRAMES / MIXER_RATE;
    state.counters["core_percent"] = 100.0 * mixSeconds / playedSeconds;
    state.counters["scalar_core_percent"] = 100.0 * scalarSeconds / playedSeconds;
    state.counters["x_scalar"] = scalarSeconds / mixSeconds;
}
BENCHMARK(BM_Mix32Voices);

}  // namespace
