// Screen transitions, one step a frame, on a screen of 640 x 480: the dot
// dissolve writes the back buffer's pixels directly (8 and 16 bits per pixel);
// blinds and sweeps cover strips with a colour or with a slot's own pixels.
#include <cstddef>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "framework/app/app.h"
#include "framework/display/display.h"
#include "framework/draw/draw.h"
#include "framework/draw/gdi_draw.h"
#include "framework/draw/locked_surface.h"
#include "framework/draw/transitions.h"

namespace {

constexpr int BAND = 16;  // the period of the blinds and of the sweeps' grading
constexpr int BAND_COUNT = 40;

// Dissolve level n covers all but every DISSOLVE_STRIDE[n]-th pixel up to
// level 10, and from level 11 only every DISSOLVE_STRIDE[20 - n]-th pixel.
constexpr int DISSOLVE_STRIDE[11] = {-1, 103, 76, 51, 38, 25, 18, 13, 7, 3, 2};

int32_t gBlindsX = 0, gBlindsY = 0;
int32_t gSweepX = 0, gSweepY = 0;

// Moves a blinds or sweep counter one notch: up towards covered, down towards
// uncovered. 1 when it already stood at that end.
int StepCounter(int32_t* counter, int maximum, int reveal) {
    if (!reveal && *counter < maximum) {
        ++*counter;
        return 0;
    }
    if (reveal && *counter > 0) {
        --*counter;
        return 0;
    }
    return 1;
}

// One strip of a cover (right and bottom exclusive), clipped to the clip rectangle.
void DrawCoverStrip(int left, int top, int right, int bottom, uint32_t color, int slot) {
    if (slot != -1)
        DrawImage(left, top, slot, left, top, right, bottom);
    else
        DrawFilledRect(left, top, right, bottom, color);
}

// Bytes of dst replaced by those of cover wherever keep has zero bits.
void CoverBytes(uint8_t* dst, const uint8_t* keep, const uint8_t* cover, size_t count) {
    size_t i = 0;
#ifdef __SSE2__
    for (; i + 16 <= count; i += 16) {
        const __m128i k = _mm_loadu_si128(reinterpret_cast<const __m128i*>(keep + i));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cover + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_or_si128(_mm_and_si128(k, d), _mm_andnot_si128(k, c)));
    }
#endif
    for (; i < count; ++i) dst[i] = static_cast<uint8_t>((keep[i] & dst[i]) | (~keep[i] & cover[i]));
}

// The dissolve's pixels inside the clip rectangle. Pixel (x, y) is number
// k = y * screenWidth + x; a covering level writes every pixel but those whose
// number is a multiple of the stride, a thinning level only those. One mask
// of which pixels keep the scene serves every row, entered at the row's phase.
template <typename Pixel>
void DissolvePixels(const LockedPixels<Pixel>& screen, Pixel color, int stride, bool covering) {
    const int left = gDisplay.clipLeft, width = gDisplay.clipRight - gDisplay.clipLeft;
    if (width <= 0) return;
    std::vector<Pixel> keep(static_cast<size_t>(width + stride)), cover(static_cast<size_t>(width), color);
    for (size_t j = 0; j < keep.size(); ++j)
        keep[j] = (j % stride == 0) == covering ? static_cast<Pixel>(~Pixel{0}) : Pixel{0};
    for (int y = gDisplay.clipTop; y < gDisplay.clipBottom; ++y) {
        const int phase = (y * gDisplay.screenWidth + left) % stride;
        CoverBytes(reinterpret_cast<uint8_t*>(screen.Row(y) + left), reinterpret_cast<const uint8_t*>(&keep[phase]),
                   reinterpret_cast<const uint8_t*>(cover.data()), sizeof(Pixel) * static_cast<size_t>(width));
    }
}

}  // namespace

void ResetDissolve(int reveal) { gApp.fadeLevel = reveal ? DISSOLVE_STEPS : 0; }

