// MOD music: the stream thread renders our module through the player library
// against the virtual clock, so every run hears the same samples.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "framework/media/media.h"
#include "framework/media/mod_music.h"
#include "tests/framework/slot_pictures.h"
#include "tests/framework/sound_fixture.h"
#include "tests/support/sound_signals.h"

namespace {

constexpr DWORD HALF_BUFFER_MS = 186;  // 8192 frames at 44,100 Hz

class ModStream : public SoundTest {
protected:
    // Module names are resolved against the working directory.
    void SetUp() override {
        SoundTest::SetUp();
        ASSERT_NE(getcwd(previous_, sizeof(previous_)), nullptr);
        ASSERT_EQ(chdir(directory_.c_str()), 0) << directory_;
    }
    void TearDown() override {
        CloseMod();
        EXPECT_EQ(chdir(previous_), 0);
        SoundTest::TearDown();
    }

    // Plays through the player of a fake library folder instead of ours.
    void UseFakePlayer(const std::string& folder) {
        directory_ = std::string(KORVEN_BIN_DIR) + "/test_mod_players/" + folder;
    }

    // Whether the stream thread holds its buffer, read while it waits.
    static bool Streaming() {
        WaitForIdleThreads();
        return gSound.streamBuffer != nullptr;
    }

    // Renders until the stream thread has released its buffer (the module
    // ended), at most `limitMs`; the milliseconds that took.
    static DWORD PlayToEnd(DWORD limitMs) {
        DWORD elapsed = 0;
        for (; !Streaming() && elapsed < 1000; ++elapsed) Sleep(1);  // the thread makes its buffer first
        for (; Streaming() && elapsed < limitMs; elapsed += 10) Sleep(10);
        return elapsed;
    }

    std::string directory_ = SOUND_TEST_DATA;
    char previous_[4096] = "";
};

TEST_F(ModStream, AMissingModuleIsLoggedAndAFoundOneRendersSoundAndEndsWhenNotLooping) {
    char directory[256];
    GetAppDirectory(directory);
    std::string log = DebugLinesOf([] { EXPECT_EQ(PlayMod("none.mod", 0), 0); });
    EXPECT_EQ(log, ShiftJisToUtf8(("MOD[" + std::string(directory) + "\\none.mod]のオープンに失敗しました\n").c_str()));
    EXPECT_EQ(IsModPlaying(), 0);
    EXPECT_EQ(CloseMod(), 0);

    ASSERT_EQ(PlayMod("tune.mod", 0), 1);
    EXPECT_EQ(IsModPlaying(), 1);
    EXPECT_GT(PeakAmplitude(Render(2000)), 3000);
    const DWORD ended = PlayToEnd(20000);
    EXPECT_GT(ended, 7000u) << "the song lasts about ten seconds";
    EXPECT_LT(ended, 10000u);
    EXPECT_EQ(PeakAmplitude(Render(500)), 0);
    EXPECT_EQ(IsModPlaying(), 1) << "nothing reports the end";
    EXPECT_EQ(CloseMod(), 1);
    EXPECT_EQ(IsModPlaying(), 0);
}


TEST_F(ModStream, PauseStopsWithinHalfABufferResumeGoesOnFromThereAndAnotherModuleClosesAPausedOne) {
    ASSERT_EQ(PlayMod("tune.mod", 0), 1);
    Render(3000);
    const DWORD before = timeGetTime();
    ASSERT_EQ(PauseMod(), 1);
    EXPECT_LE(timeGetTime() - before, HALF_BUFFER_MS + 2);
    EXPECT_FALSE(Streaming());
    EXPECT_EQ(PauseMod(), 0);
    EXPECT_EQ(PeakAmplitude(Render(1000)), 0);
    ASSERT_EQ(ResumeMod(), 1);
    EXPECT_EQ(ResumeMod(), 0);
    EXPECT_GT(PeakAmplitude(Render(1000)), 3000);
    // Restarted from the beginning it would last ten seconds more.
    EXPECT_LT(PlayToEnd(20000), 8000u);

    // A looping module goes on, and another module closes it even when paused.
    ASSERT_EQ(PlayMod("tune.mod", 1), 1);
    Render(12000);
    EXPECT_GT(PeakAmplitude(Render(1000)), 3000);
    EXPECT_TRUE(Streaming());
    ASSERT_EQ(PauseMod(), 1);
    EXPECT_EQ(PlayMod("tune.mod", 0), 1);
    EXPECT_EQ(IsModPlaying(), 1);
    EXPECT_GT(PeakAmplitude(Render(1000)), 3000);
    EXPECT_EQ(PauseMod(), 1);
    EXPECT_EQ(CloseMod(), 1) << "a paused module closes";
    EXPECT_EQ(ResumeMod(), 0);
}

class FakeModStream : public ModStream {
protected:
    void SetUp() override {}
    void Start(const std::string& folder) {
        UseFakePlayer(folder);
        ModStream::SetUp();
    }
};

TEST_F(FakeModStream, AnOldLibraryIsRefused) {
    Start("v321");
    EXPECT_EQ(PlayMod("any.mod", 0), 0);
    EXPECT_EQ(IsModPlaying(), 0);
}

// The one block is written into the half just played, at the first
// notification, and the thread releases the buffer before it is heard.
TEST_F(FakeModStream, AnEndOnTheSecondRenderEndsTheThreadAfterOneBlock) {
    Start("v322");
    const std::string module = "../../../tests/sound-data/tune.mod";
    ASSERT_EQ(PlayMod(module.c_str(), 0), 1);
    StartSoundRecording();
    const DWORD ended = PlayToEnd(5000);
    EXPECT_GE(ended, HALF_BUFFER_MS);
    EXPECT_LE(ended, HALF_BUFFER_MS + 12);
    EXPECT_EQ(PeakAmplitude(TakeSoundRecording()), 0);
    EXPECT_EQ(IsModPlaying(), 1);
}

}  // namespace
