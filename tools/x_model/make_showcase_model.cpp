// Writes the showcase's 3D model into the folder given: spinner.x (MSZIP
// compressed), a textured ring with a small textured cube circling it, and
// its animation set "Orbit" (the ring turning about its own axis, the cube
// going round and tumbling), with the two textures ring.bmp and moon.bmp.
// The model names its textures RINGTEX and MOONTEX: the showcase carries all
// three as resources, so the model finds its textures wherever it runs.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/editor_bitmaps/picture.h"
#include "tools/x_model/shapes.h"

namespace {

constexpr float kTurn = 6.28318530718f;
constexpr uint32_t kLoopTicks = 240;  // the whole animation, at 60 ticks a second
constexpr int kKeys = 16;

// Rotation keys about one axis: kKeys + 1 steps of turns whole turns.
std::vector<XRotationKey> TurnKeys(std::array<float, 3> axis, float turns) {
    std::vector<XRotationKey> keys;
    for (int i = 0; i <= kKeys; ++i) {
        const float half = turns * kTurn * static_cast<float>(i) / kKeys / 2;
        keys.push_back({kLoopTicks * i / kKeys,
                        {std::cos(half), axis[0] * std::sin(half), axis[1] * std::sin(half), axis[2] * std::sin(half)}});
    }
    return keys;
}

// Position keys round a circle in the XZ plane.
std::vector<XVectorKey> CircleKeys(float radius) {
    std::vector<XVectorKey> keys;
    for (int i = 0; i <= kKeys; ++i) {
        const float angle = kTurn * static_cast<float>(i) / kKeys;
        keys.push_back({kLoopTicks * i / kKeys, {radius * std::cos(angle), 0.4f * std::sin(2 * angle), radius * std::sin(angle)}});
    }
    return keys;
}

// Bands of colour round the ring with a light checker over them, so that
// texture filtering and perspective show.
Picture RingTexture() {
    const Rgb bands[] = {{230, 90, 40}, {240, 200, 60}, {60, 170, 90}, {50, 110, 210}};
    Picture picture(64, 64, Rgb{});
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const Rgb band = bands[(x / 8) % 4];
            picture.Set(x, y, ((x / 4 + y / 4) % 2) ? band : Shade(band, 0.35));
        }
    return picture;
}

// A grey, pitted surface.
Picture MoonTexture() {
    Picture picture(32, 32, Rgb{170, 170, 180});
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const int grain = static_cast<int>((x * 37 + y * 91 + x * y * 13) % 29);
            picture.Set(x, y, Shade(Rgb{170, 170, 180}, (grain - 14) / 40.0));
        }
    for (const auto& [cx, cy, r] : {std::array<int, 3>{8, 9, 4}, {22, 20, 6}, {24, 6, 3}})
        for (int y = cy - r; y <= cy + r; ++y)
            for (int x = cx - r; x <= cx + r; ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) picture.Blend(x, y, Rgb{90, 90, 100}, 0.6);
    return picture;
}

XModel SpinnerModel() {
    XMaterial ring, moon;
    ring.textureFile = "RINGTEX";
    moon.textureFile = "MOONTEX";
    XModel model;
    model.frames.push_back({"Ring", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, {TorusMesh(32, 12, 1.3f, 0.45f, ring)}, {}});
    model.frames.push_back({"Moon", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 2.4f, 0, 0, 1}, {CubeMesh(0.35f, moon)}, {}});
    model.ticksPerSecond = 60;
    model.animationSetName = "Orbit";
    model.animations.push_back({"Ring", TurnKeys({0, 0, 1}, 1), {}, {}});
    model.animations.push_back({"Moon", TurnKeys({0.6f, 0.8f, 0}, 2), {}, CircleKeys(2.4f)});
    return model;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const std::vector<uint8_t> model = WriteXModel(SpinnerModel(), XEncoding::Compressed);
    std::ofstream file(folder + "/spinner.x", std::ios::binary);
    file.write(reinterpret_cast<const char*>(model.data()), static_cast<std::streamsize>(model.size()));
    const bool written = file.good() && WriteBmpFile(RingTexture(), folder + "/ring.bmp") &&
                         WriteBmpFile(MoonTexture(), folder + "/moon.bmp");
    if (!written) std::fprintf(stderr, "%s: could not write the model into %s\n", argv[0], folder.c_str());
    return written ? 0 : 1;
}
