// Music, CD audio and movies as programs use them, media written into their
// working directory; the operations called directly for what no output shows.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/app/app.h"
#include "framework/media/media.h"
#include "platform/mci/mci.h"
#include "platform/win/headless/png_image.h"
#include "platform/win/picture_rgb.h"
#include "platform/win/platform.h"
#include "tests/framework/slot_pictures.h"
#include "tests/support/program_runner.h"
#include "tools/media_writers/cd_image_writer.h"
#include "tools/media_writers/midi_writer.h"
#include "tools/media_writers/movie_writer.h"

namespace fs = std::filesystem;

namespace {

// Two seconds: two half notes at 60 beats a minute.
MidiFileWriter TwoSecondSong() {
    MidiFileWriter song(true);
    song.BeginTrack();
    song.Tempo(0, 1000000);
    song.Message(0, 0x90, 60, 100);
    song.Message(96, 0x90, 60, 0);
    song.Message(0, 0x90, 67, 100);
    song.Message(96, 0x90, 67, 0);
    song.EndTrack(0);
    return song;
}

class MediaProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new fs::path(fs::canonical(fs::temp_directory_path()) / ("media-program-" + std::to_string(getpid())));
        fs::create_directories(*dir_);
        ASSERT_TRUE(TwoSecondSong().Save((*dir_ / "song.mid").string(), 0, 96));
        ASSERT_TRUE(WriteCdImage(dir_->string(), "tones", {ToneSamples(440, 2), ToneSamples(660, 3), ToneSamples(880, 1.5)}));
        MovieSpec wide;  // 16:9 in a 4:3 window: bars above and below
        wide.width = 320;
        wide.height = 180;
        wide.frames = 50;
        std::string error;
        ASSERT_TRUE(WriteMovie((*dir_ / "wide.avi").string(), wide, &error)) << error;
        ASSERT_TRUE(WriteMovie((*dir_ / "wide.mpg").string(), wide, &error)) << error;
    }
    static void TearDownTestSuite() {
        fs::remove_all(*dir_);
        delete dir_;
    }

    static RunResult Run(const std::string& arguments, const std::string& script) {
        return RunProgram("media_probe_app", arguments + " --cd-image=tones.cue", script, *dir_);
    }
    static bool Has(const RunResult& r, const std::string& text) { return r.output.find(text) != std::string::npos; }
    static void ExpectLines(const RunResult& r, std::initializer_list<std::string> lines) {
        for (const std::string& line : lines) EXPECT_TRUE(Has(r, line)) << line << " in\n" << r.output;
    }
    // The frame number of the first report line holding the text after the given one lies in first..last.
    static void ExpectFrame(const RunResult& r, const std::string& text, int first, int last, const std::string& after = "") {
        const size_t at = r.output.find(text, r.output.find(after));
        const size_t line = at == std::string::npos ? at : r.output.rfind("frame ", at);
        const int frame = line == std::string::npos ? -1 : std::atoi(r.output.c_str() + line + 6);
        EXPECT_TRUE(frame >= first && frame <= last) << text << " at frame " << frame << " in\n" << r.output;
    }

    static fs::path* dir_;
};

fs::path* MediaProgram::dir_ = nullptr;

TEST_F(MediaProgram, SongsAndCdTracksCloseAtTheirEndOrStartAgainWhenLooping) {
    RunResult r = Run("midi=song.mid", "300 close\n");
    ASSERT_TRUE(Has(r, "PlayMidi=1")) << r.output;
    // Two seconds at 60 frames a second, reported in the frame after the notification.
    ExpectFrame(r, "midi=closed", 120, 123);
    r = Run("midi=song.mid midi-loop=1", "300 close\n");
    EXPECT_FALSE(Has(r, "midi=closed")) << r.output;
    EXPECT_TRUE(Has(r, "at exit frame 300 midi=playing")) << r.output;

    // A CD track plays to the next track, the last one to the disc's end.
    r = Run("cd=2", "400 close\n");
    EXPECT_TRUE(Has(r, "span 00:04:00-00:07:00")) << r.output;
    ExpectFrame(r, "cd=closed", 180, 183);
    r = Run("cd=3 cd-loop=1", "400 close\n");
    EXPECT_TRUE(Has(r, "span 00:07:00-00:08:38")) << r.output;
    EXPECT_TRUE(Has(r, "at exit frame 400 midi=closed cd=playing")) << r.output;
}

// Root mean square of the 16-bit samples from..to (in stereo frames) of a WAVE file's data.
double Loudness(const fs::path& wave, size_t from, size_t to) {
    const std::vector<uint8_t> bytes = ReadBytes(wave.string());
    const size_t data = 44;
    double sum = 0;
    size_t count = 0;
    for (size_t i = data + from * 4; i + 1 < bytes.size() && i < data + to * 4; i += 2, ++count) {
        const auto sample = static_cast<int16_t>(bytes[i] | bytes[i + 1] << 8);
        sum += static_cast<double>(sample) * sample;
    }
    return count ? std::sqrt(sum / static_cast<double>(count)) : -1;
}

