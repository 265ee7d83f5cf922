// Standard MIDI files: any bytes are read or refused with a reason; a song
// that is read has channel messages only, in time order, within its length.
#include <cstdio>
#include <cstdlib>

#include "platform/mci/midi_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MidiSong song;
    std::string error;
    if (!ParseMidiFile(data, size, &song, &error)) {
        if (error.empty()) {
            std::fprintf(stderr, "a refused MIDI file has no reason\n");
            std::abort();
        }
        return 0;
    }
    int64_t previous = 0;
    for (const MidiEvent& event : song.events) {
        if (event.status < 0x80 || event.status > 0xEF || event.microseconds < previous ||
            event.microseconds > song.lengthMicroseconds || event.data1 > 0x7F || event.data2 > 0x7F) {
            std::fprintf(stderr, "event at %lld us, status %02X %02X %02X (song %lld us) is out of order or range\n",
                         static_cast<long long>(event.microseconds), event.status, event.data1, event.data2,
                         static_cast<long long>(song.lengthMicroseconds));
            std::abort();
        }
        previous = event.microseconds;
    }
    return 0;
}