int StepDissolve(int reveal, uint32_t color) {
    if (reveal && gApp.fadeLevel < DISSOLVE_STEPS)
        ++gApp.fadeLevel;
    else if (!reveal && gApp.fadeLevel > 0)
        --gApp.fadeLevel;
    const int level = gApp.fadeLevel;
    if (level >= DISSOLVE_STEPS) return 1;
    if (level <= 0) {
        ClearScreen(color);
        return 1;
    }
    if (!gDisplay.backBuffer) return 1;
    const uint32_t pixel = MatchColor(gDisplay.backBuffer, color);
    const bool covering = level <= DISSOLVE_STEPS / 2;
    const int stride = DISSOLVE_STRIDE[covering ? level : DISSOLVE_STEPS - level];
    // Only 8 and 16 bits per pixel have a dissolve; other depths skip the drawing.
    if (gDisplay.bitDepth == 16) {
        LockedPixels<uint16_t> screen;
        if (screen.Lock(gDisplay.backBuffer) != DD_OK) return 1;
        DissolvePixels(screen, static_cast<uint16_t>(pixel), stride, covering);
    } else if (gDisplay.bitDepth == 8) {
        LockedPixels<uint8_t> screen;
        if (screen.Lock(gDisplay.backBuffer) != DD_OK) return 1;
        DissolvePixels(screen, static_cast<uint8_t>(pixel), stride, covering);
    }
    return 0;
}

void ResetBlinds(int reveal) { gBlindsX = gBlindsY = reveal ? 0 : BLINDS_STEPS; }

// In each 16-pixel column a strip of the counter's width grows leftwards from
// the column's right edge.
int StepBlindsX(int reveal, uint32_t color, int slot) {
    const int result = StepCounter(&gBlindsX, BLINDS_STEPS, reveal);
    for (int i = 0; i < BAND_COUNT; ++i) {
        const int right = SCREEN_WIDTH - BAND * i;
        DrawCoverStrip(right - gBlindsX, 0, right, SCREEN_HEIGHT, color, slot);
    }
    return result;
}

// In each 16-row band a strip of the counter's height grows downwards from
// the band's top.
int StepBlindsY(int reveal, uint32_t color, int slot) {
    const int result = StepCounter(&gBlindsY, BLINDS_STEPS, reveal);
    for (int i = 0; i < BAND_COUNT; ++i) {
        const int top = SCREEN_HEIGHT - BAND * i;
        DrawCoverStrip(0, top, SCREEN_WIDTH, top + gBlindsY, color, slot);
    }
    return result;
}

void ResetSweeps(int reveal) {
    gSweepX = reveal ? 0 : SWEEP_X_STEPS;
    gSweepY = reveal ? 0 : SWEEP_Y_STEPS;
}

// Strip v of the counter p + 1 strips is v pixels wide with a gap of 15 - v
// after it: solid from the 16th strip on, thinning out towards its left end
// at 640 - 16p. A growing counter moves the pattern leftwards.
int StepSweepX(int reveal, uint32_t color, int slot) {
    const int result = StepCounter(&gSweepX, SWEEP_X_STEPS, reveal);
    const int start = SCREEN_WIDTH - BAND * gSweepX;
    for (int v = 0; v <= gSweepX; ++v)
        DrawCoverStrip(start + (BAND - 1) * v, 0, start + BAND * v, SCREEN_HEIGHT, color, slot);
    return result;
}

// The same grading along the rows: solid at the top of the screen, thinning
// downwards towards row 16p.
int StepSweepY(int reveal, uint32_t color, int slot) {
    const int result = StepCounter(&gSweepY, SWEEP_Y_STEPS, reveal);
    for (int v = 0; v <= gSweepY; ++v)
        DrawCoverStrip(0, BAND * (gSweepY - v), SCREEN_WIDTH, BAND * gSweepY - (BAND - 1) * v, color, slot);
    return result;
}
