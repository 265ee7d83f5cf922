// Drawing a frame hierarchy as a camera sees it: vertices into camera space,
// lighting per vertex (Gouraud) or per face (flat), clipping against the
// front and back planes (and a guard band far outside the viewport),
// projection, and triangles, lines or points to the rasteriser. Blended
// faces are drawn after the opaque ones, back to front when sorting is on.
#pragma once

#include "platform/d3d/frame.h"
#include "platform/d3d/rasterizer.h"

struct RenderSettings {
    D3DRMRENDERQUALITY quality = D3DRMRENDER_GOURAUD;
    D3DRMTEXTUREQUALITY textureQuality = D3DRMTEXTURE_NEAREST;
    DWORD renderMode = 0;
    D3DCOLORMODEL colorModel = D3DCOLOR_RGB;
    DWORD shades = 32;  // grey levels of lighting on a MONO device
    bool dither = false;
};

struct ViewVolume {
    float front = 1;
    float back = 100;
    float field = 0.5f;  // half-width of the view at distance 1
};

// Draws frame and its descendants into target (its clip rectangle is the viewport).
void RenderFrames(const RenderTarget& target, const RenderSettings& settings, const ViewVolume& volume, RmFrame* camera,
                  RmFrame* frame);
