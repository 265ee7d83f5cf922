// An RGB picture in memory with the few drawing helpers the editor's bitmaps
// need, the reduction to colours a 5-6-5 display shows unchanged, and the
// writer for 24-bit bottom-up Windows bitmaps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// The transparent colour of every keyed picture (its top-left pixel).
constexpr Rgb KEY_COLOR{255, 0, 255};

// a + (b - a) * t per channel, t in 0..1, rounded.
Rgb Mix(Rgb a, Rgb b, double t);
// Towards white (amount > 0) or black (amount < 0), amount in -1..1.
Rgb Shade(Rgb color, double amount);

class Picture {
public:
    Picture(int width, int height, Rgb fill);

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb Get(int x, int y) const { return pixels_[y * width_ + x]; }
    // Writes outside the picture are dropped, so shapes may overhang.
    void Set(int x, int y, Rgb color);
    // Covers the pixel with color at opacity alpha (0..1).
    void Blend(int x, int y, Rgb color, double alpha);
    void FillRect(int x, int y, int w, int h, Rgb color);
    // Copies all of source with its top-left corner at (x, y).
    void Paste(const Picture& source, int x, int y);
    // Rounds every channel to the nearest 5-6-5 level (with an ordered 4 x 4
    // dither when asked, for smooth gradients); key pixels stay as they are.
    void ReduceTo565(bool dither);

private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

// The file image: 14-byte file header, 40-byte info header, 24-bit rows
// bottom-up, each padded to four bytes.
std::vector<uint8_t> EncodeBmp(const Picture& picture);
// Returns false when the file cannot be written.
bool WriteBmpFile(const Picture& picture, const std::string& path);
