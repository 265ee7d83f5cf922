// Measures on rendered sound: 16-bit PCM, interleaved stereo or mono.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

// One channel of interleaved stereo.
inline std::vector<int16_t> Channel(const std::vector<int16_t>& stereo, int channel) {
    std::vector<int16_t> out;
    for (size_t i = static_cast<size_t>(channel); i < stereo.size(); i += 2) out.push_back(stereo[i]);
    return out;
}

// Upward zero crossings: a sine's frequency times the seconds it covers.
inline int RisingZeroCrossings(const std::vector<int16_t>& samples) {
    int count = 0;
    for (size_t i = 1; i < samples.size(); ++i)
        if (samples[i - 1] < 0 && samples[i] >= 0) ++count;
    return count;
}

inline int PeakAmplitude(const std::vector<int16_t>& samples) {
    int peak = 0;
    for (int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

// The largest step between neighbouring samples: a click shows as a jump far
// above the signal's own slope.
inline int LargestStep(const std::vector<int16_t>& samples) {
    int step = 0;
    for (size_t i = 1; i < samples.size(); ++i)
        step = std::max(step, std::abs(static_cast<int>(samples[i]) - samples[i - 1]));
    return step;
}

// A sine of `frames` samples: `cycles` whole periods at the given amplitude.
inline std::vector<int16_t> SineWave(int frames, double cycles, double amplitude) {
    std::vector<int16_t> samples(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i)
        samples[static_cast<size_t>(i)] = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * M_PI * cycles * i / frames)));
    return samples;
}
