// The DirectSound stand-in on the headless backend: what the mixer renders
// against the virtual clock, buffer controls, notifications, lost buffers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/dsound/dsound.h"
#include "platform/dsound/mixer.h"
#include "platform/win/platform.h"
#include "platform/win/threads.h"
#include "tests/support/sound_signals.h"

namespace {

WAVEFORMATEX Format(WORD channels, WORD bits, DWORD rate) {
    const WORD align = static_cast<WORD>(channels * bits / 8);
    return {WAVE_FORMAT_PCM, channels, rate, rate * align, align, bits, 0};
}

class SoundDevice : public ::testing::Test {
protected:
    void SetUp() override { Open(PlatformOptions{}); }
    void TearDown() override { Close(); }

    void Close() {
        for (IDirectSoundBuffer* b : buffers_) b->Release();
        buffers_.clear();
        if (device_) device_->Release();
        device_ = nullptr;
        PlatformClose();
    }

    // Closes what SetUp opened when a test wants other platform options.
    void Open(PlatformOptions options) {
        Close();
        options.backend = "headless";
        std::string error;
        ASSERT_TRUE(PlatformOpen(options, &error)) << error;
        ASSERT_EQ(DirectSoundCreate(nullptr, &device_, nullptr), DS_OK);
        ASSERT_EQ(device_->SetCooperativeLevel(reinterpret_cast<HWND>(1), DSSCL_NORMAL), DS_OK);
    }

    IDirectSoundBuffer* Buffer(WAVEFORMATEX format, const void* data, DWORD bytes, DWORD flags = 0xE2) {
        DSBUFFERDESC desc{};
        desc.dwSize = DSBUFFERDESC_ORIGINAL_SIZE;
        desc.dwFlags = flags;
        desc.dwBufferBytes = bytes;
        desc.lpwfxFormat = &format;
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_EQ(device_->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
        if (!buffer) return nullptr;
        buffers_.push_back(buffer);
        if (data) Fill(buffer, 0, data, bytes);
        return buffer;
    }

    static void Fill(IDirectSoundBuffer* buffer, DWORD offset, const void* data, DWORD bytes) {
        void *p1 = nullptr, *p2 = nullptr;
        DWORD n1 = 0, n2 = 0;
        ASSERT_EQ(buffer->Lock(offset, bytes, &p1, &n1, &p2, &n2, 0), DS_OK);
        std::memcpy(p1, data, n1);
        if (n2) std::memcpy(p2, static_cast<const uint8_t*>(data) + n1, n2);
        ASSERT_EQ(buffer->Unlock(p1, n1, p2, n2), DS_OK);
    }

    // A looping mono 16-bit buffer holding one value.
    IDirectSoundBuffer* Constant(int16_t value, DWORD rate = 44100) {
        const std::vector<int16_t> samples(1000, value);
        IDirectSoundBuffer* buffer = Buffer(Format(1, 16, rate), samples.data(), 2000);
        if (buffer) { EXPECT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK); }
        return buffer;
    }

    static DWORD Status(IDirectSoundBuffer* buffer) {
        DWORD status = 0xDEADBEEF;
        EXPECT_EQ(buffer->GetStatus(&status), DS_OK);
        return status;
    }

    // The mix of the next `milliseconds` of virtual time.
    static std::vector<int16_t> Render(DWORD milliseconds) {
        StartSoundRecording();
        Sleep(milliseconds);
        return TakeSoundRecording();
    }

