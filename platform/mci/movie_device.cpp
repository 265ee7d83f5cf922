// The movie device: pictures go straight to the desktop (the program stops
// presenting its own back buffer while a movie shows), scaled into the
// destination with the movie's aspect kept and black around it. The picture
// shown is the last one due at the playing position, which runs on the
// program's clock; the sound is read from the same position, so pictures and
// sound keep together by construction, on the desktop's real clock as on the
// headless backend's virtual one.
#include "platform/mci/movie_device.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/gdi/pixel_buffer.h"
#include "platform/mci/movie_decoder.h"
#include "platform/win/backend.h"
#include "platform/win/window_table.h"

namespace {

class MovieDevice : public MciDevice {
public:
    MovieDevice(std::unique_ptr<MovieDecoder> pictures, std::unique_ptr<MovieDecoder> sound)
        : decoder_(std::move(pictures)), sound_(std::move(sound)) {}

    int64_t Length() const override {
        return std::max(decoder_ ? decoder_->LengthFrames() : 0, sound_ ? sound_->LengthFrames() : 0);
    }

    // "window handle N", "window state show|hide", "put destination", "realize normal|background".
    MCIERROR Special(MciCommand* command) override;

    // Pictures and sound have a decoder each: the sound is read on the mixer's
    // thread while the pictures are decoded on the program's.
    void Seek(int64_t frame) override {
        if (decoder_) decoder_->Seek(frame);
        if (sound_) sound_->Seek(frame);
    }
    void RenderAudio(int16_t* stereo, int frames) override {
        if (sound_) sound_->ReadSound(stereo, frames);
        else std::fill(stereo, stereo + 2 * frames, int16_t{0});
    }

    // The picture is scaled only when it changed; it is shown again on every
    // call, as the program's own frames are.
    void Show(int64_t frame) override {
        if (!decoder_) return;
        if (decoder_->AdvancePicture(frame) || layoutChanged_) Compose();
        Present();
    }

private:
    // The window's client area with the picture fitted into it.
    void Compose();
    void Present();

    std::unique_ptr<MovieDecoder> decoder_;  // pictures; null for a file of sound alone
    std::unique_ptr<MovieDecoder> sound_;
    HWND window_ = MainWindow();
    bool visible_ = true;
    bool layoutChanged_ = true;
    std::vector<uint32_t> canvas_;
    int canvasWidth_ = 0, canvasHeight_ = 0;
};

HWND WindowWithNumber(long long number) {
    const HWND main = MainWindow();
    // The number is the handle as a program prints it with %d: its low 32 bits.
    if (main && static_cast<int32_t>(reinterpret_cast<intptr_t>(main)) == static_cast<int32_t>(number)) return main;
    return nullptr;
}

MCIERROR MovieDevice::Special(MciCommand* command) {
    std::string value;
    bool missing = false;
    if (command->verb == "window") {
        bool any = false;
        if (TakeValue(command, "handle", &value, &missing)) {
            if (missing) return MCIERR_MISSING_PARAMETER;
            long long number = 0;
            char extra;
            if (std::sscanf(value.c_str(), "%lld%c", &number, &extra) != 1) return MCIERR_BAD_INTEGER;
            HWND window = WindowWithNumber(number);
            if (!window) return MCIERR_NO_WINDOW;
            window_ = window;
            any = true;
        }
        if (TakeValue(command, "state", &value, &missing)) {
            if (missing || (value != "show" && value != "hide")) return MCIERR_MISSING_PARAMETER;
            visible_ = value == "show";
            any = true;
        }
        if (!any) return MCIERR_MISSING_PARAMETER;
    } else if (command->verb == "put") {
        if (!TakeFlag(command, "destination")) return MCIERR_MISSING_PARAMETER;
    } else if (command->verb == "realize") {
        // Pictures are shown in true colour: there is no palette to realise.
        if (!TakeFlag(command, "normal") && !TakeFlag(command, "background")) return MCIERR_MISSING_PARAMETER;
    } else {
        return MCIERR_UNRECOGNIZED_COMMAND;
    }
    if (!command->words.empty()) return MCIERR_UNRECOGNIZED_KEYWORD;
    layoutChanged_ = true;
    return 0;
}

void MovieDevice::Compose() {
    layoutChanged_ = false;
    RECT client{};
    canvasWidth_ = canvasHeight_ = 0;
    if (!IsWindow(window_) || !GetClientRect(window_, &client)) return;
    const int width = client.right - client.left, height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return;
    canvasWidth_ = width;
    canvasHeight_ = height;
    canvas_.assign(static_cast<size_t>(width) * height, 0);
    if (decoder_->HasVideo()) {
        // The largest rectangle of the movie's aspect that fits, centred.
        const int64_t vw = decoder_->VideoWidth(), vh = decoder_->VideoHeight();
        int w = width, h = static_cast<int>(vh * width / vw);
        if (h > height) {
            h = height;
            w = static_cast<int>(vw * height / vh);
        }
        decoder_->DrawPicture(reinterpret_cast<uint8_t*>(canvas_.data()), width * 4, (width - w) / 2,
                              (height - h) / 2, std::max(w, 1), std::max(h, 1));
    }
}

void MovieDevice::Present() {
    if (!visible_ || canvasWidth_ == 0 || !IsWindow(window_)) return;
    PixelBuffer picture;
    picture.bits = reinterpret_cast<uint8_t*>(canvas_.data());
    picture.width = canvasWidth_;
    picture.height = canvasHeight_;
    picture.pitch = canvasWidth_ * 4;
    picture.format = PIXEL_FORMAT_8888;
    Backend().presentPicture(picture);
}

}  // namespace

std::unique_ptr<MciDevice> OpenMovieDevice(const std::string& path, MCIERROR* error) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        *error = MCIERR_FILE_NOT_FOUND;
        return nullptr;
    }
    auto pictures = std::make_unique<MovieDecoder>();
    auto sound = std::make_unique<MovieDecoder>();
    const bool hasPictures = pictures->Open(path, true, false), hasSound = sound->Open(path, false, true);
    if (!hasPictures && !hasSound) {
        *error = MCIERR_INVALID_FILE;
        return nullptr;
    }
    if (!hasPictures) pictures.reset();
    if (!hasSound) sound.reset();
    return std::make_unique<MovieDevice>(std::move(pictures), std::move(sound));
}
