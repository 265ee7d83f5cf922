// A movie file decoded in order: pictures as 32-bit pixels scaled into a
// rectangle, sound as 16-bit stereo at MEDIA_RATE. When one decoder serves
// both, packets of the stream not asked for wait in a queue of their own.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

class MovieDecoder {
public:
    ~MovieDecoder();
    // Opens the file for its pictures, its sound or both; false when it cannot
    // be opened or holds none of what was asked for.
    bool Open(const std::string& path, bool pictures, bool sound);

    int64_t LengthFrames() const { return lengthFrames_; }
    bool HasVideo() const { return video_.codec != nullptr; }
    int VideoWidth() const { return video_.codec ? video_.codec->width : 0; }
    int VideoHeight() const { return video_.codec ? video_.codec->height : 0; }

    // Starts both streams again at this sound frame.
    void Seek(int64_t frame);

    // Decodes up to the last picture due at or before the frame; true when it
    // is not the one given last time.
    bool AdvancePicture(int64_t frame);
    // The current picture scaled into a width x height area of 0x00RRGGBB
    // pixels (pitch in bytes) at (x, y), the rest left as it is.
    void DrawPicture(uint8_t* pixels, int pitch, int x, int y, int width, int height);

    // The next frames of sound; silence where the movie has none.
    void ReadSound(int16_t* stereo, int frames);

private:
    struct Stream {
        int index = -1;
        AVCodecContext* codec = nullptr;
        std::deque<AVPacket*> packets;
        bool ended = false;  // no more packets from the file
    };
    bool OpenStream(AVMediaType type, Stream* stream);
    // The next packet for this stream, reading the file as far as needed; null at the end.
    AVPacket* NextPacket(Stream* stream);
    // The next decoded frame of this stream into frame_; false at the end.
    bool DecodeNext(Stream* stream, AVFrame* frame);
    int64_t FrameOf(const AVFrame* frame, const Stream& stream) const;
    void ClearQueues();

    AVFormatContext* format_ = nullptr;
    Stream video_, audio_;
    AVFrame* picture_ = nullptr;     // the picture shown now
    AVFrame* nextPicture_ = nullptr; // decoded but not yet due
    bool hasNextPicture_ = false;
    bool pictureChanged_ = false;
    AVFrame* soundFrame_ = nullptr;
    SwrContext* resampler_ = nullptr;
    SwsContext* scaler_ = nullptr;
    std::vector<int16_t> sound_;     // resampled, waiting to be read
    size_t soundRead_ = 0;           // samples of sound_ already read
    int64_t soundCursor_ = 0;        // the frame of the next sample to read
    int64_t soundDecoded_ = 0;       // the frame after the last sample in sound_
    int64_t lengthFrames_ = 0;
};
