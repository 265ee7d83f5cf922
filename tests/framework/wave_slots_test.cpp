// The WAVE slots: loading by the name rule from resources and files, the
// volume, pan and frequency formulas, playing, and reloading lost buffers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "framework/sound/sound.h"
#include "framework/sound/wave_slots.h"
#include "platform/win/platform.h"
#include "tests/framework/slot_pictures.h"
#include "tests/framework/sound_fixture.h"
#include "tests/support/sound_signals.h"
#include "tools/wave_encoder/wave_encoder.h"

namespace {

const std::string DATA = SOUND_TEST_DATA;

// A debug line as it reaches standard error.
std::string Utf8(const std::string& shiftJis) { return ShiftJisToUtf8(shiftJis.c_str()); }

class WaveSlots : public SoundTest {
protected:
    // A file of the given image, loaded into the slot.
    int LoadImage(int slot, const WaveImage& image) { return LoadWave(slot, files_.Write("image.wav", EncodeWave(image)).c_str()); }
    TempFiles files_;

    static WAVEFORMATEX FormatOf(int slot) {
        WAVEFORMATEX format{};
        GetWaveBuffer(slot)->GetFormat(&format, sizeof(format), nullptr);
        return format;
    }
};

TEST_F(WaveSlots, ANameWithoutADotIsAResourceOneWithADotAFileAndTheResourceWalkPassesOnlyAFactChunk) {
    EXPECT_EQ(LoadWave(0, "chime"), 1);
    EXPECT_EQ(FormatOf(0).nSamplesPerSec, 22050u);
    EXPECT_STREQ(gSound.names[0], "chime");
    EXPECT_EQ(LoadWave(1, (DATA + "/laser.wav").c_str()), 1);
    EXPECT_EQ(FormatOf(1).wBitsPerSample, 8);
    EXPECT_EQ(DebugLinesOf([] { EXPECT_EQ(LoadWave(2, "nosuch"), 0); }), Utf8("WAVE[nosuch]のオープンに失敗しました。\n"));
    // The only dot is in a folder's name: still a file.
    EXPECT_EQ(DebugLinesOf([] { EXPECT_EQ(LoadWave(2, "se.d/chime"), 0); }), Utf8("WAVE[se.d/chime]のオープンに失敗しました。\n"));
    EXPECT_STREQ(gSound.names[2], "se.d/chime") << "a failed load keeps the new name";
    EXPECT_EQ(GetWaveBuffer(2), nullptr);

    // The resource walk passes a fact chunk but no other.
    EXPECT_EQ(LoadWave(0, "FACTED"), 1);
    EXPECT_EQ(FormatOf(0).nSamplesPerSec, 11025u);
    EXPECT_EQ(DebugLinesOf([] { EXPECT_EQ(LoadWave(1, "LISTED"), 0); }), "");
    EXPECT_EQ(DebugLinesOf([] { EXPECT_EQ(LoadWave(2, "ADPCM"), 0); }), Utf8("WAVE[ADPCM]はPCMフォーマットではありません。\n"));
    // The file loader finds "data" past the LIST chunk.
    EXPECT_EQ(LoadWave(1, (DATA + "/with-list.wav").c_str()), 1);
    EXPECT_EQ(DebugLinesOf([] { EXPECT_EQ(LoadWave(2, (DATA + "/adpcm.wav").c_str()), 0); }),
              Utf8("WAVE[" + DATA + "/adpcm.wav]はPCMフォーマットではありません。\n"));
}

TEST_F(WaveSlots, FilesOfEveryPcmLayoutAndFromAnotherProgramLoadAndBrokenOrNotPcmOnesAreRefused) {
    const std::vector<int16_t> ramp = {-30000, -20000, -10000, 0, 10000, 20000, 30000, 1000};
    // Format, channels, rate, bits, a short "fmt " chunk, chunks before the data, the data, chunks after it.
    WaveImage images[] = {
        {1, 1, 22050, 16, true, {}, {}, {}},
        {1, 2, 22050, 16, false, {InfoList("another writer")}, {}, {{"cue ", {1, 0, 0, 0}}}},
        {1, 1, 22050, 8, true, {{"fact", {8, 0, 0, 0}}, {"odd!", {1, 2, 3}}}, {}, {}},
        {1, 2, 22050, 8, false, {}, {}, {InfoList("x")}},
    };
    for (WaveImage& image : images) {
        image.data = image.bitsPerSample == 16 ? SampleBytes16(ramp) : SampleBytes8(ramp);
        ASSERT_EQ(LoadImage(3, image), 1) << image.channels << " channels, " << image.bitsPerSample << " bits";
        void *p1 = nullptr, *p2 = nullptr;
        DWORD n1 = 0, n2 = 0;
        ASSERT_EQ(GetWaveBuffer(3)->Lock(0, static_cast<DWORD>(image.data.size()), &p1, &n1, &p2, &n2, 0), DS_OK);
        EXPECT_EQ(std::vector<uint8_t>(static_cast<uint8_t*>(p1), static_cast<uint8_t*>(p1) + n1), image.data);
        GetWaveBuffer(3)->Unlock(p1, n1, p2, n2);
        EXPECT_EQ(FormatOf(3).nChannels, image.channels);
    }
    // Broken files fail without a message.
    const std::vector<uint8_t> bytes = EncodeWave(images[0]);
    const std::vector<std::vector<uint8_t>> broken = {
        {},                                                       // empty
        std::vector<uint8_t>(bytes.begin(), bytes.begin() + 30),  // cut inside "fmt "
        std::vector<uint8_t>(bytes.begin(), bytes.end() - 2),     // "data" longer than the file
    };
    for (const std::vector<uint8_t>& b : broken) {
        const std::string path = files_.Write("broken.wav", b);
        EXPECT_EQ(DebugLinesOf([&] { EXPECT_EQ(LoadWave(4, path.c_str()), 0); }), "") << b.size() << " bytes";
    }

    // Files as other programs write them: ffmpeg puts a LIST chunk before "data"
    // and uses the extensible format for more than two channels.
    if (std::system("ffmpeg -version > /dev/null 2>&1") != 0) GTEST_SKIP() << "ffmpeg is not installed";
    struct Case {
        const char* options;
        int loads;
    };
    const Case cases[] = {
        {"-ac 1 -c:a pcm_u8", 1},    {"-ac 2 -c:a pcm_u8", 1},     {"-ac 1 -c:a pcm_s16le", 1},
        {"-ac 2 -c:a pcm_s16le", 1}, {"-ac 1 -c:a adpcm_ms", 0},   {"-ac 1 -c:a pcm_f32le", 0},
        {"-ac 3 -c:a pcm_s16le", 0},
    };
    for (const Case& c : cases) {
        const std::string path = TempPath("ffmpeg.wav");
        const std::string command = "ffmpeg -loglevel error -y -f lavfi -i sine=frequency=440:duration=0.2 -ar 22050 " +
                                    std::string(c.options) + " " + path;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const std::string log = DebugLinesOf([&] { EXPECT_EQ(LoadWave(5, path.c_str()), c.loads) << c.options; });
        if (c.loads) {
            ASSERT_EQ(PlayWave(5, 0), 1);
            EXPECT_GT(PeakAmplitude(Channel(Render(100), 0)), 2000) << c.options;  // ffmpeg's sine is at 1/8 of full scale
        } else {
            EXPECT_EQ(log, Utf8("WAVE[" + path + "]はPCMフォーマットではありません。\n")) << c.options;
        }
        std::remove(path.c_str());
    }
}

TEST_F(WaveSlots, VolumeAndPanFollowTheCurveAndFrequenciesAreClamped) {
    ASSERT_EQ(LoadWave(0, "chime"), 1);
    IDirectSoundBuffer* buffer = GetWaveBuffer(0);
    const std::pair<int, LONG> volumes[] = {{100, 0}, {101, 0}, {0, -10000}, {-5, -10000}, {90, -100}, {50, -2499}, {99, -1}};
    for (auto [volume, expected] : volumes) {
        EXPECT_EQ(SetWaveVolume(0, volume), 1);
        LONG value = 1;
        buffer->GetVolume(&value);
        EXPECT_EQ(value, expected) << "volume " << volume;
    }
    const std::pair<int, LONG> pans[] = {{0, 0}, {100, 10000}, {150, 10000}, {-10, -100}, {-150, -10000}, {30, 899}};
    for (auto [pan, expected] : pans) {
        EXPECT_EQ(SetWavePan(0, pan), 1);
        LONG value = 1;
        buffer->GetPan(&value);
        EXPECT_EQ(value, expected) << "pan " << pan;
    }

    // Frequencies are clamped.
    auto frequency = [] {
        DWORD value = 0;
        GetWaveBuffer(0)->GetFrequency(&value);
        return value;
    };
    const std::pair<unsigned, DWORD> sets[] = {{0, 22050}, {50, 100}, {250000, 100000}, {static_cast<unsigned>(-1), 100000}, {8000, 8000}};
    for (auto [set, expected] : sets) {
        EXPECT_EQ(SetWaveFrequency(0, set), 1);
        EXPECT_EQ(frequency(), expected) << "set " << set;
    }
    // From 200: -300 clamps to 100, then past the top, then 0 is the sample's own rate.
    SetWaveFrequency(0, 200);
    std::vector<DWORD> shifted;
    for (int shift : {-500, 99950, -100000}) {
        EXPECT_EQ(ShiftWaveFrequency(0, shift), 1);
        shifted.push_back(frequency());
    }
    EXPECT_EQ(shifted, (std::vector<DWORD>{100, 100000, 22050}));
}

TEST_F(WaveSlots, PlayWaveLoopsOnlyForOneAndReloadsALostBuffer) {
    ASSERT_EQ(LoadWave(0, "chime"), 1);  // half a second
    ASSERT_EQ(PlayWave(0, 2), 1);
    EXPECT_GT(PeakAmplitude(Render(100)), 10000);
    Render(450);
    EXPECT_EQ(PeakAmplitude(Render(100)), 0) << "played once";
    ASSERT_EQ(PlayWave(0, 1), 1);
    Render(550);
    EXPECT_GT(PeakAmplitude(Render(100)), 10000) << "looping";
    EXPECT_EQ(StopWave(0), 1);
    EXPECT_EQ(PeakAmplitude(Render(10)), 0);

    // A lost buffer is reloaded by the next play.
    LoseSoundBuffers();
    EXPECT_EQ(DebugLinesOf([] { EXPECT_EQ(PlayWave(0, 0), 1); }), Utf8("WAVE[chime]をリロードしました\n"));
    EXPECT_EQ(PeakAmplitude(Render(20)), 0) << "the reloading play does not start the sound";
    ASSERT_EQ(PlayWave(0, 0), 1);
    EXPECT_GT(PeakAmplitude(Render(20)), 10000);
    LoseSoundBuffers();
    std::strcpy(gSound.names[0], "gone");
    EXPECT_EQ(DebugLinesOf([] { EXPECT_EQ(PlayWave(0, 0), 1); }),
              Utf8("WAVE[gone]のオープンに失敗しました。\nWAVE[gone]のリロードに失敗しました\n"));
}

TEST_F(WaveSlots, EmptyAndOutOfRangeSlotsDoNothing) {
    EXPECT_EQ((std::vector<int>{PlayWave(7, 0), StopWave(7), SetWaveVolume(7, 50), SetWavePan(7, 50),
                                SetWaveFrequency(7, 500), ShiftWaveFrequency(7, 500), LoadWave(32, "chime"),
                                PlayWave(32, 0)}),
              std::vector<int>(8, 0));
    EXPECT_EQ(LoadWave(65536 + 3, "chime"), 1) << "the low 16 bits are the slot";
    EXPECT_NE(GetWaveBuffer(3), nullptr);
    IDirectSoundBuffer* old = GetWaveBuffer(3);
    old->AddRef();
    EXPECT_EQ(LoadWave(3, "FACTED"), 1);
    EXPECT_NE(GetWaveBuffer(3), old);
    EXPECT_EQ(old->Release(), 0u) << "the old buffer was released";
}

}  // namespace
