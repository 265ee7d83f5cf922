// The movie decoder on FFmpeg: libavformat demuxes, libavcodec decodes (one
// thread each, so a movie costs one core's share the benchmarks measure),
// libswscale scales pictures and libswresample converts sound. Timestamps are
// counted from the file's own start, in sound frames.
#include "platform/mci/movie_decoder.h"

#include <algorithm>
#include <cstring>

#include "platform/mci/mci_device.h"

namespace {

constexpr AVRational FRAME_BASE{1, MEDIA_RATE};
constexpr size_t MAX_WAITING_PACKETS = 4096;  // a badly interleaved file cannot fill the memory

}  // namespace

MovieDecoder::~MovieDecoder() {
    ClearQueues();
    av_frame_free(&picture_);
    av_frame_free(&nextPicture_);
    av_frame_free(&soundFrame_);
    swr_free(&resampler_);
    sws_freeContext(scaler_);
    avcodec_free_context(&video_.codec);
    avcodec_free_context(&audio_.codec);
    avformat_close_input(&format_);
}

bool MovieDecoder::OpenStream(AVMediaType type, Stream* stream) {
    const AVCodec* decoder = nullptr;
    const int index = av_find_best_stream(format_, type, -1, -1, &decoder, 0);
    if (index < 0 || !decoder) return false;
    AVCodecContext* codec = avcodec_alloc_context3(decoder);
    if (!codec) return false;
    codec->thread_count = 1;
    if (avcodec_parameters_to_context(codec, format_->streams[index]->codecpar) < 0 ||
        avcodec_open2(codec, decoder, nullptr) < 0) {
        avcodec_free_context(&codec);
        return false;
    }
    stream->index = index;
    stream->codec = codec;
    return true;
}

bool MovieDecoder::Open(const std::string& path, bool pictures, bool sound) {
    av_log_set_level(AV_LOG_QUIET);
    if (avformat_open_input(&format_, path.c_str(), nullptr, nullptr) < 0) return false;
    if (avformat_find_stream_info(format_, nullptr) < 0) return false;
    const bool video = pictures && OpenStream(AVMEDIA_TYPE_VIDEO, &video_);
    bool audio = sound && OpenStream(AVMEDIA_TYPE_AUDIO, &audio_);
    if (video && (VideoWidth() <= 0 || VideoHeight() <= 0)) return false;
    if (audio) {
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        AVChannelLayout input{};
        if (audio_.codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_default(&input, audio_.codec->ch_layout.nb_channels);
        else
            av_channel_layout_copy(&input, &audio_.codec->ch_layout);
        audio = swr_alloc_set_opts2(&resampler_, &stereo, AV_SAMPLE_FMT_S16, MEDIA_RATE, &input,
                                    audio_.codec->sample_fmt, audio_.codec->sample_rate, 0, nullptr) >= 0 &&
                swr_init(resampler_) >= 0;
        av_channel_layout_uninit(&input);
        if (!audio) avcodec_free_context(&audio_.codec);
    }
    if (!video && !audio) return false;
    for (unsigned i = 0; i < format_->nb_streams; ++i)
        if (static_cast<int>(i) != video_.index && static_cast<int>(i) != audio_.index)
            format_->streams[i]->discard = AVDISCARD_ALL;

    if (format_->duration > 0) lengthFrames_ = av_rescale_q(format_->duration, AV_TIME_BASE_Q, FRAME_BASE);
    for (const Stream* stream : {&video_, &audio_}) {
        const AVStream* s = stream->codec ? format_->streams[stream->index] : nullptr;
        if (s && s->duration > 0) lengthFrames_ = std::max(lengthFrames_, av_rescale_q(s->duration, s->time_base, FRAME_BASE));
    }
    picture_ = av_frame_alloc();
    nextPicture_ = av_frame_alloc();
    soundFrame_ = av_frame_alloc();
    return lengthFrames_ > 0 && picture_ && nextPicture_ && soundFrame_;
}

void MovieDecoder::ClearQueues() {
    for (Stream* stream : {&video_, &audio_}) {
        for (AVPacket* packet : stream->packets) av_packet_free(&packet);
        stream->packets.clear();
        stream->ended = false;
    }
}

AVPacket* MovieDecoder::NextPacket(Stream* stream) {
    if (!stream->packets.empty()) {
        AVPacket* packet = stream->packets.front();
        stream->packets.pop_front();
        return packet;
    }
    if (stream->ended) return nullptr;
    AVPacket* packet = av_packet_alloc();
    while (packet && av_read_frame(format_, packet) >= 0) {
        if (packet->stream_index == stream->index) return packet;
        Stream* other = packet->stream_index == video_.index ? &video_ : packet->stream_index == audio_.index ? &audio_ : nullptr;
        if (other && other->codec) {
            if (other->packets.size() >= MAX_WAITING_PACKETS) {
                av_packet_free(&other->packets.front());
                other->packets.pop_front();
            }
            other->packets.push_back(packet);
            packet = av_packet_alloc();
        } else {
            av_packet_unref(packet);
        }
    }
    av_packet_free(&packet);
    video_.ended = audio_.ended = true;
    return nullptr;
}

bool MovieDecoder::DecodeNext(Stream* stream, AVFrame* frame) {
    if (!stream->codec) return false;
    for (;;) {
        const int received = avcodec_receive_frame(stream->codec, frame);
        if (received == 0) return true;
        if (received != AVERROR(EAGAIN)) return false;  // the end, or a decoder that gave up
        AVPacket* packet = NextPacket(stream);
        // Damaged packets are skipped; a null packet drains the decoder at the end.
        if (avcodec_send_packet(stream->codec, packet) == AVERROR_EOF && !packet) return false;
        av_packet_free(&packet);
    }
}

int64_t MovieDecoder::FrameOf(const AVFrame* frame, const Stream& stream) const {
    const AVStream* s = format_->streams[stream.index];
    int64_t pts = frame->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE) return -1;
    if (s->start_time != AV_NOPTS_VALUE) pts -= s->start_time;
    return av_rescale_q(pts, s->time_base, FRAME_BASE);
}

