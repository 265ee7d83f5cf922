// pack ARCHIVE PATH...: packs files and folders (paths inside the current
// folder) into a pack archive.
#include <cstdio>

#include "tools/pack/pack_writer.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s ARCHIVE PATH...\n", argv[0]);
        return 2;
    }
    std::string error;
    if (!WritePackArchive(argv[1], std::vector<std::string>(argv + 2, argv + argc), &error)) {
        std::fprintf(stderr, "pack: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
