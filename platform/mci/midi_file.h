// Standard MIDI files (format 0 and 1): the channel messages of every track
// merged in time order, with times in microseconds after the tempo changes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct MidiEvent {
    int64_t microseconds;  // from the start of the song
    uint8_t status;        // 0x80..0xEF: a channel message
    uint8_t data1, data2;
};

struct MidiSong {
    std::vector<MidiEvent> events;
    int64_t lengthMicroseconds = 0;  // the last event or end of track
};

// Reads a song from the file's bytes; false with a reason for anything that
// is not a format 0 or 1 file. System exclusive and meta events other than
// tempo changes are skipped; a track cut short ends where it is cut. A song
// ends after 24 hours: later events are dropped.
bool ParseMidiFile(const uint8_t* data, size_t size, MidiSong* song, std::string* error);
