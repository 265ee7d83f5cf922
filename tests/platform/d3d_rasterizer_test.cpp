// The rasteriser on its own: exact coverage along shared edges, depth order,
// perspective-correct texturing.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/d3d/rasterizer.h"

namespace {

constexpr int SIDE = 64;

// A 32-bit colour buffer and a 16-bit depth buffer of SIDE x SIDE.
struct Canvas {
    std::vector<uint32_t> pixels = std::vector<uint32_t>(SIDE * SIDE, 0);
    std::vector<uint16_t> depths = std::vector<uint16_t>(SIDE * SIDE, 0xFFFF);
    RenderTarget target;

    Canvas() {
        target.color = {reinterpret_cast<uint8_t*>(pixels.data()), SIDE, SIDE, SIDE * 4, {32, 0xFF0000, 0xFF00, 0xFF}};
        target.depth = reinterpret_cast<uint8_t*>(depths.data());
        target.depthPitch = SIDE * 2;
        target.depthBits = 16;
        target.clip = {0, 0, SIDE, SIDE};
    }
    uint32_t At(int x, int y) const { return pixels[y * SIDE + x]; }
};

RasterVertex Vertex(float x, float y, float z = 0.5f, uint8_t grey = 200) {
    return {x, y, z, 1, 0, 0, static_cast<float>(grey), static_cast<float>(grey), static_cast<float>(grey)};
}

}  // namespace

// A fan of thin and wide triangles around an off-grid centre, drawn one by
// one: every pixel whose centre lies inside the fan's outline is drawn by
// exactly one triangle, and none outside.
TEST(Rasterizer, FansCoverEveryPixelOnceTheNearerTriangleShowsAndPerspectiveTexturesFollowTheProjectedLine) {
    const float cx = 31.375f, cy = 29.8125f;
    std::vector<RasterVertex> rim;
    const int spokes = 23;
    for (int i = 0; i < spokes; ++i) {
        const float angle = static_cast<float>(i) * 6.2831853f / spokes + 0.01f * static_cast<float>(i % 3);
        // On the 1/16-pixel grid the rasteriser snaps to, so the check below is exact.
        rim.push_back(Vertex(std::round((cx + 27.3f * std::cos(angle)) * 16) / 16,
                             std::round((cy + 25.9f * std::sin(angle)) * 16) / 16));
    }
    std::vector<int> counts(SIDE * SIDE, 0);
    const RasterVertex centre = Vertex(cx, cy);
    for (int i = 0; i < spokes; ++i) {
        Canvas canvas;
        // Clockwise on the screen (y grows downwards).
        DrawTriangle(canvas.target, &centre, &rim[i], &rim[(i + 1) % spokes], {});
        for (int p = 0; p < SIDE * SIDE; ++p) counts[p] += canvas.pixels[p] != 0;
    }
    std::vector<std::string> wrong;
    for (int y = 0; y < SIDE; ++y) {
        for (int x = 0; x < SIDE; ++x) {
            // Inside the rim polygon: on the inner side of every rim edge.
            const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
            bool inside = true, onEdge = false;
            for (int i = 0; i < spokes; ++i) {
                const RasterVertex& a = rim[i];
                const RasterVertex& b = rim[(i + 1) % spokes];
                const float side = (b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x);
                if (side == 0) onEdge = true;
                if (side < 0) inside = false;
            }
            const int expected = inside ? 1 : 0;
            if (!onEdge && counts[y * SIDE + x] != expected)
                wrong.push_back("(" + std::to_string(x) + "," + std::to_string(y) + ")=" + std::to_string(counts[y * SIDE + x]));
        }
    }
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " pixels drawn a wrong number of times, first: "
                               << (wrong.empty() ? "" : wrong.front());
    // Two rectangles cross along a diagonal line of depth: each pixel shows the
    // nearer one, in whichever order they are drawn.
    auto quad = [](Canvas& canvas, float zLeft, float zRight, uint8_t grey) {
        const RasterVertex a = Vertex(4, 4, zLeft, grey), b = Vertex(60, 4, zRight, grey), c = Vertex(60, 60, zRight, grey),
                           d = Vertex(4, 60, zLeft, grey);
        DrawTriangle(canvas.target, &a, &b, &c, {});
        DrawTriangle(canvas.target, &a, &c, &d, {});
    };
    Canvas first, second;
    quad(first, 0.2f, 0.8f, 100);  // near on the left
    quad(first, 0.8f, 0.2f, 250);  // near on the right
    quad(second, 0.8f, 0.2f, 250);
    quad(second, 0.2f, 0.8f, 100);
    EXPECT_EQ(first.pixels, second.pixels);
    EXPECT_EQ(first.At(10, 30), 0x646464u);
    EXPECT_EQ(first.At(54, 30), 0xFAFAFAu);
    // A floor plane seen in perspective whose texture is black for u < 0.25 and
    // white beyond: the boundary is the straight line x = -0.5 of the floor,
    // exactly where it projects on every row. Without perspective it misses.
    TextureLevel stripes{4, 1, {0xFF000000u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}};
    // The camera-space floor y = -1 from z = 1 to 5, x from -1 to 1, focal length 32.
    auto project = [](float x, float z, float u) {
        return RasterVertex{32 + x * 32 / z, 32 + 32 / z, z / 8, 1 / z, u, 0, 255, 255, 255};
    };
    const RasterVertex nearLeft = project(-1, 1, 0), nearRight = project(1, 1, 1), farLeft = project(-1, 5, 0),
                       farRight = project(1, 5, 1);
    auto firstWhiteColumns = [&](bool perspective) {
        Canvas canvas;
        TriangleStyle style;
        style.texture = &stripes;
        style.perspective = perspective;
        DrawTriangle(canvas.target, &farLeft, &farRight, &nearRight, style);
        DrawTriangle(canvas.target, &farLeft, &nearRight, &nearLeft, style);
        std::vector<int> columns;
        for (int y = 40; y < 63; ++y) {
            int x = 0;
            while (x < SIDE && canvas.At(x, y) != 0xFFFFFFu) ++x;
            columns.push_back(x);
        }
        return columns;
    };
    // On row y the line x = -0.5 lies at screen x = 32 - 16 / z with z = 32 / (y + 0.5 - 32).
    std::vector<int> expected;
    for (int y = 40; y < 63; ++y) expected.push_back(static_cast<int>(std::ceil(32 - (y + 0.5f - 32) / 2 - 0.5f)));
    EXPECT_EQ(firstWhiteColumns(true), expected);
    EXPECT_NE(firstWhiteColumns(false), expected) << "an affine mapping should miss the line";
}
