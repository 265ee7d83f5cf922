// Writes standard MIDI files.
#include "tools/media_writers/midi_writer.h"

#include <fstream>

namespace {

void Big(std::vector<uint8_t>* out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

void MidiFileWriter::BeginTrack() {
    tracks_.emplace_back();
    lastStatus_ = 0;
}

void MidiFileWriter::Delta(uint32_t ticks) {
    uint8_t bytes[5];
    int n = 0;
    bytes[n++] = ticks & 0x7F;
    while (ticks >>= 7) bytes[n++] = static_cast<uint8_t>(0x80 | (ticks & 0x7F));
    while (n) tracks_.back().push_back(bytes[--n]);
}

void MidiFileWriter::Message(uint32_t deltaTicks, uint8_t status, uint8_t data1, uint8_t data2) {
    Delta(deltaTicks);
    auto& track = tracks_.back();
    if (!runningStatus_ || status != lastStatus_) track.push_back(status);
    lastStatus_ = status;
    track.push_back(data1);
    const uint8_t kind = status & 0xF0;
    if (kind != 0xC0 && kind != 0xD0) track.push_back(data2);
}

void MidiFileWriter::Tempo(uint32_t deltaTicks, uint32_t microsecondsPerQuarter) {
    Delta(deltaTicks);
    auto& track = tracks_.back();
    track.insert(track.end(), {0xFF, 0x51, 0x03});
    Big(&track, microsecondsPerQuarter, 3);
}

void MidiFileWriter::SysEx(uint32_t deltaTicks, const std::vector<uint8_t>& body) {
    Delta(deltaTicks);
    auto& track = tracks_.back();
    track.push_back(0xF0);
    track.push_back(static_cast<uint8_t>(body.size()));  // short messages only
    track.insert(track.end(), body.begin(), body.end());
}

void MidiFileWriter::EndTrack(uint32_t deltaTicks) {
    Delta(deltaTicks);
    tracks_.back().insert(tracks_.back().end(), {0xFF, 0x2F, 0x00});
}

std::vector<uint8_t> MidiFileWriter::Bytes(int format, int ticksPerQuarter) const {
    std::vector<uint8_t> out{'M', 'T', 'h', 'd'};
    Big(&out, 6, 4);
    Big(&out, static_cast<uint32_t>(format), 2);
    Big(&out, static_cast<uint32_t>(tracks_.size()), 2);
    Big(&out, static_cast<uint32_t>(ticksPerQuarter), 2);
    for (const auto& track : tracks_) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        Big(&out, static_cast<uint32_t>(track.size()), 4);
        out.insert(out.end(), track.begin(), track.end());
    }
    return out;
}

bool MidiFileWriter::Save(const std::string& path, int format, int ticksPerQuarter) const {
    const std::vector<uint8_t> bytes = Bytes(format, ticksPerQuarter);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

MidiFileWriter SixteenChannelSong(int bars, int beatsPerMinute) {
    constexpr int QUARTER = 480;
    // A I-vi-IV-V progression; each channel plays a chord tone or the bass an octave apart.
    constexpr int ROOTS[4] = {60, 57, 53, 55};
    constexpr int PROGRAMS[16] = {0, 4, 24, 32, 40, 48, 56, 61, 68, 0, 73, 80, 88, 11, 19, 33};
    MidiFileWriter song(true);
    song.BeginTrack();
    song.Tempo(0, static_cast<uint32_t>(60000000 / beatsPerMinute));
    song.EndTrack(static_cast<uint32_t>(bars * 4 * QUARTER));
    for (int channel = 0; channel < 16; ++channel) {
        song.BeginTrack();
        song.Message(0, static_cast<uint8_t>(0xC0 | channel), PROGRAMS[channel]);
        song.Message(0, static_cast<uint8_t>(0xB0 | channel), 7, 70);  // channel volume
        uint32_t wait = 0;
        for (int bar = 0; bar < bars; ++bar) {
            for (int beat = 0; beat < 4; ++beat) {
                int key;
                if (channel == 9) {
                    key = beat % 2 ? 38 : 36;  // kick and snare
                } else {
                    const int offsets[3] = {0, 4, 7};
                    key = ROOTS[bar % 4] + offsets[channel % 3] + 12 * (channel % 4 - 1) + (beat == 3 ? 12 : 0);
                }
                const uint8_t on = static_cast<uint8_t>(0x90 | channel);
                song.Message(wait, on, static_cast<uint8_t>(key), 80);
                song.Message(QUARTER - 40, on, static_cast<uint8_t>(key), 0);  // note on with velocity 0 ends it
                wait = 40;
            }
        }
        song.EndTrack(wait);
    }
    return song;
}
