// The sequencer device on FluidSynth. The song's events are sent to the
// synthesizer at their sample frame while it renders; it applies them at the
// start of its next 64-frame block (1.5 ms), so the sound is the same however
// the caller cuts it into pieces. One synthesizer with its SoundFont
// is kept for the process: loading a SoundFont takes longer than a song's start may.
#include "platform/mci/sequencer_device.h"

#include <fluidsynth.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/mci/midi_file.h"
#include "platform/win/debug_output.h"

namespace {

constexpr const char* SOUND_FONTS[] = {
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf3/default-GM.sf3",
};

bool IsFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void QuietLog(int, const char*, void*) {}

// The process's one synthesizer, made on first use with the SoundFont asked for.
class Synthesizer {
public:
    static fluid_synth_t* Get(const std::string& soundFont) {
        static Synthesizer instance;
        if (instance.synth_ && instance.soundFont_ == soundFont) return instance.synth_;
        instance.Release();
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
            fluid_set_log_function(level, QuietLog, nullptr);
        instance.settings_ = new_fluid_settings();
        fluid_settings_setnum(instance.settings_, "synth.sample-rate", MEDIA_RATE);
        fluid_settings_setint(instance.settings_, "synth.threadsafe-api", 0);
        // No reverb: its tail would outlive a jump and make a restart sound different.
        fluid_settings_setint(instance.settings_, "synth.reverb.active", 0);
        fluid_settings_setint(instance.settings_, "synth.chorus.active", 0);
        instance.synth_ = new_fluid_synth(instance.settings_);
        if (!instance.synth_ || !fluid_is_soundfont(soundFont.c_str()) ||
            fluid_synth_sfload(instance.synth_, soundFont.c_str(), 1) == FLUID_FAILED) {
            WriteDebugText("sequencer: cannot load the SoundFont " + soundFont + "\n");
            instance.Release();
            return nullptr;
        }
        instance.soundFont_ = soundFont;
        return instance.synth_;
    }

private:
    ~Synthesizer() { Release(); }
    void Release() {
        if (synth_) delete_fluid_synth(synth_);
        if (settings_) delete_fluid_settings(settings_);
        synth_ = nullptr;
        settings_ = nullptr;
        soundFont_.clear();
    }
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    std::string soundFont_;
};

void Send(fluid_synth_t* synth, const MidiEvent& e) {
    const int channel = e.status & 0x0F;
    switch (e.status & 0xF0) {
        case 0x80: fluid_synth_noteoff(synth, channel, e.data1); break;
        case 0x90: fluid_synth_noteon(synth, channel, e.data1, e.data2); break;
        case 0xA0: fluid_synth_key_pressure(synth, channel, e.data1, e.data2); break;
        case 0xB0: fluid_synth_cc(synth, channel, e.data1, e.data2); break;
        case 0xC0: fluid_synth_program_change(synth, channel, e.data1); break;
        case 0xD0: fluid_synth_channel_pressure(synth, channel, e.data1); break;
        case 0xE0: fluid_synth_pitch_bend(synth, channel, e.data1 | e.data2 << 7); break;
    }
}

// One synthesizer serves one song: a second sequencer is refused while one is open.
bool gSequencerOpen = false;

class SequencerDevice : public MciDevice {
public:
    SequencerDevice(MidiSong song, fluid_synth_t* synth) : song_(std::move(song)), synth_(synth) {
        gSequencerOpen = true;
        frames_.reserve(song_.events.size());
        for (const MidiEvent& e : song_.events) frames_.push_back(e.microseconds * MEDIA_RATE / 1000000);
    }
    ~SequencerDevice() override {
        Halt();
        gSequencerOpen = false;
    }

    int64_t Length() const override { return song_.lengthMicroseconds * MEDIA_RATE / 1000000; }

    // A jump replays every setting before the new place (programs, controllers,
    // bends) but no note, so the song goes on as it would have sounded.
    void Seek(int64_t frame) override {
        Halt();
        fluid_synth_system_reset(synth_);
        next_ = 0;
        for (; next_ < frames_.size() && frames_[next_] < frame; ++next_) {
            const uint8_t kind = song_.events[next_].status & 0xF0;
            if (kind != 0x80 && kind != 0x90 && kind != 0xA0) Send(synth_, song_.events[next_]);
        }
        // The synthesizer works in blocks and holds the rest of the last one:
        // drop it, so the sound from here starts on a fresh block.
        const int block = fluid_synth_get_internal_bufsize(synth_);
        if (const int held = static_cast<int>((block - blockPhase_ % block) % block)) {
            std::vector<int16_t> discard(static_cast<size_t>(held) * 2);
            fluid_synth_write_s16(synth_, held, discard.data(), 0, 2, discard.data(), 1, 2);
        }
        blockPhase_ = 0;
        cursor_ = frame;
    }

    void RenderAudio(int16_t* stereo, int frames) override {
        while (frames > 0) {
            while (next_ < frames_.size() && frames_[next_] <= cursor_) Send(synth_, song_.events[next_++]);
            const int64_t untilEvent = next_ < frames_.size() ? frames_[next_] - cursor_ : frames;
            const int block = static_cast<int>(std::min<int64_t>(frames, untilEvent));
            fluid_synth_write_s16(synth_, block, stereo, 0, 2, stereo, 1, 2);
            stereo += block * 2;
            frames -= block;
            cursor_ += block;
            blockPhase_ += block;
        }
    }

    void Halt() override { fluid_synth_all_sounds_off(synth_, -1); }

private:
    MidiSong song_;
    std::vector<int64_t> frames_;  // each event's sample frame
    fluid_synth_t* synth_;
    size_t next_ = 0;
    int64_t cursor_ = 0;
    int64_t blockPhase_ = 0;  // frames written since the synthesizer's blocks were last aligned
};

}  // namespace

std::string DefaultSoundFontPath() {
    for (const char* path : SOUND_FONTS)
        if (IsFile(path)) return path;
    return "";
}

std::unique_ptr<MciDevice> OpenSequencerDevice(const std::string& path, const std::string& soundFontPath,
                                               MCIERROR* error) {
    if (gSequencerOpen) {
        *error = MCIERR_DEVICE_OPEN;
        return nullptr;
    }
    if (!IsFile(path)) {
        *error = MCIERR_FILE_NOT_FOUND;
        return nullptr;
    }
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    MidiSong song;
    std::string why;
    if (!ParseMidiFile(bytes.data(), bytes.size(), &song, &why)) {
        WriteDebugText("sequencer: " + path + ": " + why + "\n");
        *error = MCIERR_INVALID_FILE;
        return nullptr;
    }
    const std::string soundFont = soundFontPath.empty() ? DefaultSoundFontPath() : soundFontPath;
    fluid_synth_t* synth = soundFont.empty() ? nullptr : Synthesizer::Get(soundFont);
    if (!synth) {
        *error = MCIERR_CANNOT_LOAD_DRIVER;
        return nullptr;
    }
    return std::make_unique<SequencerDevice>(std::move(song), synth);
}
