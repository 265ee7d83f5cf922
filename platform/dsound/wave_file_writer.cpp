// The canonical 44-byte RIFF/WAVE header followed by little-endian samples.
#include "platform/dsound/wave_file_writer.h"

#include <cstring>

namespace {

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace

WaveFileWriter::WaveFileWriter(const std::string& path, int rate, int channels)
    : file_(std::fopen(path.c_str(), "wb")), rate_(rate), channels_(channels) {
    if (file_) WriteHeader();
}

WaveFileWriter::~WaveFileWriter() {
    if (file_) std::fclose(file_);
}

void WaveFileWriter::WriteHeader() {
    uint8_t h[44];
    std::memcpy(h, "RIFF", 4);
    Put32(h + 4, 36 + dataBytes_);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    Put32(h + 16, 16);
    Put16(h + 20, 1);
    Put16(h + 22, static_cast<uint16_t>(channels_));
    Put32(h + 24, static_cast<uint32_t>(rate_));
    Put32(h + 28, static_cast<uint32_t>(rate_ * channels_ * 2));
    Put16(h + 32, static_cast<uint16_t>(channels_ * 2));
    Put16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    Put32(h + 40, dataBytes_);
    std::fseek(file_, 0, SEEK_SET);
    std::fwrite(h, 1, sizeof(h), file_);
    std::fseek(file_, 0, SEEK_END);
}

void WaveFileWriter::Append(const int16_t* samples, int frames) {
    if (!file_ || frames <= 0) return;
    const size_t count = static_cast<size_t>(frames) * static_cast<size_t>(channels_);
    if (count * 2 > UINT32_MAX - 36 - dataBytes_) return;  // a RIFF file holds at most 4 GB
    uint8_t bytes[2];
    for (size_t i = 0; i < count; ++i) {
        Put16(bytes, static_cast<uint16_t>(samples[i]));
        std::fwrite(bytes, 1, 2, file_);
    }
    dataBytes_ += static_cast<uint32_t>(count * 2);
    WriteHeader();
    std::fflush(file_);
}
