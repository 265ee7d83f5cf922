// Breakout bricks for the two block sheets. A tile's row picks its colour and
// its sheet column picks its kind: plain bricks, studded, reinforced (hard),
// metal, indestructible plate, cracked, glass, neon, specials with stripes,
// jewels and item symbols. All tiles have transparent corners.
#include <cmath>
#include <cstdlib>

#include "tools/editor_bitmaps/editor_pictures.h"

namespace {

constexpr int W = TILE_WIDTH;
constexpr int H = TILE_HEIGHT;

constexpr Rgb HUES[SHEET_ROWS] = {
    {222, 52, 52},  {242, 132, 30},  {236, 206, 40}, {138, 206, 48}, {36, 168, 78},
    {28, 178, 170}, {62, 150, 232},  {62, 82, 212},  {150, 72, 210}, {226, 92, 158},
};

// Tile-local drawing: (x, y) inside the 30 x 12 tile at (ox, oy).
struct Tile {
    Picture& sheet;
    int ox, oy;
    void Set(int x, int y, Rgb c) const {
        if (x >= 0 && y >= 0 && x < W && y < H && !IsCorner(x, y)) sheet.Set(ox + x, oy + y, c);
    }
    void Blend(int x, int y, Rgb c, double a) const {
        if (x >= 0 && y >= 0 && x < W && y < H && !IsCorner(x, y)) sheet.Blend(ox + x, oy + y, c, a);
    }
    static bool IsCorner(int x, int y) { return (x == 0 || x == W - 1) && (y == 0 || y == H - 1); }
};

// A bevelled brick: face gradient from top to bottom, `bevel` pixels of light
// on the top and left edges and of dark on the bottom and right ones.
void Brick(const Tile& t, Rgb top, Rgb bottom, Rgb light, Rgb dark, int bevel) {
    for (int y = 0; y < H; ++y) {
        Rgb face = Mix(top, bottom, y / (H - 1.0));
        for (int x = 0; x < W; ++x) {
            int fromLeft = x, fromTop = y, fromRight = W - 1 - x, fromBottom = H - 1 - y;
            int nearLight = std::min(fromLeft, fromTop), nearDark = std::min(fromRight, fromBottom);
            Rgb c = face;
            if (nearDark < bevel && nearDark <= nearLight) c = dark;
            else if (nearLight < bevel) c = light;
            t.Set(x, y, c);
        }
    }
}

void Glossy(const Tile& t, Rgb hue, int = 0) {
    Brick(t, Shade(hue, 0.25), Shade(hue, -0.2), Shade(hue, 0.6), Shade(hue, -0.55), 1);
    for (int x = 2; x < W - 2; ++x) {
        t.Blend(x, 2, {255, 255, 255}, 0.45);
        t.Blend(x, 3, {255, 255, 255}, 0.2);
    }
}

void Studded(const Tile& t, Rgb hue, int) {
    Brick(t, Shade(hue, 0.1), Shade(hue, -0.25), Shade(hue, 0.5), Shade(hue, -0.55), 1);
    for (int cx : {7, 15, 23})
        for (int y = 3; y <= 8; ++y)
            for (int x = cx - 3; x <= cx + 2; ++x) {
                double dx = x - cx + 0.5, dy = y - 5.5;
                double d = std::sqrt(dx * dx + dy * dy);
                if (d > 2.9) continue;
                t.Set(x, y, d > 2.1 ? Shade(hue, -0.45) : Shade(hue, dx + dy < 0 ? 0.45 : 0.05));
            }
}

// Hard bricks: a thick two-pixel frame around a raised centre plate.
void Reinforced(const Tile& t, Rgb hue, int) {
    Brick(t, Shade(hue, -0.3), Shade(hue, -0.45), Shade(hue, 0.35), Shade(hue, -0.7), 2);
    for (int y = 3; y <= 8; ++y)
        for (int x = 5; x <= 24; ++x) {
            Rgb c = Shade(hue, 0.15 - (y - 3) * 0.05);
            if (y == 3 || x == 5) c = Shade(hue, 0.6);
            if (y == 8 || x == 24) c = Shade(hue, -0.5);
            t.Set(x, y, c);
        }
}

void Rivet(const Tile& t, int x, int y) {
    t.Set(x, y, {238, 240, 245});
    t.Set(x + 1, y, {150, 154, 164});
    t.Set(x, y + 1, {120, 124, 134});
    t.Set(x + 1, y + 1, {50, 52, 60});
}

// Brushed metal of the given colour, riveted at both ends.
void BrushedMetal(const Tile& t, Rgb steel) {
    Brick(t, steel, steel, Shade(steel, 0.7), Shade(steel, -0.6), 1);
    for (int y = 1; y < H - 1; ++y) {
        double wave = 0.28 * std::cos((y - 3) * 0.55);
        for (int x = 1; x < W - 1; ++x) {
            double grain = ((x * 7 + y * 13) % 5) * 0.02;
            t.Set(x, y, Shade(steel, wave - grain));
        }
    }
    Rivet(t, 3, 5);
    Rivet(t, W - 5, 5);
}

// Metal blocks: steel tinted by the row colour.
void Metal(const Tile& t, Rgb hue, int) { BrushedMetal(t, Mix({196, 202, 214}, hue, 0.35)); }

// Indestructible blocks: dark diamond plate with a coloured inner band.
void Plate(const Tile& t, Rgb hue, int) {
    Rgb gun{72, 78, 90};
    Brick(t, gun, Shade(gun, -0.2), Shade(gun, 0.55), Shade(gun, -0.7), 1);
    for (int y = 2; y < H - 2; ++y)
        for (int x = 2; x < W - 2; ++x) {
            bool band = x == 2 || y == 2 || x == W - 3 || y == H - 3;
            if (band) t.Set(x, y, Shade(hue, -0.1));
            else if ((x + y) % 4 == 0 || (x - y + 40) % 4 == 0) t.Set(x, y, Shade(gun, 0.35));
        }
}

// Cracked bricks: plain ones with a dark crack whose course depends on the row.
void Cracked(const Tile& t, Rgb hue, int row) {
    Glossy(t, hue);
    int x = 6 + row * 2, y = 1;
    while (y < H - 1) {
        t.Set(x, y, Shade(hue, -0.75));
        t.Set(x + 1, y, Shade(hue, 0.3));
        x += ((y * 5 + row) % 3) - 1;
        ++y;
    }
    for (int i = 1; i <= 4; ++i) t.Set(x - i - 1, H - 2 - i / 2, Shade(hue, -0.75));
}

void Checker(const Tile& t, Rgb hue, int) {
    Brick(t, hue, hue, Shade(hue, 0.55), Shade(hue, -0.6), 1);
    for (int y = 1; y < H - 1; ++y)
        for (int x = 1; x < W - 1; ++x)
            if (((x - 1) / 4 + (y - 1) / 5) % 2) t.Set(x, y, Shade(hue, -0.3));
}

void Glass(const Tile& t, Rgb hue, int) {
    Rgb pale = Mix(hue, {255, 255, 255}, 0.55);
    Brick(t, pale, Mix(hue, {255, 255, 255}, 0.3), Shade(hue, 0.2), Shade(hue, -0.35), 1);
    for (int y = 1; y < H - 1; ++y) {
        t.Blend(18 - y, y, {255, 255, 255}, 0.7);
        t.Blend(21 - y, y, {255, 255, 255}, 0.5);
    }
}

void Neon(const Tile& t, Rgb hue, int) {
    Brick(t, {24, 26, 38}, {16, 18, 28}, {58, 62, 80}, {8, 8, 14}, 1);
    for (int x = 2; x < W - 2; ++x)
        for (int y = 2; y < H - 2; ++y) {
            bool edge = x == 2 || y == 2 || x == W - 3 || y == H - 3;
            bool glow = x == 3 || y == 3 || x == W - 4 || y == H - 4;
            if (edge) t.Set(x, y, Shade(hue, 0.45));
            else if (glow) t.Set(x, y, Mix({24, 26, 38}, hue, 0.45));
        }
}

// Small bricks with mortar joints, half a brick offset between the courses.
void Masonry(const Tile& t, Rgb hue, int) {
    Rgb mortar = Shade(hue, -0.6);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            int course = y < 6 ? 0 : 1;
            int joint = (x + course * 5) % 10;
            bool isMortar = y == 5 || y == 11 || joint == 9;
            bool lit = !isMortar && (y == 0 || y == 6 || joint == 0);
            t.Set(x, y, isMortar ? mortar : lit ? Shade(hue, 0.4) : Shade(hue, -0.05 * (y % 6)));
        }
}

