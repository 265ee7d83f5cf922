// Writes RIFF/WAVE images chunk by chunk, padding odd chunks to even length.
#include "tools/wave_encoder/wave_encoder.h"

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutChunk(std::vector<uint8_t>& out, const std::string& id, const std::vector<uint8_t>& body) {
    out.insert(out.end(), id.begin(), id.begin() + 4);
    Put32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2) out.push_back(0);
}

}  // namespace

std::vector<uint8_t> EncodeWave(const WaveImage& image) {
    std::vector<uint8_t> format;
    const uint32_t align = image.channels * image.bitsPerSample / 8u;
    Put16(format, image.formatTag);
    Put16(format, image.channels);
    Put32(format, image.rate);
    Put32(format, image.rate * align);
    Put16(format, align);
    Put16(format, image.bitsPerSample);
    if (!image.shortFormat) Put16(format, 0);

    std::vector<uint8_t> body = {'W', 'A', 'V', 'E'};
    PutChunk(body, "fmt ", format);
    for (const WaveChunk& chunk : image.beforeData) PutChunk(body, chunk.id, chunk.body);
    PutChunk(body, "data", image.data);
    for (const WaveChunk& chunk : image.afterData) PutChunk(body, chunk.id, chunk.body);

    std::vector<uint8_t> out;
    PutChunk(out, "RIFF", body);
    return out;
}

std::vector<uint8_t> SampleBytes16(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> out;
    for (int16_t s : samples) Put16(out, static_cast<uint16_t>(s));
    return out;
}

std::vector<uint8_t> SampleBytes8(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> out;
    for (int16_t s : samples) out.push_back(static_cast<uint8_t>((s >> 8) + 128));
    return out;
}

WaveChunk InfoList(const std::string& software) {
    WaveChunk list{"LIST", {'I', 'N', 'F', 'O', 'I', 'S', 'F', 'T'}};
    std::vector<uint8_t> text(software.begin(), software.end());
    text.push_back(0);
    Put32(list.body, static_cast<uint32_t>(text.size()));
    list.body.insert(list.body.end(), text.begin(), text.end());
    if (text.size() % 2) list.body.push_back(0);
    return list;
}
