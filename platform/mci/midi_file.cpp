// The standard MIDI file reader. Every read is checked against the end of its
// chunk, so a damaged file gives an error or a shorter song, never a read
// outside the file.
#include "platform/mci/midi_file.h"

#include <algorithm>

namespace {

constexpr uint32_t DEFAULT_TEMPO = 500000;  // microseconds per quarter note (120 beats a minute)

struct Reader {
    const uint8_t* at;
    const uint8_t* end;

    bool Has(size_t n) const { return static_cast<size_t>(end - at) >= n; }
    uint32_t Big(int bytes) {
        uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) value = value << 8 | *at++;
        return value;
    }
    // A variable-length quantity: at most four bytes of seven bits each.
    bool VariableLength(uint32_t* value) {
        *value = 0;
        for (int i = 0; i < 4; ++i) {
            if (!Has(1)) return false;
            const uint8_t byte = *at++;
            *value = *value << 7 | (byte & 0x7F);
            if (!(byte & 0x80)) return true;
        }
        return false;
    }
};

// An event of one track, in ticks; tempo changes travel with the channel messages.
struct TickEvent {
    uint64_t tick;
    uint32_t order;  // position in the file, so that events at one tick keep their order
    uint8_t status, data1, data2;
    uint32_t tempo;  // for tempo changes (status 0xFF)
};

int DataBytes(uint8_t status) {
    const uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

// Reads one MTrk chunk's events; stops quietly at damage, keeping what came before.
void ReadTrack(Reader track, std::vector<TickEvent>* events, uint64_t* endTick) {
    uint64_t tick = 0;
    uint8_t running = 0;
    while (track.Has(1)) {
        uint32_t delta;
        if (!track.VariableLength(&delta) || !track.Has(1)) break;
        tick += delta;
        uint8_t status = *track.at;
        if (status & 0x80) {
            ++track.at;
        } else if (running) {
            status = running;  // running status: the data bytes follow directly
        } else {
            break;
        }
        if (status == 0xFF) {
            if (!track.Has(1)) break;
            const uint8_t type = *track.at++;
            uint32_t length;
            if (!track.VariableLength(&length) || !track.Has(length)) break;
            if (type == 0x51 && length == 3) {
                Reader tempo{track.at, track.at + 3};
                events->push_back({tick, static_cast<uint32_t>(events->size()), 0xFF, 0, 0, tempo.Big(3)});
            }
            track.at += length;
            if (type == 0x2F) break;  // end of track
        } else if (status == 0xF0 || status == 0xF7) {
            uint32_t length;
            if (!track.VariableLength(&length) || !track.Has(length)) break;
            track.at += length;
        } else if (status >= 0xF0) {
            break;  // system common and real-time messages do not belong in a file
        } else {
            running = status;
            const int count = DataBytes(status);
            if (!track.Has(count)) break;
            const uint8_t data1 = track.at[0] & 0x7F, data2 = count == 2 ? track.at[1] & 0x7F : 0;
            track.at += count;
            events->push_back({tick, static_cast<uint32_t>(events->size()), status, data1, data2, 0});
        }
    }
    *endTick = std::max(*endTick, tick);
}

}  // namespace

bool ParseMidiFile(const uint8_t* data, size_t size, MidiSong* song, std::string* error) {
    Reader file{data, data + size};
    if (!file.Has(14) || std::string(reinterpret_cast<const char*>(data), 4) != "MThd") {
        *error = "not a standard MIDI file";
        return false;
    }
    file.at += 4;
    const uint32_t headerLength = file.Big(4);
    if (headerLength < 6 || !file.Has(headerLength)) {
        *error = "bad MIDI header";
        return false;
    }
    const uint32_t format = file.Big(2), trackCount = file.Big(2), division = file.Big(2);
    file.at += headerLength - 6;
    if (format > 1) {
        *error = "MIDI format " + std::to_string(format) + " is not played";
        return false;
    }
    if (division == 0 || (division & 0x8000 && ((division & 0xFF) == 0 || (division >> 8) == 0x80))) {
        *error = "bad MIDI time division";
        return false;
    }

    std::vector<TickEvent> events;
    uint64_t endTick = 0;
    for (uint32_t found = 0; found < trackCount && file.Has(8);) {
        const std::string id(reinterpret_cast<const char*>(file.at), 4);
        file.at += 4;
        const uint32_t length = file.Big(4);
        const uint8_t* chunkEnd = file.Has(length) ? file.at + length : file.end;
        if (id == "MTrk") {
            ReadTrack(Reader{file.at, chunkEnd}, &events, &endTick);
            ++found;
        }
        file.at = chunkEnd;  // other chunks are skipped
    }
    std::stable_sort(events.begin(), events.end(), [](const TickEvent& a, const TickEvent& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });

    // Ticks to microseconds: by tempo for quarter-note divisions, fixed for SMPTE frames.
    const bool smpte = division & 0x8000;
    const double smpteTickMicroseconds =
        smpte ? 1e6 / (-static_cast<int8_t>(division >> 8) * static_cast<double>(division & 0xFF)) : 0;
    double tickMicroseconds = smpte ? smpteTickMicroseconds : DEFAULT_TEMPO / static_cast<double>(division);
    double now = 0;
    uint64_t lastTick = 0;
    song->events.clear();
    for (const TickEvent& e : events) {
        now += static_cast<double>(e.tick - lastTick) * tickMicroseconds;
        lastTick = e.tick;
        if (e.status == 0xFF) {
            if (!smpte && e.tempo) tickMicroseconds = e.tempo / static_cast<double>(division);
            continue;
        }
        song->events.push_back({static_cast<int64_t>(now), e.status, e.data1, e.data2});
    }
    now += static_cast<double>(endTick - lastTick) * tickMicroseconds;
    song->lengthMicroseconds = static_cast<int64_t>(now);
    return true;
}
