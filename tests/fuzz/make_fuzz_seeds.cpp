// Writes the fuzz targets' starting inputs, one folder per target, with the
// project's own encoders and the editor's own stage files.
//   make_fuzz_seeds OUTPUT_FOLDER
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "editor/stage_set.h"
#include "platform/dplay/wire_protocol.h"
#include "tests/fuzz/media_seeds.h"
#include "tools/bmp_encoder/bmp_encoder.h"
#include "tools/kbm_encoder/kbm_encoder.h"
#include "tools/picture_writers/picture_writers.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A small picture with flat areas, edges and a gradient.
std::vector<uint32_t> Picture(int width, int height) {
    std::vector<uint32_t> rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            rgb.push_back(x < width / 2 ? 0xF82010u : static_cast<uint32_t>((x * 255 / width) << 8 | (y * 255 / height)));
    return rgb;
}

void WritePictureSeeds(const fs::path& out) {
    for (const BmpVariant& variant : AllBmpVariants()) WriteSeed(out / "bmp" / (std::string(variant.name) + ".bmp"), EncodeBmp(variant));
    for (const auto& [w, h] : {std::pair{1, 1}, {4, 1}, {13, 7}, {32, 16}})
        WriteSeed(out / "kbm" / (std::to_string(w) + "x" + std::to_string(h) + ".kbm"), EncodeKbm(w, h, Picture(w, h)));
    WritePng((out / "pngpicture/rgb.png").string(), 13, 7, Picture(13, 7));
    WritePng((out / "pngpicture/alpha.png").string(), 4, 2, Picture(4, 2), {0, 64, 128, 255, 255, 128, 64, 0});
    WriteJpeg((out / "jpegpicture/rgb.jpg").string(), 16, 16, Picture(16, 16));
    std::vector<uint8_t> inks;
    for (const uint32_t c : Picture(16, 8))
        for (const int shift : {16, 8, 0, 4}) inks.push_back(static_cast<uint8_t>(c >> shift));
    WriteCmykJpeg((out / "jpegpicture/cmyk.jpg").string(), 16, 8, inks, false);
    WriteCmykJpeg((out / "jpegpicture/ycck.jpg").string(), 16, 8, inks, true);
    const std::vector<uint32_t> palette = {0x000000, 0xF80000, 0x00F800, 0x0000F8};
    WriteGif((out / "gifpicture/frame.gif").string(), 6, 4, 2, palette, GifFrame{1, 1, 4, 2, {1, 3, 0, 1, 0, 1, 1, 3}, 3});
}

// The sample stages as the editor saves them: each file alone, and the first
// three one after another (the stage target cuts its input in three).
void WriteStageSeeds(const fs::path& out) {
    const fs::path work = fs::temp_directory_path() / ("fuzz-seeds-" + std::to_string(getpid()));
    fs::create_directories(work / "user/s1");
    const fs::path previous = fs::current_path();
    fs::current_path(work);
    BuildSampleStages();
    gUserSlot = 1;
    SaveStageFiles();
    fs::current_path(previous);
    std::vector<uint8_t> three;
    for (int n = 1; n <= 8; ++n) {
        char name[32];
        std::snprintf(name, sizeof(name), "stage%03d.clb", n);
        const std::vector<uint8_t> bytes = ReadBytes(work / "user/s1" / name);
        WriteSeed(out / "stage_file" / name, bytes);
        if (n <= 3) three.insert(three.end(), bytes.begin(), bytes.end());
    }
    WriteSeed(out / "stage_file/three.clb", three);
    fs::remove_all(work);
}

void WriteScriptSeeds(const fs::path& out) {
    const std::string script =
        "# a session\n1 move 290 220\n1 press lbutton\n2 release lbutton\n5 press F3\n6 release 0x72\n"
        "7 answer yes\n8 capture frame.png\n9 stall 20\n10 lose-surfaces\n11 deactivate\n12 activate\n20 close\n";
    WriteSeed(out / "input_script/session.txt", {script.begin(), script.end()});
}

// One packet of every kind the session protocol has, with its fields at
// their defaults.
template <size_t... Kinds>
void WritePacketSeeds(const fs::path& out, std::index_sequence<Kinds...>) {
    (WriteSeed(out / "network_packet" / ("kind" + std::to_string(Kinds)),
                wire::Encode(wire::Packet(std::in_place_index<Kinds>))),
     ...);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds OUTPUT_FOLDER\n");
        return 2;
    }
    const fs::path out = argv[1];
    for (const char* target : {"pngpicture", "jpegpicture", "gifpicture"}) fs::create_directories(out / target);
    WritePictureSeeds(out);
    WriteStageSeeds(out);
    WriteScriptSeeds(out);
    WritePacketSeeds(out, std::make_index_sequence<std::variant_size_v<wire::Packet>>());
    WriteMediaSeeds(out);
    return 0;
}