// Specials: diagonal stripes of the colour and its light tint.
void Striped(const Tile& t, Rgb hue, int) {
    Brick(t, hue, hue, Shade(hue, 0.7), Shade(hue, -0.6), 1);
    for (int y = 1; y < H - 1; ++y)
        for (int x = 1; x < W - 1; ++x)
            if ((x + y) % 6 < 3) t.Set(x, y, Shade(hue, 0.55));
}

// Specials: a faceted gem set in a dark brick.
void Jewel(const Tile& t, Rgb hue, int) {
    Brick(t, Shade(hue, -0.6), Shade(hue, -0.7), Shade(hue, -0.25), Shade(hue, -0.85), 1);
    for (int y = 1; y < H - 1; ++y)
        for (int x = 5; x < W - 5; ++x) {
            double dx = x - 14.5, dy = y - 5.5;
            if (std::abs(dx) / 8.5 + std::abs(dy) / 5.0 > 1.0) continue;
            double facet = dy < 0 ? (dx < 0 ? 0.55 : 0.25) : (dx < 0 ? -0.05 : -0.35);
            t.Set(x, y, Shade(hue, facet));
        }
    t.Set(12, 3, {255, 255, 255});
    t.Set(11, 4, {255, 255, 255});
}

// Item blocks: a white symbol on a plain brick, one symbol per row.
void Item(const Tile& t, Rgb hue, int row) {
    static constexpr const char* SYMBOLS[SHEET_ROWS][7] = {
        {"..#..", "..#..", "#####", "..#..", "..#..", ".....", "....."},  // plus
        {".....", ".....", "#####", ".....", ".....", ".....", "....."},  // minus
        {"#...#", ".#.#.", "..#..", ".#.#.", "#...#", ".....", "....."},  // cross
        {"..#..", ".###.", "#.#.#", "..#..", "..#..", ".....", "....."},  // up
        {"..#..", "..#..", "#.#.#", ".###.", "..#..", ".....", "....."},  // down
        {"..#..", ".#...", "#####", ".#...", "..#..", ".....", "....."},  // left
        {"..#..", "...#.", "#####", "...#.", "..#..", ".....", "....."},  // right
        {"..#..", "#####", ".###.", ".#.#.", "#...#", ".....", "....."},  // star
        {".###.", "#...#", "#...#", "#...#", ".###.", ".....", "....."},  // ring
        {".###.", "#...#", "..##.", ".....", "..#..", ".....", "....."},  // question
    };
    Glossy(t, Shade(hue, -0.15));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            if (SYMBOLS[row][y][x] != '#') continue;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) t.Set(13 + x + dx, 4 + y + dy, Shade(hue, -0.7));
        }
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            if (SYMBOLS[row][y][x] == '#') t.Set(13 + x, 4 + y, {255, 255, 255});
}

