// The editor's pictures other than blocks and fonts: background, map frame,
// pen-marker ring and eraser, pointer, ball and gauge. Keyed shapes have hard
// edges (the key cannot be blended), with a dark rim where they meet it.
#include <algorithm>
#include <cmath>

#include "tools/editor_bitmaps/editor_pictures.h"

namespace {

// Signed distance from the centre of pixel (x, y) to the rounded box whose
// edges are the pixel boundaries left..right and top..bottom; negative inside.
double RoundedBoxDistance(int x, int y, double left, double top, double right, double bottom, double radius) {
    double qx = std::abs(x + 0.5 - (left + right) / 2) - (right - left) / 2 + radius;
    double qy = std::abs(y + 0.5 - (top + bottom) / 2) - (bottom - top) / 2 + radius;
    double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

// The pen-marker ring of one animation frame on a 90 x 36 picture whose
// centre 30 x 12 cell is the marked palette cell. Frame 0 hugs the cell
// brightest; higher frames stand further out and fade towards orange.
Picture MakeMarkerRing(int frame) {
    Picture ring(3 * TILE_WIDTH, 3 * TILE_HEIGHT, KEY_COLOR);
    const double gapX = 1 + 3 * frame, gapY = 1 + 2 * frame;
    const Rgb core = Mix({255, 250, 200}, {255, 150, 30}, frame / 3.0);
    const Rgb rim{40, 20, 0};
    for (int y = 0; y < ring.height(); ++y)
        for (int x = 0; x < ring.width(); ++x) {
            double d = RoundedBoxDistance(x, y, TILE_WIDTH - gapX, TILE_HEIGHT - gapY, 2 * TILE_WIDTH + gapX,
                                          2 * TILE_HEIGHT + gapY, 3);
            if (d >= 0 && d < 2) ring.Set(x, y, d < 1 ? core : Shade(core, -0.2));
            else if (d >= -1 && d < 3) ring.Set(x, y, rim);
        }
    return ring;
}

// The eraser, drawn additively over the cell under the pointer: a faint red
// wash with a brighter cross and border.
void PaintEraser(Picture& sheet, int ox, int oy) {
    for (int y = 0; y < TILE_HEIGHT; ++y)
        for (int x = 0; x < TILE_WIDTH; ++x) {
            bool border = x == 0 || y == 0 || x == TILE_WIDTH - 1 || y == TILE_HEIGHT - 1;
            double diagonal = (x + 0.5) * (TILE_HEIGHT - 1.0) / TILE_WIDTH;
            bool cross = std::abs(y - diagonal) < 0.75 || std::abs((TILE_HEIGHT - 1 - y) - diagonal) < 0.75;
            Rgb c = border ? Rgb{110, 96, 104} : cross ? Rgb{170, 70, 60} : Rgb{44, 24, 24};
            sheet.Set(ox + x, oy + y, c);
        }
}

// Inside test for a polygon (even-odd rule) at the centre of pixel (x, y).
bool InsidePolygon(const double (*points)[2], int count, int x, int y) {
    double px = x + 0.5, py = y + 0.5;
    bool inside = false;
    for (int i = 0, j = count - 1; i < count; j = i++) {
        double xi = points[i][0], yi = points[i][1], xj = points[j][0], yj = points[j][1];
        if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
}

}  // namespace

Picture MakeMarkerSheet() {
    // Piece placement: offset of the piece from the marked cell, in cells, and
    // its first source row.
    static constexpr int PIECES[8][3] = {
        {-1, -1, 36}, {0, -1, 24}, {1, -1, 12}, {-1, 0, 72},
        {1, 0, 48},   {-1, 1, 108}, {0, 1, 96}, {1, 1, 84},
    };
    Picture sheet(5 * TILE_WIDTH, 10 * TILE_HEIGHT, KEY_COLOR);
    for (int frame = 0; frame < 4; ++frame) {
        Picture ring = MakeMarkerRing(frame);
        for (const auto& piece : PIECES)
            for (int y = 0; y < TILE_HEIGHT; ++y)
                for (int x = 0; x < TILE_WIDTH; ++x)
                    sheet.Set(frame * TILE_WIDTH + x, piece[2] + y,
                              ring.Get((piece[0] + 1) * TILE_WIDTH + x, (piece[1] + 1) * TILE_HEIGHT + y));
    }
    PaintEraser(sheet, 4 * TILE_WIDTH, 0);
    sheet.ReduceTo565(false);
    return sheet;
}

Picture MakeBackground() {
    Picture picture(640, 480, {});
    const Rgb top{42, 52, 72}, bottom{14, 18, 30};
    for (int y = 0; y < picture.height(); ++y) {
        Rgb row = Mix(top, bottom, y / 479.0);
        for (int x = 0; x < picture.width(); ++x) {
            double dx = (x - 320) / 320.0, dy = (y - 240) / 240.0;
            Rgb c = Shade(row, -0.22 * (dx * dx + dy * dy) / 2);
            if (x % 8 == 4 && y % 8 == 4) c = Shade(c, 0.07);
            if (y < 38) c = Shade(c, 0.05);
            if (y == 38) c = Shade(c, 0.16);
            if (y == 39) c = Shade(c, -0.4);
            picture.Set(x, y, c);
        }
    }
    picture.ReduceTo565(true);
    return picture;
}

Picture MakeMapFrame() {
    // The map grid lies at (15, 15) .. (405, 423) of this picture; the frame
    // is a seven-pixel bevelled band around it on a dark panel.
    static constexpr Rgb BAND[7] = {{8, 10, 18},    {176, 190, 216}, {128, 144, 176}, {104, 120, 152},
                                    {84, 98, 128},  {36, 42, 60},    {6, 8, 14}};
    const Rgb panel{14, 17, 28};
    Picture picture(420, 430, KEY_COLOR);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            double d = -RoundedBoxDistance(x, y, 8, 8, 412, 430, 5);
            if (d <= 0) continue;
            int depth = static_cast<int>(d);
            if (depth >= 7) {
                picture.Set(x, y, Shade(panel, 0.05 * (1.0 - y / 430.0)));
                continue;
            }
            // Top and left sides catch the light, bottom and right ones lie in shade.
            bool lit = std::min(x - 8, y - 8) <= std::min(411 - x, 429 - y);
            Rgb c = BAND[depth];
            picture.Set(x, y, depth == 0 || depth == 6 ? c : Shade(c, lit ? 0.12 : -0.22));
        }
    picture.ReduceTo565(false);
    return picture;
}

Picture MakeCursor() {
    static constexpr double ARROW[7][2] = {{1, 1}, {1, 19}, {5.5, 15}, {9, 22.5}, {12, 21}, {8.7, 14}, {14.5, 14}};
    Picture picture(32, 32, KEY_COLOR);
    auto inside = [](int x, int y) { return InsidePolygon(ARROW, 7, x, y); };
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            bool rim = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) rim = rim || inside(x + dx, y + dy);
            if (inside(x, y)) picture.Set(x, y, Mix({255, 255, 255}, {196, 212, 236}, y / 24.0));
            else if (rim) picture.Set(x, y, {10, 12, 22});
            else if (inside(x - 2, y - 2)) picture.Set(x, y, {30, 34, 48});
        }
    picture.Set(0, 0, KEY_COLOR);
    picture.ReduceTo565(false);
    return picture;
}

