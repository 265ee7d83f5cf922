// The software rasteriser: triangles, lines and points with a Z buffer into a
// 16-bit (5-6-5 or 5-5-5) or 32-bit colour buffer. Triangle edges are exact:
// vertices are snapped to 1/16 pixel and each row's span is found with
// integer arithmetic, a pixel being covered when its centre lies inside, or
// on a left or top edge (so neighbouring triangles neither leave gaps nor
// draw a pixel twice). Attributes are planes over the snapped triangle;
// texture coordinates are interpolated perspective-correct when asked.
// Output depends only on the input: golden pictures stay exact.
#pragma once

#include <cstdint>

#include "platform/d3d/texture.h"
#include "platform/gdi/pixel_buffer.h"

struct RenderTarget {
    PixelBuffer color;  // 16 bits (5-6-5 or 5-5-5) or 32 bits (8-8-8)
    uint8_t* depth = nullptr;
    int depthPitch = 0;
    int depthBits = 16;  // 16, or 24/32 (kept in 32-bit cells at 24-bit precision)
    RECT clip{};         // the viewport: what may be drawn
};

// A vertex after projection.
struct RasterVertex {
    float x, y;        // pixels; (0, 0) is the top-left corner of the top-left pixel
    float z;           // depth 0 (front plane) to 1 (back plane)
    float w;           // 1 / camera distance
    float u, v;        // texture coordinates
    float r, g, b;     // lit colour 0..255
};

enum class TextureFilter { Nearest, Linear };

struct TriangleStyle {
    const TextureLevel* texture = nullptr;  // none: the colour alone
    TextureFilter filter = TextureFilter::Nearest;
    bool perspective = false;
    float alpha = 1;  // below 1: blended over what is there
    bool dither = false;
};

// Whether this format and depth can be drawn into.
bool CanRasterize(const PixelFormat& format, int depthBits);

// Draws the triangle when its corners run clockwise on the screen.
void DrawTriangle(const RenderTarget& target, const RasterVertex* a, const RasterVertex* b, const RasterVertex* c,
                  const TriangleStyle& style);
// A one-pixel line, end point included, in the colour of a, depth-tested.
void DrawLine(const RenderTarget& target, const RasterVertex& a, const RasterVertex& b);
void DrawPoint(const RenderTarget& target, const RasterVertex& a);
// The whole clip rectangle in one colour (0x00RRGGBB), depth at the back.
void ClearTarget(const RenderTarget& target, uint32_t rgb);

// A pixel value of the target's format for an 8-bit colour.
uint32_t PackColor(const PixelFormat& format, int r, int g, int b);
