// The MCI devices through their command strings on the headless backend:
// completion notifications on the virtual clock, pausing and going on, CD
// track spans sample for sample, answers cut to their buffers, and commands
// that are refused without changing anything.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/mci/cd_audio_device.h"
#include "platform/mci/mci.h"
#include "platform/mci/sequencer_device.h"
#include "platform/win/platform.h"
#include "tests/support/same_values.h"
#include "tools/media_writers/cd_image_writer.h"
#include "tools/media_writers/midi_writer.h"
#include "tools/media_writers/movie_writer.h"

namespace fs = std::filesystem;

namespace {

// One note a second for two seconds on a piano.
MidiFileWriter TwoSecondSong() {
    MidiFileWriter song;
    song.BeginTrack();
    song.Message(0, 0xC0, 0);
    song.Message(0, 0x90, 60, 100);
    song.Message(480, 0x80, 60, 0);
    song.Message(0, 0x90, 64, 100);
    song.Message(480, 0x80, 64, 0);
    song.EndTrack(0);
    return song;
}

const std::vector<CdTrackSamples>& CdTracks() {
    static const std::vector<CdTrackSamples> tracks{ToneSamples(440, 2), ToneSamples(660, 3), ToneSamples(880, 1.5)};
    return tracks;
}

class Mci : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new fs::path(fs::temp_directory_path() / ("mci-" + std::to_string(getpid())));
        fs::create_directories(*folder_);
        ASSERT_TRUE(TwoSecondSong().Save((*folder_ / "song.mid").string(), 0, 240));
        ASSERT_TRUE(WriteCdImage(folder_->string(), "tones", CdTracks()));
        std::ofstream(*folder_ / "noise.mid") << "MThd but nothing a song needs";
        std::ofstream(*folder_ / "noise.avi") << "RIFF and nothing a movie needs";
        // A song written by another program: abc2midi's format 1 file of two
        // voices and a tempo track, four quarter notes at 120 beats a minute.
        std::ofstream(*folder_ / "scale.abc") << "X:1\nT:Two voices\nM:4/4\nL:1/4\nQ:1/4=120\nK:C\n"
                                                 "V:1\nCDEF|\nV:2\nC,E,G,C|\n";
        const std::string abc2midi = "abc2midi '" + (*folder_ / "scale.abc").string() + "' -silent -o '" +
                                     (*folder_ / "scale.mid").string() + "' > /dev/null";
        ASSERT_EQ(std::system(abc2midi.c_str()), 0) << abc2midi;
    }
    static void TearDownTestSuite() {
        fs::remove_all(*folder_);
        delete folder_;
    }

    void SetUp() override { Open((*folder_ / "tones.cue").string()); }
    void TearDown() override { PlatformClose(); }

    void Open(const std::string& cdImage) {
        PlatformClose();
        PlatformOptions options;
        options.backend = "headless";
        options.cdImagePath = cdImage;
        std::string error;
        ASSERT_TRUE(PlatformOpen(options, &error)) << error;
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "Mci Test";
        RegisterClassExA(&wc);
        window_ = CreateWindowExA(0, "Mci Test", "", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
    }

    static std::string Path(const char* name) { return SystemPath((*folder_ / name).string()); }

    MCIERROR Send(const std::string& command, HWND callback = nullptr) {
        return mciSendStringA(command.c_str(), nullptr, 0, callback);
    }
    std::string Ask(const std::string& command) {
        char answer[64] = "untouched";
        const MCIERROR error = mciSendStringA(command.c_str(), answer, sizeof(answer), nullptr);
        return error ? "error " + std::to_string(error) : answer;
    }

    // Moves the virtual clock on and collects the MM_MCINOTIFY codes posted.
    std::vector<WPARAM> Advance(DWORD milliseconds) {
        HeadlessSetClock(timeGetTime() + milliseconds);
        std::vector<WPARAM> codes;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message == MM_MCINOTIFY) codes.push_back(msg.wParam);
        return codes;
    }

    static fs::path* folder_;
    HWND window_ = nullptr;
};

fs::path* Mci::folder_ = nullptr;

using Codes = std::vector<WPARAM>;

// Root mean square of 16-bit samples.
double Loudness(const std::vector<int16_t>& samples) {
    double sum = 0;
    for (int16_t s : samples) sum += static_cast<double>(s) * s;
    return std::sqrt(sum / static_cast<double>(samples.size()));
}

