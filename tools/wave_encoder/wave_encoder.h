// RIFF/WAVE images written from samples, with the variations files in the
// wild show: any format tag, a "fmt " chunk of 16 or 18 bytes, a "fact"
// chunk, and other chunks (LIST, cue) before or after "data".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct WaveChunk {
    std::string id;  // four characters
    std::vector<uint8_t> body;
};

struct WaveImage {
    uint16_t formatTag = 1;
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t bitsPerSample = 16;
    bool shortFormat = false;  // a 16-byte "fmt " chunk, as most writers make
    std::vector<WaveChunk> beforeData;
    std::vector<uint8_t> data;
    std::vector<WaveChunk> afterData;
};

std::vector<uint8_t> EncodeWave(const WaveImage& image);

// 16-bit samples as little-endian bytes; 8-bit samples are stored unsigned.
std::vector<uint8_t> SampleBytes16(const std::vector<int16_t>& samples);
std::vector<uint8_t> SampleBytes8(const std::vector<int16_t>& samples);

// A LIST "INFO" chunk naming the software that wrote the file.
WaveChunk InfoList(const std::string& software);
