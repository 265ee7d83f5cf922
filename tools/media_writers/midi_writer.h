// Standard MIDI files written event by event, for the tests, the showcase and
// the benchmarks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class MidiFileWriter {
public:
    // Channel messages repeat their status byte unless running status is on.
    explicit MidiFileWriter(bool runningStatus = false) : runningStatus_(runningStatus) {}

    void BeginTrack();
    void Message(uint32_t deltaTicks, uint8_t status, uint8_t data1, uint8_t data2 = 0);
    void Tempo(uint32_t deltaTicks, uint32_t microsecondsPerQuarter);
    void SysEx(uint32_t deltaTicks, const std::vector<uint8_t>& body);
    void EndTrack(uint32_t deltaTicks = 0);

    // The whole file: header (format, track count, ticks per quarter) and tracks.
    std::vector<uint8_t> Bytes(int format, int ticksPerQuarter) const;
    bool Save(const std::string& path, int format, int ticksPerQuarter) const;

private:
    void Delta(uint32_t ticks);
    bool runningStatus_;
    uint8_t lastStatus_ = 0;
    std::vector<std::vector<uint8_t>> tracks_;
};

// A song on all sixteen channels (channel 10 as drums) that loops cleanly:
// bars of four beats at the tempo given, ticks per quarter 480.
MidiFileWriter SixteenChannelSong(int bars, int beatsPerMinute);
