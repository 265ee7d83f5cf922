// Short movies for the tests, the showcase and the benchmarks: pictures and a
// tone made here, encoded by the ffmpeg program into the container the file
// name's extension asks for (.avi: MPEG-4 video and MP2 sound; .mpg: MPEG-1).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct MovieSpec {
    int width = 320;
    int height = 240;
    int framesPerSecond = 25;
    int frames = 75;
    double toneFrequency = 440;  // 0: no sound track
    // Fills one picture (RGB bytes, width x height) for frame number i.
    std::function<void(int i, std::vector<uint8_t>* rgb)> drawFrame;
};

// The colour a test movie shows in second s: red, green, blue, then again.
void SecondColour(int second, uint8_t rgb[3]);
// A picture of the colour of its second with a white square moving across.
void DrawColourSecondsFrame(const MovieSpec& spec, int i, std::vector<uint8_t>* rgb);

// False with the reason when ffmpeg is missing or fails.
bool WriteMovie(const std::string& path, const MovieSpec& spec, std::string* error);