// Bonus blocks: a gold frame around the coloured face.
void Framed(const Tile& t, Rgb hue, int) {
    Rgb gold{226, 184, 64};
    Brick(t, Shade(gold, 0.2), Shade(gold, -0.2), Shade(gold, 0.6), Shade(gold, -0.55), 1);
    for (int y = 3; y < H - 3; ++y)
        for (int x = 3; x < W - 3; ++x) t.Set(x, y, Shade(hue, y == 3 ? 0.35 : -0.1 * (y - 4)));
}

void Fading(const Tile& t, Rgb hue, int) {
    Brick(t, hue, hue, Shade(hue, 0.6), Shade(hue, -0.6), 1);
    for (int y = 1; y < H - 1; ++y)
        for (int x = 1; x < W - 1; ++x) t.Set(x, y, Shade(hue, 0.7 * (x - 1) / (W - 3.0) - 0.3));
}

void Sparkle(const Tile& t, Rgb hue, int row) {
    Brick(t, {34, 30, 52}, {22, 20, 36}, {70, 64, 96}, {10, 8, 18}, 1);
    for (int y = 2; y < H - 2; ++y)
        for (int x = 2; x < W - 2; ++x) {
            int h = (x * 73 + y * 151 + row * 37) % 23;
            if (h == 0) t.Set(x, y, {255, 255, 255});
            else if (h < 4) t.Set(x, y, Shade(hue, 0.2));
        }
}

void DeepGlossy(const Tile& t, Rgb hue, int) { Glossy(t, Shade(hue, -0.45)); }
void PastelGlossy(const Tile& t, Rgb hue, int) { Glossy(t, Mix(hue, {235, 235, 240}, 0.55)); }
void BrassMetal(const Tile& t, Rgb hue, int) { BrushedMetal(t, Mix({224, 184, 92}, hue, 0.4)); }

// Ribbed blocks: vertical ridges, lit on their left side.
void Ribbed(const Tile& t, Rgb hue, int) {
    Brick(t, hue, Shade(hue, -0.2), Shade(hue, 0.55), Shade(hue, -0.6), 1);
    for (int y = 1; y < H - 1; ++y)
        for (int x = 2; x < W - 2; ++x) {
            if (x % 4 == 1) t.Set(x, y, Shade(hue, 0.4));
            if (x % 4 == 3) t.Set(x, y, Shade(hue, -0.45));
        }
}

// The empty cell: a faint outline, transparent inside, so that empty map
// cells draw a grid and filled ones cover it.
void EmptyTile(const Tile& t) {
    Rgb line{44, 52, 74};
    for (int x = 1; x < W - 1; ++x) {
        t.Set(x, 0, line);
        t.Set(x, H - 1, line);
    }
    for (int y = 1; y < H - 1; ++y) {
        t.Set(0, y, line);
        t.Set(W - 1, y, line);
    }
}

using TileStyle = void (*)(const Tile&, Rgb, int);

constexpr TileStyle SHEET_STYLES[2][SHEET_COLUMNS] = {
    {Glossy, Studded, Reinforced, Metal, Plate, Cracked, Checker, Glass, Neon, Masonry},
    {Striped, Jewel, Item, Framed, Fading, Sparkle, DeepGlossy, PastelGlossy, BrassMetal, Ribbed},
};

}  // namespace

Picture MakeBlockSheet(int sheet) {
    Picture picture(W * SHEET_COLUMNS, H * SHEET_ROWS, KEY_COLOR);
    for (int column = 0; column < SHEET_COLUMNS; ++column)
        for (int row = 0; row < SHEET_ROWS; ++row) {
            Tile tile{picture, column * W, row * H};
            if (sheet == 1 && column == 0 && row == 0) EmptyTile(tile);
            else SHEET_STYLES[sheet - 1][column](tile, HUES[row], row);
        }
    picture.ReduceTo565(false);
    return picture;
}
