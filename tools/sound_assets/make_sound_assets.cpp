// Writes the showcase's and the tests' sounds into a folder: WAVE effects in
// several formats and layouts and a short four-channel module, all
// synthesised here.
//   make_sound_assets DIR
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tools/sound_assets/module_writer.h"
#include "tools/wave_encoder/wave_encoder.h"

namespace {

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// A bell: a sine with a quiet overtone, fading out over half a second.
std::vector<int16_t> Chime(uint32_t rate) {
    std::vector<int16_t> out(rate / 2);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double fade = std::exp(-6.0 * t);
        out[i] = static_cast<int16_t>(20000 * fade * (0.8 * std::sin(2 * M_PI * 880 * t) + 0.2 * std::sin(2 * M_PI * 2640 * t)));
    }
    return out;
}

// A falling chirp, from 2 kHz down to 200 Hz in a quarter second.
std::vector<int16_t> Laser(uint32_t rate) {
    std::vector<int16_t> out(rate / 4);
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(out.size());
        phase += 2 * M_PI * (2000 - 1800 * t) / rate;
        out[i] = static_cast<int16_t>(24000 * (1 - t) * (std::sin(phase) > 0 ? 1 : -1) * 0.6);
    }
    return out;
}

// A hum of whole periods (110 Hz and 165 Hz in 0.2 s), seamless when looped;
// the right channel a little brighter than the left.
std::vector<int16_t> Engine(uint32_t rate) {
    const size_t frames = rate / 5;
    std::vector<int16_t> out(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double low = std::sin(2 * M_PI * 110 * t), high = std::sin(2 * M_PI * 165 * t);
        out[2 * i] = static_cast<int16_t>(9000 * low + 3000 * high);
        out[2 * i + 1] = static_cast<int16_t>(6000 * low + 6000 * high);
    }
    return out;
}

Module Tune() {
    Module m;
    m.title = "korven demo";
    ModuleSample lead{"lead", std::vector<int8_t>(64), 48, 0, 64};
    for (int i = 0; i < 64; ++i) lead.data[i] = static_cast<int8_t>(i < 32 ? -4 * i + 64 : 4 * i - 192);
    ModuleSample bass{"bass", std::vector<int8_t>(32), 64, 0, 32};
    for (int i = 0; i < 32; ++i) bass.data[i] = static_cast<int8_t>(100 * std::sin(2 * M_PI * i / 32));
    ModuleSample drum{"drum", std::vector<int8_t>(2000), 64, 0, 0};
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i)
        drum.data[i] = static_cast<int8_t>((static_cast<int>(random() % 200) - 100) * (2000 - i) / 2000);
    m.samples = {lead, bass, drum};

    const int melody[2][8] = {{0, 4, 7, 4, 9, 7, 4, 2}, {5, 9, 0, 9, 7, 4, 2, 0}};
    for (int p = 0; p < 2; ++p) {
        std::vector<ModuleNote> pattern(64 * 4);
        pattern[0].effect = 0xF;  // speed: 4 ticks a row
        pattern[0].parameter = 4;
        for (int row = 0; row < 64; row += 4) {
            ModuleNote& note = pattern[static_cast<size_t>(row * 4 + 1)];
            note.sample = 1;
            note.period = NotePeriod(2 + (row / 32), melody[p][(row / 4) % 8]);
            if (row % 16 == 0) pattern[static_cast<size_t>(row * 4 + 2)] = {2, NotePeriod(1, melody[p][0]), 0, 0};
            if (row % 8 == 4) pattern[static_cast<size_t>(row * 4 + 3)] = {3, NotePeriod(2, 0), 0, 0};
        }
        m.patterns.push_back(pattern);
    }
    m.order = {0, 1};
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sound_assets DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    WaveImage chime;
    chime.rate = 22050;
    chime.data = SampleBytes16(Chime(chime.rate));
    WaveImage laser;
    laser.rate = 11025;
    laser.bitsPerSample = 8;
    laser.shortFormat = true;
    laser.data = SampleBytes8(Laser(laser.rate));
    WaveImage engine;
    engine.rate = 22050;
    engine.channels = 2;
    engine.data = SampleBytes16(Engine(engine.rate));
    // Layouts the resource walk treats differently: a "fact" chunk is passed
    // over, a LIST chunk before "data" is not, and ADPCM is not PCM.
    WaveImage withFact = laser;
    withFact.beforeData = {{"fact", {0x72, 0x0A, 0, 0}}};
    WaveImage withList = chime;
    withList.beforeData = {InfoList("korven")};
    WaveImage adpcm = chime;
    adpcm.formatTag = 2;
    adpcm.bitsPerSample = 4;
    const bool ok = Write(dir + "/chime.wav", EncodeWave(chime)) && Write(dir + "/laser.wav", EncodeWave(laser)) &&
                    Write(dir + "/engine.wav", EncodeWave(engine)) && Write(dir + "/tune.mod", EncodeModule(Tune())) &&
                    Write(dir + "/with-fact.wav", EncodeWave(withFact)) &&
                    Write(dir + "/with-list.wav", EncodeWave(withList)) && Write(dir + "/adpcm.wav", EncodeWave(adpcm));
    if (!ok) std::fprintf(stderr, "make_sound_assets: cannot write into %s\n", dir.c_str());
    return ok ? 0 : 1;
}
