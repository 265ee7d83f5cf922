// Writes the showcase's music, CD image and movie (the benchmarks use them
// too) into the folder given: song.mid, tones.cue + tones.bin, movie.avi.
#include <cstdio>
#include <string>

#include "tools/media_writers/cd_image_writer.h"
#include "tools/media_writers/midi_writer.h"
#include "tools/media_writers/movie_writer.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_media_assets FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    if (!SixteenChannelSong(8, 120).Save(folder + "/song.mid", 1, 480)) {
        std::fprintf(stderr, "cannot write %s/song.mid\n", folder.c_str());
        return 1;
    }
    // Three tones, an octave's steps apart, as three tracks.
    if (!WriteCdImage(folder, "tones", {ToneSamples(440, 2), ToneSamples(660, 3), ToneSamples(880, 1.5)})) {
        std::fprintf(stderr, "cannot write %s/tones.cue\n", folder.c_str());
        return 1;
    }
    MovieSpec movie;
    movie.width = 640;
    movie.height = 480;
    movie.frames = 100;
    std::string error;
    if (!WriteMovie(folder + "/movie.avi", movie, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