Picture MakeBall() {
    Picture picture(16, 16, KEY_COLOR);
    const Rgb base{186, 206, 236}, edge{18, 22, 34};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            double nx = (x + 0.5 - 8) / 7, ny = (y + 0.5 - 8) / 7;
            double r2 = nx * nx + ny * ny;
            if (r2 > 1.0) continue;
            double nz = std::sqrt(1 - r2);
            double diffuse = std::max(0.0, -0.45 * nx - 0.55 * ny + 0.70 * nz);
            double specular = std::pow(std::max(0.0, -0.3 * nx - 0.4 * ny + 0.87 * nz), 24);
            Rgb c = Shade(Shade(base, diffuse - 0.75), specular);
            // The outermost ring fades into a dark rim instead of the key.
            picture.Set(x, y, Mix(c, edge, std::clamp((r2 - 0.8) * 5, 0.0, 0.7)));
        }
    picture.ReduceTo565(false);
    return picture;
}

Picture MakeChainGauge() {
    // Row 0..15: the empty gauge; row 16..31: the full one, green to red.
    Picture picture(160, 32, {});
    for (int strip = 0; strip < 2; ++strip)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 160; ++x) {
                Rgb heat = x < 80 ? Mix({40, 200, 80}, {240, 220, 40}, x / 80.0)
                                  : Mix({240, 220, 40}, {236, 60, 40}, (x - 80) / 80.0);
                Rgb face = strip ? Shade(heat, 0.2 - std::abs(y - 6) * 0.07) : Rgb{22, 26, 38};
                if (y == 0 || x == 0) face = {120, 130, 156};
                if (y == 15 || x == 159) face = {8, 10, 16};
                // Interlocking chain links: flat rings, every other one seen edge-on.
                double cx = (x % 10) - 4.5, cy = y - 7.5;
                bool flat = (x / 10) % 2 == 0;
                double ring = flat ? std::hypot(cx / 6.0, cy / 4.0) : std::hypot(cx / 6.0, cy / 1.6);
                if (y > 0 && y < 15 && ring > 0.72 && ring < 1.0)
                    face = strip ? Shade(face, flat ? 0.55 : -0.3) : Rgb{70, 78, 100};
                picture.Set(x, 16 * strip + y, face);
            }
    picture.ReduceTo565(false);
    return picture;
}