TEST_F(Mci, SongsOfOursAndAnotherProgramsReportTheirEndAtTheirLength) {
    ASSERT_EQ(Send("open \"" + Path("song.mid") + "\" type sequencer alias MIDI"), 0u);
    EXPECT_EQ(Ask("status MIDI length"), "2000");
    ASSERT_EQ(Send("play MIDI from 0 notify", window_), 0u);
    EXPECT_EQ(Advance(1990), Codes{});
    EXPECT_EQ(Ask("status MIDI mode"), "playing");
    EXPECT_EQ(Advance(20), Codes{MCI_NOTIFY_SUCCESSFUL});
    EXPECT_EQ(Ask("status MIDI mode"), "stopped");
    EXPECT_EQ(Ask("status MIDI position"), "2000");
    // Stop keeps the place, and play goes on from it.
    ASSERT_EQ(Send("play MIDI from 0 notify", window_), 0u);
    EXPECT_EQ(Advance(500), Codes{});
    EXPECT_EQ(Send("stop MIDI"), 0u);
    EXPECT_EQ(Advance(3000), Codes{MCI_NOTIFY_ABORTED}) << "the stopped run reports nothing more";
    EXPECT_EQ(Ask("status MIDI position"), "500");
    EXPECT_EQ(Send("play MIDI notify", window_), 0u);
    EXPECT_EQ(Advance(1490), Codes{});
    EXPECT_EQ(Advance(10), Codes{MCI_NOTIFY_SUCCESSFUL});
    // Again from the start, as a looping program does.
    ASSERT_EQ(Send("play MIDI from 0 notify", window_), 0u);
    EXPECT_EQ(Advance(1000), Codes{});
    EXPECT_EQ(Ask("status MIDI position"), "1000");
    EXPECT_EQ(Send("close MIDI"), 0u);
    EXPECT_EQ(Advance(0), Codes{MCI_NOTIFY_ABORTED});
    EXPECT_EQ(Ask("status MIDI mode"), "error " + std::to_string(MCIERR_INVALID_DEVICE_NAME));
    // A song written by another program plays to its end.
    ASSERT_EQ(Send("open \"" + Path("scale.mid") + "\" type sequencer alias MIDI"), 0u);
    const int length = std::atoi(Ask("status MIDI length").c_str());
    EXPECT_TRUE(length >= 2000 && length <= 2100) << length << ": four beats at 120 a minute";
    ASSERT_EQ(Send("play MIDI from 0 notify", window_), 0u);
    EXPECT_EQ(Advance(static_cast<DWORD>(length) - 10), Codes{});
    EXPECT_EQ(Advance(20), Codes{MCI_NOTIFY_SUCCESSFUL});
}