TEST_F(MediaProgram, MusicAndCdSoundGoIntoTheMixWithTheSoundEffects) {
    RunResult r = Run("midi=song.mid --audio-out=song.wav", "240 close\n");
    ASSERT_TRUE(Has(r, "PlayMidi=1")) << r.output;
    EXPECT_GT(Loudness(*dir_ / "song.wav", 0, 80000), 100) << "the song sounds";
    EXPECT_LT(Loudness(*dir_ / "song.wav", 100000, 150000), 20) << "and is silent after its end";
    r = Run("cd=1 --audio-out=cd.wav", "60 close\n");
    // Track 1's 440 Hz tone at amplitude 8000: a root mean square of 8000 / sqrt(2).
    EXPECT_NEAR(Loudness(*dir_ / "cd.wav", 4410, 30000), 5657, 150) << r.output;
}

TEST_F(MediaProgram, DeactivationPausesEverythingAndActivationResumesExactlyThat) {
    const std::string all = "midi=song.mid midi-loop=1 cd=1 cd-loop=1 movie=wide.avi@10 pause-cd=20";
    ExpectLines(Run(all, "30 deactivate\n40 close\n"), {"frame 20 midi=playing cd=paused movie=playing",
                                                        "at exit frame 30 midi=paused cd=paused movie=paused showing=1"});
    // The CD the program paused itself is resumed too; a closed song stays closed.
    ExpectLines(Run(all + " close-midi=25", "30 deactivate\n40 activate\n60 close\n"),
                {"frame 25 midi=closed cd=paused movie=playing", "frame 30 midi=closed cd=playing movie=playing showing=1"});
}

// The same movie as MPEG-4 in AVI and as an MPEG-1 program stream, both made by ffmpeg.
TEST_F(MediaProgram, AMovieShowsFittedIntoTheWindowUntilItsEndClearsMovieShowing) {
    for (const char* movie : {"wide.avi", "wide.mpg"}) {
        SCOPED_TRACE(movie);
        const RunResult r = Run(std::string("movie=") + movie + "@10", "40 capture first.png\n100 capture second.png\n200 close\n");
        ExpectLines(r, {"PlayMovie=1", "PlayMovie again=0"});
        ExpectFrame(r, "movie=closed showing=0", 130, 133, "movie=playing");  // two seconds from frame 10
        uint8_t red[3], green[3];
        SecondColour(0, red);
        SecondColour(1, green);
        for (const auto& [file, colour] : {std::pair{"first.png", red}, std::pair{"second.png", green}}) {
            RgbImage picture;
            std::string error;
            ASSERT_TRUE(ReadPng((*dir_ / file).string(), &picture, &error)) << error;
            ASSERT_EQ(picture.width, 640);
            ASSERT_EQ(picture.height, 480);
            auto at = [&](int x, int y) { return picture.rgb.data() + (static_cast<size_t>(y) * 640 + x) * 3; };
            // 320 x 180 fills the width: 360 rows in the middle, 60 black rows above and below.
            for (int y : {0, 59, 420, 479}) EXPECT_EQ(at(320, y)[0] + at(320, y)[1] + at(320, y)[2], 0) << file << " row " << y;
            for (int y : {61, 240, 418})
                for (int c = 0; c < 3; ++c) EXPECT_NEAR(at(600, y)[c], colour[c], 24) << file << " row " << y;
        }
    }
}

TEST_F(MediaProgram, MissingMediaAreLoggedInTheProgramsOwnWordsAndAPausedSongIsClosedByCloseMidiAndANewSong) {
    std::string directory = dir_->string();
    std::replace(directory.begin(), directory.end(), '/', '\\');
    ExpectLines(Run("midi=absent.mid cd=1 movie=absent.avi@2", "10 close\n"),
                {ShiftJisToUtf8(("MIDI[" + directory + "absent.mid]のオープンに失敗しました\n").c_str()), "PlayMidi=0",
                 "PlayMovie=0", "at exit frame 10 midi=closed cd=playing movie=closed showing=0"});
    ExpectLines(RunProgram("media_probe_app", "cd=1 --cd-image=absent.cue", "5 close\n", *dir_),
                {ShiftJisToUtf8("ＣＤが再生できません\n"), "PlayCdTrack=0"});

    // Called directly: a paused song is closed, by CloseMidi and before a new song.
    PlatformOptions options;
    options.backend = "headless";
    std::string error;
    ASSERT_TRUE(PlatformOpen(options, &error)) << error;
    const fs::path previous = fs::current_path();
    fs::current_path(*dir_);
    EXPECT_EQ(PlayMidi("song.mid", 0), 1);
    EXPECT_EQ(PauseMidi(), 1);
    EXPECT_EQ(PauseMidi(), 0) << "the guard: not playing";
    EXPECT_EQ(PlayMidi("song.mid", 1), 1) << "the paused song was closed, the alias is free";
    EXPECT_EQ(gMidi.looping, 1);
    EXPECT_EQ(PauseMidi(), 1);
    EXPECT_EQ(CloseMidi(), 1);
    EXPECT_EQ(gMidi.opened, 0);
    EXPECT_EQ(ResumeMidi(), 0);
    char mode[32];
    EXPECT_NE(mciSendStringA("status MIDI mode", mode, sizeof(mode), nullptr), 0u) << "the alias is closed";
    fs::current_path(previous);
    PlatformClose();
}

}  // namespace
