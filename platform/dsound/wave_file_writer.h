// A 16-bit PCM WAVE file written as samples arrive; the header's sizes are
// brought up to date after every append, so the file is complete at any time.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class WaveFileWriter {
public:
    WaveFileWriter(const std::string& path, int rate, int channels);
    ~WaveFileWriter();
    WaveFileWriter(const WaveFileWriter&) = delete;
    WaveFileWriter& operator=(const WaveFileWriter&) = delete;

    bool Ok() const { return file_ != nullptr; }
    void Append(const int16_t* samples, int frames);

private:
    void WriteHeader();

    std::FILE* file_;
    int rate_;
    int channels_;
    uint32_t dataBytes_ = 0;
};
