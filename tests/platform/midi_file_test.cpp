// The MIDI file reader: timing through tempo changes and divisions, running
// status, tracks merged in order, and damaged files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/mci/midi_file.h"
#include "tools/media_writers/midi_writer.h"

namespace {

MidiSong Parse(const std::vector<uint8_t>& bytes) {
    MidiSong song;
    std::string error;
    EXPECT_TRUE(ParseMidiFile(bytes.data(), bytes.size(), &song, &error)) << error;
    return song;
}

std::string Describe(const MidiSong& song) {
    std::string out;
    for (const MidiEvent& e : song.events)
        out += std::to_string(e.microseconds) + ":" + std::to_string(e.status) + "/" + std::to_string(e.data1) + " ";
    return out + "end " + std::to_string(song.lengthMicroseconds);
}

TEST(MidiFile, TimingFollowsTempoDivisionsAndMergedTracksAndDamageGivesAnErrorOrTheSongUpToIt) {
    MidiFileWriter file(true);
    file.BeginTrack();
    file.Message(0, 0x90, 60, 100);
    file.SysEx(0, {0x7E, 0x7F, 0x09, 0x01, 0xF7});  // skipped, the note after keeps running status
    file.Message(480, 0x90, 60, 0);                 // one quarter at 120 bpm: 500 ms
    file.Tempo(0, 250000);                          // 240 bpm from here
    file.Message(480, 0x90, 62, 100);               // a quarter later: 250 ms
    file.EndTrack(960);                             // two more quarters: 500 ms
    EXPECT_EQ(Describe(Parse(file.Bytes(0, 480))), "0:144/60 500000:144/60 750000:144/62 end 1250000");
    // SMPTE divisions count frames, not beats, and ignore the tempo: 25 frames a
    // second of 40 ticks make a tick 1 ms.
    const int division = (0x100 - 25) << 8 | 40;
    EXPECT_EQ(Describe(Parse(file.Bytes(0, division))), "0:144/60 480000:144/60 960000:144/62 end 1920000");
    // Tracks merge in time order with the tempo track of a format 1 file.
    MidiFileWriter tracks;
    tracks.BeginTrack();
    tracks.Tempo(0, 1000000);  // 60 bpm
    tracks.EndTrack(96);
    tracks.BeginTrack();
    tracks.Message(48, 0xC1, 5);
    tracks.EndTrack(0);
    tracks.BeginTrack();
    tracks.Message(24, 0xB2, 7, 90);
    tracks.Message(24, 0xE2, 0, 64);
    tracks.EndTrack(0);
    EXPECT_EQ(Describe(Parse(tracks.Bytes(1, 96))), "250000:178/7 500000:193/5 500000:226/0 end 1000000");
    // A song ends after a day, whatever its deltas add up to.
    MidiFileWriter slow;
    slow.BeginTrack();
    slow.Tempo(0, 0xFFFFFF);  // the slowest tempo, one tick a quarter: 16.8 s a tick
    slow.Message(0, 0x90, 60, 100);
    for (int i = 0; i < 5000; ++i) slow.Message(0x0FFFFFFF, 0x80, 60, 0);  // the largest delta, 142 years each
    slow.EndTrack(0x0FFFFFFF);
    const MidiSong song = Parse(slow.Bytes(0, 1));
    ASSERT_EQ(song.events.size(), 1u) << Describe(song);
    EXPECT_EQ(song.lengthMicroseconds, int64_t{24} * 3600 * 1000000);
    // Damaged files give an error, or the song up to the damage.
    MidiFileWriter intact;
    intact.BeginTrack();
    intact.Message(0, 0x90, 60, 100);
    intact.Message(96, 0x80, 60, 0);
    intact.EndTrack(0);
    const std::vector<uint8_t> good = intact.Bytes(0, 96);
    MidiSong partial;
    std::string error;
    for (size_t cut : {size_t{0}, size_t{4}, size_t{13}})
        EXPECT_FALSE(ParseMidiFile(good.data(), cut, &partial, &error)) << "cut at " << cut;
    std::vector<uint8_t> format2 = good;
    format2[9] = 2;
    EXPECT_FALSE(ParseMidiFile(format2.data(), format2.size(), &partial, &error));
    EXPECT_EQ(error, "MIDI format 2 is not played");
    std::vector<uint8_t> noDivision = good;
    noDivision[12] = noDivision[13] = 0;
    EXPECT_FALSE(ParseMidiFile(noDivision.data(), noDivision.size(), &partial, &error));
    // Cut inside the second event: the first stays, and the time read before the cut counts.
    const std::vector<uint8_t> cut(good.begin(), good.end() - 5);
    EXPECT_EQ(Describe(Parse(cut)), "0:144/60 end 500000");
    // A track whose length claims more than the file holds, and a data byte with no status before it.
    std::vector<uint8_t> overlong = good;
    overlong[21] = 0x7F;
    EXPECT_EQ(Describe(Parse(overlong)), "0:144/60 500000:128/60 end 500000");
    std::vector<uint8_t> noStatus = good;
    noStatus[23] = 0x30;
    EXPECT_EQ(Describe(Parse(noStatus)), "end 0");
    // A variable-length number longer than four bytes.
    std::vector<uint8_t> longDelta = good;
    longDelta.insert(longDelta.begin() + 22, {0xFF, 0xFF, 0xFF, 0xFF});
    longDelta[21] += 4;
    EXPECT_EQ(Describe(Parse(longDelta)), "end 0");
}

}  // namespace