TEST_F(Mci, ACdTrackSpanIsItsSamplesAndAnswersAreCutToTheirBufferAndMissingDiscsAndFilesDoNotOpen) {
    ASSERT_EQ(Send("open cdaudio"), 0u);
    // The length: 150 + 225 + 113 sectors after the two-second lead-in, 638 sectors.
    std::vector<std::string> answers;
    for (const char* asked : {"position track 1", "position track 2", "position track 3", "position track 4", "length"})
        answers.push_back(Ask(std::string("status cdaudio ") + asked));
    EXPECT_EQ(answers, (std::vector<std::string>{"00:02:00", "00:04:00", "00:07:00",
                                                  "error " + std::to_string(MCIERR_OUTOFRANGE), "00:08:38"}));
    ASSERT_EQ(Send("play cdaudio from 00:04:00 to 00:07:00 notify", window_), 0u);
    EXPECT_EQ(Advance(2990), Codes{});
    EXPECT_EQ(Advance(10), Codes{MCI_NOTIFY_SUCCESSFUL});
    ASSERT_EQ(Send("play cdaudio from 00:07:00 to 00:08:38 notify", window_), 0u);
    EXPECT_EQ(Advance(1500), Codes{});
    EXPECT_EQ(Advance(10), Codes{MCI_NOTIFY_SUCCESSFUL});
    // The device's sound for track 2 is the track as written, and silence after the disc.
    MCIERROR error = 0;
    auto disc = OpenCdAudioDevice((*folder_ / "tones.cue").string(), &error);
    ASSERT_TRUE(disc) << error;
    int64_t start = 0;
    ASSERT_TRUE(disc->ParsePosition("00:04:00", &start));
    disc->Seek(start);
    const CdTrackSamples& expected = CdTracks()[1];
    std::vector<int16_t> heard(expected.size());
    disc->RenderAudio(heard.data(), static_cast<int>(heard.size() / 2));
    EXPECT_TRUE(SameValues(heard, expected)) << "track 2 differs from the samples written";
    disc->Seek(disc->Length());
    disc->RenderAudio(heard.data(), 100);
    EXPECT_TRUE(std::all_of(heard.begin(), heard.begin() + 200, [](int16_t s) { return s == 0; }));
    // Answers are cut to the buffer they go into; without a disc the CD device does not open.
    char small[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(mciSendStringA("status cdaudio position track 1", small, sizeof(small), nullptr), MCIERR_PARAM_OVERFLOW);
    EXPECT_STREQ(small, "00:");
    Open((*folder_ / "missing.cue").string());
    EXPECT_NE(Send("open cdaudio"), 0u);
    EXPECT_EQ(Ask("status cdaudio mode"), "error " + std::to_string(MCIERR_INVALID_DEVICE_NAME));
    // Files that are missing or not media do not open.
    std::vector<MCIERROR> errors;
    for (const auto& [file, rest] : {std::pair{"absent.mid", "type sequencer alias MIDI"}, {"noise.mid", "type sequencer alias MIDI"},
                                     {"absent.avi", "alias MOVIE"}, {"noise.avi", "alias MOVIE"},
                                     {"song.mid", "type sequencer alias MIDI --soundfont"}})
        errors.push_back(Send("open \"" + Path(file) + "\" " + rest));
    EXPECT_EQ(errors, (std::vector<MCIERROR>{MCIERR_FILE_NOT_FOUND, MCIERR_INVALID_FILE, MCIERR_FILE_NOT_FOUND,
                                             MCIERR_INVALID_FILE, MCIERR_UNRECOGNIZED_KEYWORD}));
    EXPECT_FALSE(OpenSequencerDevice((*folder_ / "song.mid").string(), (*folder_ / "tones.cue").string(), &error));
    EXPECT_EQ(error, MCIERR_CANNOT_LOAD_DRIVER) << "a file that is no SoundFont";
}

TEST_F(Mci, UnknownOrMalformedCommandsFailAndChangeNothing) {
    ASSERT_EQ(Send("open \"" + Path("song.mid") + "\" type sequencer alias MIDI"), 0u);
    ASSERT_EQ(Send("open cdaudio"), 0u);
    ASSERT_EQ(Send("play MIDI from 0 notify", window_), 0u);
    Advance(300);
    const char* const refused[] = {
        "", "   ", "fly MIDI", "play", "play NOTHING", "play MIDI from", "play MIDI from x", "play MIDI from 99999",
        "play MIDI to 100 from 200", "play MIDI sideways", "stop MIDI now", "close MIDI later", "status MIDI",
        "status MIDI colour", "status MIDI mode please", "status cdaudio position track", "status cdaudio position track x",
        "play cdaudio from 99:00:00", "play cdaudio from 00:61:00", "open \"unclosed", "open cdaudio",
        "open \"song.mid\" type sequencer alias MIDI", "open x type organ alias Y", "window MIDI handle 1",
        "put MIDI destination", "realize MIDI normal", "pause MIDI", "resume MIDI", "seek MIDI to start",
        "close NOTHING", "status MIDI mode\" extra"};
    for (const char* command : refused) {
        EXPECT_NE(Send(command, window_), 0u) << "'" << command << "'";
        EXPECT_EQ(Ask("status MIDI mode"), "playing") << "after '" << command << "'";
    }
    EXPECT_EQ(Ask("status MIDI position"), "300");
    EXPECT_EQ(Ask("status cdaudio mode"), "stopped");
    EXPECT_EQ(Advance(1690), Codes{});
    EXPECT_EQ(Advance(10), Codes{MCI_NOTIFY_SUCCESSFUL}) << "the song ends as it would have";
}

TEST_F(Mci, TheSequencerSoundsTheNotesOfAnySongAndStartsAgainAlike) {
    MCIERROR error = 0;
    std::vector<int16_t> first(2 * 22050), again(first.size());
    auto other = OpenSequencerDevice((*folder_ / "scale.mid").string(), "", &error);
    ASSERT_TRUE(other) << "error " << error << ", SoundFont '" << DefaultSoundFontPath() << "'";
    other->Seek(0);
    other->RenderAudio(first.data(), 22050);
    EXPECT_GT(Loudness(first), 100) << "the first half second of another program's song holds two voices' notes";
    other.reset();  // one sequencer at a time
    auto song = OpenSequencerDevice((*folder_ / "song.mid").string(), "", &error);
    ASSERT_TRUE(song) << "error " << error;
    song->Seek(0);
    song->RenderAudio(first.data(), 22050);
    EXPECT_GT(Loudness(first), 100) << "half a second of a piano note";
    // A voice's first use in the process sounds a little different; every
    // start after that is the same as the one before.
    song->Seek(0);
    song->RenderAudio(first.data(), 22050);
    song->Seek(0);
    // The same half second in odd blocks: events land on the same samples.
    for (int done = 0; done < 22050;) {
        const int block = std::min(22050 - done, 333);
        song->RenderAudio(again.data() + 2 * done, block);
        done += block;
    }
    std::vector<int16_t> difference(first.size());
    for (size_t i = 0; i < first.size(); ++i) difference[i] = static_cast<int16_t>(first[i] - again[i]);
    EXPECT_LT(Loudness(difference), 2) << "the restart sounds different";
}

}  // namespace
