// The cdaudio device on libcdio. Positions are in MCI's default time format
// for CD audio, minutes:seconds:frames (75 frames a second) counted from the
// start of the disc, so track 1 usually starts at 00:02:00. The disc's length
// is the address of its lead-out, which is also where the last track ends.
#include "platform/mci/cd_audio_device.h"

#include <cdio/cdio.h>
#include <cdio/logging.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int FRAMES_PER_SECTOR = 588;  // 44,100 stereo samples a second, 75 sectors a second

class CdAudioDevice : public MciDevice {
public:
    CdAudioDevice(CdIo_t* cd, track_t first, track_t count) : cd_(cd), first_(first), count_(count) {
        for (track_t t = first; t < first + count; ++t) trackStarts_.push_back(cdio_get_track_lba(cd, t));
        leadOut_ = cdio_get_track_lba(cd, CDIO_CDROM_LEADOUT_TRACK);
    }
    ~CdAudioDevice() override { cdio_destroy(cd_); }

    // "mm:ss:ff", "mm:ss" or "mm"; each field at most two or three digits.
    bool ParsePosition(const std::string& text, int64_t* frame) const override {
        int minutes = 0, seconds = 0, frames = 0;
        char extra;
        const int n = std::sscanf(text.c_str(), "%3d:%2d:%2d%c", &minutes, &seconds, &frames, &extra);
        if (n < 1 || n > 3 || minutes < 0 || seconds < 0 || seconds > 59 || frames < 0 || frames > 74) return false;
        *frame = (static_cast<int64_t>(minutes) * 60 * 75 + seconds * 75 + frames) * FRAMES_PER_SECTOR;
        return true;
    }

    std::string FormatPosition(int64_t frame) const override {
        const int64_t sector = frame / FRAMES_PER_SECTOR;
        char text[16];
        std::snprintf(text, sizeof(text), "%02d:%02d:%02d", static_cast<int>(sector / (60 * 75)),
                      static_cast<int>(sector / 75 % 60), static_cast<int>(sector % 75));
        return text;
    }

    int64_t Start() const override { return static_cast<int64_t>(trackStarts_.front()) * FRAMES_PER_SECTOR; }
    int64_t Length() const override { return static_cast<int64_t>(leadOut_) * FRAMES_PER_SECTOR; }

    // "position track N" and "number of tracks".
    MCIERROR Status(const std::string& item, MciCommand* command, std::string* answer) override {
        std::string trackText;
        bool missing = false;
        if (item == "position" && TakeValue(command, "track", &trackText, &missing)) {
            if (missing) return MCIERR_MISSING_PARAMETER;
            int track = 0;
            char extra;
            if (std::sscanf(trackText.c_str(), "%d%c", &track, &extra) != 1) return MCIERR_BAD_INTEGER;
            if (track < first_ || track >= first_ + count_) return MCIERR_OUTOFRANGE;
            *answer = FormatPosition(static_cast<int64_t>(trackStarts_[track - first_]) * FRAMES_PER_SECTOR);
            return 0;
        }
        if (item == "number" && TakeFlag(command, "of") && TakeFlag(command, "tracks")) {
            *answer = std::to_string(count_);
            return 0;
        }
        return MCIERR_UNRECOGNIZED_KEYWORD;
    }

    void Seek(int64_t frame) override { cursor_ = frame; }

    // The disc's samples as they are (16-bit little-endian stereo); data tracks and
    // sectors the disc cannot give are silence.
    void RenderAudio(int16_t* stereo, int frames) override {
        while (frames > 0) {
            const int64_t sector = cursor_ / FRAMES_PER_SECTOR;
            const int offset = static_cast<int>(cursor_ % FRAMES_PER_SECTOR);
            const int take = std::min(frames, FRAMES_PER_SECTOR - offset);
            const int16_t* samples = Sector(sector);
            if (samples) std::memcpy(stereo, samples + offset * 2, static_cast<size_t>(take) * 4);
            else std::memset(stereo, 0, static_cast<size_t>(take) * 4);
            stereo += take * 2;
            frames -= take;
            cursor_ += take;
        }
    }

private:
    const int16_t* Sector(int64_t lba) {
        if (lba == cachedSector_) return cacheValid_ ? cache_ : nullptr;
        cachedSector_ = lba;
        cacheValid_ = false;
        if (lba < trackStarts_.front() || lba >= leadOut_) return nullptr;
        const track_t track = cdio_get_track(cd_, cdio_lba_to_lsn(static_cast<lba_t>(lba)));
        if (track == CDIO_INVALID_TRACK || cdio_get_track_format(cd_, track) != TRACK_FORMAT_AUDIO) return nullptr;
        cacheValid_ = cdio_read_audio_sectors(cd_, cache_, cdio_lba_to_lsn(static_cast<lba_t>(lba)), 1) ==
                      DRIVER_OP_SUCCESS;
        return cacheValid_ ? cache_ : nullptr;
    }

    CdIo_t* cd_;
    track_t first_, count_;
    std::vector<lba_t> trackStarts_;
    lba_t leadOut_ = 0;
    int64_t cursor_ = 0;
    int16_t cache_[FRAMES_PER_SECTOR * 2] = {};
    int64_t cachedSector_ = -1;
    bool cacheValid_ = false;
};

void QuietLog(cdio_log_level_t, const char*) {}

}  // namespace

std::unique_ptr<MciDevice> OpenCdAudioDevice(const std::string& imagePath, MCIERROR* error) {
    cdio_log_set_handler(QuietLog);
    CdIo_t* cd = imagePath.empty() ? cdio_open(nullptr, DRIVER_DEVICE) : cdio_open(imagePath.c_str(), DRIVER_UNKNOWN);
    if (!cd) {
        *error = MCIERR_HARDWARE;
        return nullptr;
    }
    const track_t first = cdio_get_first_track_num(cd), count = cdio_get_num_tracks(cd);
    const lba_t leadOut = cdio_get_track_lba(cd, CDIO_CDROM_LEADOUT_TRACK);
    bool hasAudio = false;
    for (track_t t = first; first != CDIO_INVALID_TRACK && count != CDIO_INVALID_TRACK && t < first + count; ++t)
        hasAudio |= cdio_get_track_format(cd, t) == TRACK_FORMAT_AUDIO;
    if (!hasAudio || leadOut == CDIO_INVALID_LBA) {
        cdio_destroy(cd);
        *error = MCIERR_DEVICE_NOT_READY;
        return nullptr;
    }
    return std::make_unique<CdAudioDevice>(cd, first, count);
}