    IDirectSound* device_ = nullptr;
    std::vector<IDirectSoundBuffer*> buffers_;
};

TEST_F(SoundDevice, VolumeAndPanAttenuateInHundredthsOfADecibel) {
    IDirectSoundBuffer* buffer = Constant(10000);
    struct Case { LONG volume, pan; int left, right; };
    const Case cases[] = {
        {0, 0, 10000, 10000},       {-600, 0, 5012, 5012},      {-2000, 0, 1000, 1000},
        {0, 1000, 3162, 10000},     {0, -2500, 10000, 562},     {-600, 600, 2512, 5012},
        {0, 10000, 0, 10000},       {-10000, 0, 0, 0},          {-100, -10000, 8913, 0},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(buffer->SetVolume(c.volume), DS_OK);
        ASSERT_EQ(buffer->SetPan(c.pan), DS_OK);
        const std::vector<int16_t> mix = Render(10);
        EXPECT_TRUE(std::abs(mix[400] - c.left) <= 1 && std::abs(mix[401] - c.right) <= 1)
            << "volume " << c.volume << " pan " << c.pan << ": " << mix[400] << ", " << mix[401];
    }
    EXPECT_EQ(buffer->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetPan(-10001), DSERR_INVALIDPARAM);
    LONG volume = 1;
    EXPECT_EQ(buffer->GetVolume(&volume), DS_OK);
    EXPECT_EQ(volume, -100);
}

TEST_F(SoundDevice, DoublingTheFrequencyDoublesThePitchAndLoopingHasNoClickAtTheSeam) {
    // 441 Hz at 22,050 Hz: 50 samples a period, 20 periods in the buffer.
    const std::vector<int16_t> tone = SineWave(1000, 20, 12000);
    IDirectSoundBuffer* pitched = Buffer(Format(1, 16, 22050), tone.data(), 2000);
    ASSERT_EQ(pitched->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_NEAR(RisingZeroCrossings(Channel(Render(1000), 0)), 441, 1);
    ASSERT_EQ(pitched->SetFrequency(44100), DS_OK);
    DWORD frequency = 0;
    EXPECT_EQ(pitched->GetFrequency(&frequency), DS_OK);
    EXPECT_EQ(frequency, 44100u);
    EXPECT_NEAR(RisingZeroCrossings(Channel(Render(1000), 0)), 882, 1);
    ASSERT_EQ(pitched->SetFrequency(DSBFREQUENCY_ORIGINAL), DS_OK);
    EXPECT_EQ(pitched->GetFrequency(&frequency), DS_OK);
    EXPECT_EQ(frequency, 22050u);
    EXPECT_EQ(pitched->SetFrequency(99), DSERR_INVALIDPARAM);
    EXPECT_EQ(pitched->SetFrequency(100001), DSERR_INVALIDPARAM);
    ASSERT_EQ(pitched->Stop(), DS_OK);
    // Three periods in 147 frames at 11,025 Hz: the mixer interpolates across
    // the end of the buffer, so the seam is as smooth as the rest.
    const std::vector<int16_t> sine = SineWave(147, 3, 20000);
    IDirectSoundBuffer* buffer = Buffer(Format(1, 16, 11025), sine.data(), 294);
    ASSERT_EQ(buffer->SetFrequency(11111), DS_OK);  // the seam falls between output frames
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    const std::vector<int16_t> left = Channel(Render(200), 0);
    const int slope = static_cast<int>(20000 * 2 * M_PI * 3 * 11111 / 147 / 44100) + 2;
    EXPECT_LE(LargestStep(left), slope);
    EXPECT_GT(PeakAmplitude(left), 19000);
}

TEST_F(SoundDevice, EightBitStereoKeepsItsChannelsApartAndVoicesAddAndSaturate) {
    std::vector<uint8_t> frames;
    for (int i = 0; i < 100; ++i) frames.insert(frames.end(), {0xC0, 0x40});  // left +64, right -64
    IDirectSoundBuffer* buffer = Buffer(Format(2, 8, 8000), frames.data(), 200);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    std::vector<int16_t> mix = Render(10);
    EXPECT_EQ((std::vector<int16_t>{mix[200], mix[201]}), (std::vector<int16_t>{64 * 256, -64 * 256}));
    // Voices add, and saturate.
    Constant(20000);
    Constant(20000);
    Constant(-5000);
    mix = Render(5);
    EXPECT_EQ((std::vector<int16_t>{mix[100], mix[101]}), (std::vector<int16_t>{32767, 35000 - 64 * 256}));
}

TEST_F(SoundDevice, PlayOnceStopsAtTheEndLockWrapsAndLostBuffersRefuseUntilRestored) {
    const std::vector<int16_t> samples(441, 3000);  // 10 ms
    IDirectSoundBuffer* buffer = Buffer(Format(1, 16, 44100), samples.data(), 882);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(Status(buffer), DSBSTATUS_PLAYING);
    const std::vector<int16_t> mix = Render(20);
    EXPECT_EQ((std::vector<int16_t>{mix[2 * 440], mix[2 * 441]}), (std::vector<int16_t>{3000, 0}));
    EXPECT_EQ(Status(buffer), 0u);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(Status(buffer), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    // Lock hands out two regions when it wraps.
    IDirectSoundBuffer* wrapping = Buffer(Format(2, 16, 44100), nullptr, 4000);
    void *p1 = nullptr, *p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ASSERT_EQ(wrapping->Lock(3000, 2000, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_EQ((std::vector<int64_t>{n1, n2, static_cast<uint8_t*>(p1) - static_cast<uint8_t*>(p2)}),
              (std::vector<int64_t>{1000, 1000, 3000}));
    EXPECT_EQ(wrapping->Unlock(p1, n1, p2, n2), DS_OK);
    EXPECT_EQ(wrapping->Lock(4000, 4, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(wrapping->Lock(0, 4004, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
    ASSERT_EQ(wrapping->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER), DS_OK);
    EXPECT_EQ((std::vector<DWORD>{n1, n2}), (std::vector<DWORD>{4000, 0}));
    EXPECT_EQ(wrapping->Unlock(p1, n1, p2, n2), DS_OK);
    // Lost buffers refuse until restored, and play silence meanwhile.
    IDirectSoundBuffer* lost = Constant(5000);
    LoseSoundBuffers();
    EXPECT_EQ(Status(lost), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING | DSBSTATUS_BUFFERLOST);
    EXPECT_EQ(PeakAmplitude(Render(10)), 0);
    EXPECT_EQ(lost->Lock(0, 100, &p1, &n1, &p2, &n2, 0), DSERR_BUFFERLOST);
    EXPECT_EQ(lost->Play(0, 0, 0), DSERR_BUFFERLOST);
    EXPECT_EQ(lost->Restore(), DS_OK);
    const std::vector<int16_t> refill(1000, 4000);
    Fill(lost, 0, refill.data(), 2000);
    EXPECT_EQ(Render(10)[100], 4000);
}

TEST_F(SoundDevice, BadDescriptionsAreRefusedAndControlsAreOnlyThereWhenAskedFor) {
    WAVEFORMATEX format = Format(1, 16, 22050);
    DSBUFFERDESC desc{};
    desc.dwSize = DSBUFFERDESC_ORIGINAL_SIZE;
    desc.dwBufferBytes = 1000;
    desc.lpwfxFormat = &format;
    IDirectSoundBuffer* buffer = nullptr;
    for (WAVEFORMATEX bad : {Format(1, 16, 99), Format(1, 16, 100001), Format(3, 16, 22050), Format(1, 24, 22050),
                             Format(1, 32, 22050)}) {
        desc.lpwfxFormat = &bad;
        EXPECT_EQ(device_->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_BADFORMAT);
    }
    WAVEFORMATEX adpcm = format;
    adpcm.wFormatTag = 2;
    desc.lpwfxFormat = &adpcm;
    EXPECT_EQ(device_->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_BADFORMAT);
    desc.lpwfxFormat = &format;
    desc.dwBufferBytes = 0;
    EXPECT_EQ(device_->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_INVALIDPARAM);
    desc.dwBufferBytes = 1000;
    desc.dwSize = 12;
    EXPECT_EQ(device_->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer, nullptr);
    for (WAVEFORMATEX good : {Format(1, 8, 100), Format(2, 8, 100000), Format(2, 16, 11025)}) {
        EXPECT_NE(Buffer(good, nullptr, 4000), nullptr);
    }
    // Controls are only there when asked for.
    IDirectSoundBuffer* stream = Buffer(Format(2, 16, 44100), nullptr, 4000, 0x40100);
    EXPECT_EQ((std::vector<HRESULT>{stream->SetVolume(0), stream->SetPan(0), stream->SetFrequency(22050)}),
              std::vector<HRESULT>(3, DSERR_CONTROLUNAVAIL));
    IDirectSoundBuffer* wave = Buffer(Format(2, 16, 44100), nullptr, 4000);
    void* notify = nullptr;
    EXPECT_EQ(wave->QueryInterface(IID_IDirectSoundNotify, &notify), DSERR_NOINTERFACE);
}

TEST_F(SoundDevice, NotificationsSignalAsThePlayCursorPassesTheirOffsets) {
    // 100 ms of 16-bit stereo; events at the start and the middle.
    IDirectSoundBuffer* buffer = Buffer(Format(2, 16, 44100), nullptr, 17640, 0x40100);
    IDirectSoundNotify* notify = nullptr;
    ASSERT_EQ(buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)), DS_OK);
    HANDLE events[3] = {CreateEventA(nullptr, FALSE, FALSE, nullptr), CreateEventA(nullptr, FALSE, FALSE, nullptr),
                        CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    const DSBPOSITIONNOTIFY positions[3] = {{0, events[0]}, {8820, events[1]}, {DSBPN_OFFSETSTOP, events[2]}};
    ASSERT_EQ(notify->SetNotificationPositions(3, positions), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(notify->SetNotificationPositions(3, positions), DSERR_INVALIDCALL) << "not while playing";
    std::vector<std::pair<DWORD, int>> fired;
    const DWORD start = timeGetTime();
    for (int ms = 0; ms < 250; ++ms) {
        Sleep(1);
        for (int i = 0; i < 2; ++i)
            if (WaitForSingleObject(events[i], 0) == WAIT_OBJECT_0) fired.push_back({timeGetTime() - start, i});
    }
    const std::vector<std::pair<DWORD, int>> expected = {{50, 1}, {100, 0}, {150, 1}, {200, 0}, {250, 1}};
    EXPECT_EQ(fired, expected);
    EXPECT_EQ(WaitForSingleObject(events[2], 0), static_cast<DWORD>(WAIT_TIMEOUT));
    ASSERT_EQ(buffer->Stop(), DS_OK);
    EXPECT_EQ(WaitForSingleObject(events[2], 0), WAIT_OBJECT_0);
    DWORD play = 1, write = 1;
    EXPECT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
    EXPECT_EQ(play, 8820u);
    notify->Release();
    for (HANDLE e : events) CloseHandle(e);
}

// Each advance of the clock renders exactly its frames, with no drift from
// rounding each step; pulled sources mix with the buffers.
TEST_F(SoundDevice, TheClockRendersExactlyItsFramesAndPulledSourcesMixWithTheBuffers) {
    Constant(1000);
    StartSoundRecording();
    for (int i = 0; i < 30; ++i) Sleep(7);  // 210 ms: 9261 frames
    EXPECT_EQ(TakeSoundRecording().size(), 9261u * 2);
    const int id = AttachMixerSource(
        [](void*, int16_t* stereo, int frames) {
            for (int i = 0; i < frames; ++i) {
                stereo[2 * i] = 200;
                stereo[2 * i + 1] = -200;
            }
        },
        nullptr);
    std::vector<int16_t> mix = Render(10);
    EXPECT_EQ((std::vector<int16_t>{mix[10], mix[11]}), (std::vector<int16_t>{1200, 800}));
    DetachMixerSource(id);
    mix = Render(10);
    EXPECT_EQ(mix[10], 1000);
}

TEST_F(SoundDevice, TheScriptedLoseSoundLosesEveryBufferAndTheMixIsWrittenToTheAskedWaveFile) {
    PlatformOptions options;
    options.audioOutPath = ::testing::TempDir() + "mix-" + std::to_string(getpid()) + ".wav";
    options.scriptPath = ::testing::TempDir() + "lose-sound-" + std::to_string(getpid()) + ".txt";
    std::ofstream(options.scriptPath) << "0 lose-sound\n";
    Open(options);
    IDirectSoundBuffer* buffer = Buffer(Format(1, 8, 8000), nullptr, 800);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    EXPECT_EQ(Status(buffer), DSBSTATUS_BUFFERLOST);
    std::remove(options.scriptPath.c_str());
    Sleep(100);
    Close();
    std::ifstream file(options.audioOutPath, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 44u + 4410u * 4);
    EXPECT_EQ(std::string(bytes.data(), 4), "RIFF");
    uint32_t dataBytes = 0;
    std::memcpy(&dataBytes, bytes.data() + 40, 4);
    EXPECT_EQ(dataBytes, 4410u * 4);
    std::remove(options.audioOutPath.c_str());
}

}  // namespace
