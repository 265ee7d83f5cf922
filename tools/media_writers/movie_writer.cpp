// Movies through the ffmpeg program: the raw pictures and sound are written to
// temporary files next to the result and handed to it.
#include "tools/media_writers/movie_writer.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

void SecondColour(int second, uint8_t rgb[3]) {
    rgb[0] = second % 3 == 0 ? 220 : 20;
    rgb[1] = second % 3 == 1 ? 220 : 20;
    rgb[2] = second % 3 == 2 ? 220 : 20;
}

void DrawColourSecondsFrame(const MovieSpec& spec, int i, std::vector<uint8_t>* rgb) {
    uint8_t colour[3];
    SecondColour(i / spec.framesPerSecond, colour);
    const int square = spec.height / 6, squareX = (i * 4) % (spec.width - square), squareY = spec.height / 12;
    for (int y = 0; y < spec.height; ++y) {
        for (int x = 0; x < spec.width; ++x) {
            uint8_t* p = rgb->data() + (static_cast<size_t>(y) * spec.width + x) * 3;
            const bool inSquare = x >= squareX && x < squareX + square && y >= squareY && y < squareY + square;
            for (int c = 0; c < 3; ++c) p[c] = inSquare ? 255 : colour[c];
        }
    }
}

bool WriteMovie(const std::string& path, const MovieSpec& spec, std::string* error) {
    const std::string base = path + "." + std::to_string(getpid());
    const std::string pictures = base + ".rgb", sound = base + ".pcm";
    {
        std::ofstream out(pictures, std::ios::binary);
        std::vector<uint8_t> rgb(static_cast<size_t>(spec.width) * spec.height * 3);
        for (int i = 0; i < spec.frames; ++i) {
            if (spec.drawFrame) spec.drawFrame(i, &rgb);
            else DrawColourSecondsFrame(spec, i, &rgb);
            out.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
        }
        std::ofstream pcm(sound, std::ios::binary);
        const int samples = spec.frames * 44100 / spec.framesPerSecond;
        for (int i = 0; i < samples && spec.toneFrequency > 0; ++i) {
            const auto value = static_cast<int16_t>(6000 * std::sin(2 * M_PI * spec.toneFrequency * i / 44100));
            const int16_t frame[2] = {value, value};
            pcm.write(reinterpret_cast<const char*>(frame), sizeof(frame));
        }
    }
    const bool mpeg = path.size() > 4 && path.compare(path.size() - 4, 4, ".mpg") == 0;
    const std::string size = std::to_string(spec.width) + "x" + std::to_string(spec.height);
    std::string command = "ffmpeg -nostdin -loglevel error -y -f rawvideo -pix_fmt rgb24 -s " + size + " -r " +
                          std::to_string(spec.framesPerSecond) + " -i '" + pictures + "'";
    if (spec.toneFrequency > 0) command += " -f s16le -ar 44100 -ac 2 -i '" + sound + "'";
    command += mpeg ? " -c:v mpeg1video -q:v 4" : " -c:v mpeg4 -q:v 4";
    if (spec.toneFrequency > 0) command += " -c:a mp2 -b:a 128k";
    command += " -pix_fmt yuv420p '" + path + "'";
    const int status = std::system(command.c_str());
    std::remove(pictures.c_str());
    std::remove(sound.c_str());
    if (status != 0) {
        *error = "ffmpeg failed (" + std::to_string(status) + "): " + command;
        return false;
    }
    return true;
}