void MovieDecoder::Seek(int64_t frame) {
    int64_t target = av_rescale_q(frame, FRAME_BASE, AV_TIME_BASE_Q);
    if (format_->start_time != AV_NOPTS_VALUE) target += format_->start_time;
    av_seek_frame(format_, -1, target, AVSEEK_FLAG_BACKWARD);
    ClearQueues();
    for (Stream* stream : {&video_, &audio_})
        if (stream->codec) avcodec_flush_buffers(stream->codec);
    av_frame_unref(picture_);
    hasNextPicture_ = false;
    if (resampler_) {
        swr_close(resampler_);
        swr_init(resampler_);
    }
    sound_.clear();
    soundRead_ = 0;
    soundCursor_ = soundDecoded_ = frame;
}

bool MovieDecoder::AdvancePicture(int64_t frame) {
    bool changed = false;
    for (;;) {
        if (!hasNextPicture_) {
            if (!DecodeNext(&video_, nextPicture_)) break;
            hasNextPicture_ = true;
        }
        // The first picture after a jump shows at once, whatever its timestamp.
        const int64_t due = FrameOf(nextPicture_, video_);
        if (picture_->data[0] && due > frame) break;
        std::swap(picture_, nextPicture_);
        hasNextPicture_ = false;
        changed = true;
    }
    return changed;
}

void MovieDecoder::DrawPicture(uint8_t* pixels, int pitch, int x, int y, int width, int height) {
    if (!picture_->data[0] || width <= 0 || height <= 0) return;
    scaler_ = sws_getCachedContext(scaler_, picture_->width, picture_->height,
                                   static_cast<AVPixelFormat>(picture_->format), width, height, AV_PIX_FMT_BGR0,
                                   SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!scaler_) return;
    uint8_t* target[4] = {pixels + static_cast<ptrdiff_t>(y) * pitch + x * 4, nullptr, nullptr, nullptr};
    const int targetPitch[4] = {pitch, 0, 0, 0};
    sws_scale(scaler_, picture_->data, picture_->linesize, 0, picture_->height, target, targetPitch);
}

void MovieDecoder::ReadSound(int16_t* stereo, int frames) {
    while (frames > 0) {
        size_t waiting = (sound_.size() - soundRead_) / 2;
        if (waiting == 0) {
            sound_.clear();
            soundRead_ = 0;
            if (!DecodeNext(&audio_, soundFrame_)) {
                std::memset(stereo, 0, static_cast<size_t>(frames) * 4);
                soundCursor_ += frames;
                return;
            }
            const int64_t start = FrameOf(soundFrame_, audio_);
            if (start >= 0) soundDecoded_ = start;
            const int capacity = swr_get_out_samples(resampler_, soundFrame_->nb_samples);
            sound_.resize(static_cast<size_t>(std::max(capacity, 0)) * 2);
            uint8_t* out[1] = {reinterpret_cast<uint8_t*>(sound_.data())};
            const int made = swr_convert(resampler_, out, capacity, const_cast<const uint8_t**>(soundFrame_->extended_data),
                                         soundFrame_->nb_samples);
            sound_.resize(static_cast<size_t>(std::max(made, 0)) * 2);
            continue;
        }
        // Sound before the cursor (after a jump) is dropped; a gap before the sound is silence.
        if (soundDecoded_ < soundCursor_) {
            const size_t drop = std::min<size_t>(waiting, static_cast<size_t>(soundCursor_ - soundDecoded_));
            soundRead_ += drop * 2;
            soundDecoded_ += static_cast<int64_t>(drop);
            continue;
        }
        const int gap = static_cast<int>(std::min<int64_t>(frames, soundDecoded_ - soundCursor_));
        std::memset(stereo, 0, static_cast<size_t>(gap) * 4);
        const int take = static_cast<int>(std::min<size_t>(waiting, static_cast<size_t>(frames - gap)));
        std::memcpy(stereo + gap * 2, sound_.data() + soundRead_, static_cast<size_t>(take) * 4);
        soundRead_ += static_cast<size_t>(take) * 2;
        soundDecoded_ += take;
        soundCursor_ += gap + take;
        stereo += (gap + take) * 2;
        frames -= gap + take;
    }
}
