// Writes BIN/CUE audio CD images: 2,352-byte sectors of little-endian 16-bit
// stereo samples, one FILE line and a TRACK with INDEX 01 per track.
#include "tools/media_writers/cd_image_writer.h"

#include <cmath>
#include <cstdio>
#include <fstream>

namespace {

constexpr int SAMPLE_FRAMES_PER_SECTOR = 588;

}  // namespace

CdTrackSamples ToneSamples(double frequency, double seconds, int amplitude) {
    const int frames = static_cast<int>(seconds * 44100);
    CdTrackSamples samples(static_cast<size_t>(frames) * 2);
    for (int i = 0; i < frames; ++i) {
        const auto value = static_cast<int16_t>(amplitude * std::sin(2 * M_PI * frequency * i / 44100));
        samples[2 * i] = samples[2 * i + 1] = value;
    }
    return samples;
}

int CdSectorsOf(const CdTrackSamples& track) {
    const size_t frames = track.size() / 2;
    return static_cast<int>((frames + SAMPLE_FRAMES_PER_SECTOR - 1) / SAMPLE_FRAMES_PER_SECTOR);
}

bool WriteCdImage(const std::string& folder, const std::string& name, const std::vector<CdTrackSamples>& tracks) {
    std::ofstream bin(folder + "/" + name + ".bin", std::ios::binary);
    std::ofstream cue(folder + "/" + name + ".cue");
    cue << "FILE \"" << name << ".bin\" BINARY\n";
    int sector = 0;
    for (size_t t = 0; t < tracks.size(); ++t) {
        char line[96];
        std::snprintf(line, sizeof(line), "  TRACK %02zu AUDIO\n    INDEX 01 %02d:%02d:%02d\n", t + 1, sector / 4500,
                      sector / 75 % 60, sector % 75);
        cue << line;
        CdTrackSamples padded = tracks[t];
        padded.resize(static_cast<size_t>(CdSectorsOf(tracks[t])) * SAMPLE_FRAMES_PER_SECTOR * 2, 0);
        for (int16_t sample : padded) {
            const char bytes[2] = {static_cast<char>(sample & 0xFF), static_cast<char>((sample >> 8) & 0xFF)};
            bin.write(bytes, 2);
        }
        sector += CdSectorsOf(tracks[t]);
    }
    return static_cast<bool>(bin) && static_cast<bool>(cue);
}
