// Screen transitions over a busy scene: the dot dissolve, blinds both ways
// and the graded sweeps, each covering and then uncovering.
#include "examples/showcase/showcase.h"
#include "framework/draw/draw.h"
#include "framework/draw/gdi_draw.h"
#include "framework/draw/transitions.h"

namespace {

enum Effect { kDissolve, kBlindsX, kBlindsY, kSweepX, kSweepY, kEffectCount };
const char* const kEffectNames[kEffectCount] = {"dissolve", "vertical blinds", "horizontal blinds",
                                                "sweep from the right", "sweep from the top"};

int gEffect = kDissolve;
bool gRevealing = false;
int gPause = 0;

void ResetEffect() {
    ResetDissolve(!gRevealing ? 1 : 0);
    ResetBlinds(!gRevealing);
    ResetSweeps(!gRevealing);
}

void EnterTransitions() {
    gEffect = kDissolve;
    gRevealing = false;
    gPause = 0;
    ResetEffect();
}

int StepEffect() {
    const int reveal = gRevealing ? 1 : 0;
    const uint32_t color = RGB(10, 10, 20);
    switch (gEffect) {
        case kDissolve: return StepDissolve(reveal, color);
        case kBlindsX: return StepBlindsX(reveal, color, -1);
        case kBlindsY: return StepBlindsY(reveal, color, BLOCKS_SLOT);
        case kSweepX: return StepSweepX(reveal, color, -1);
        default: return StepSweepY(reveal, color, -1);
    }
}

void TransitionsFrame(int frame) {
    DrawImageTiled(0, 24, 640, 480, BLOCKS_SLOT);
    for (int i = 0; i < 6; ++i) DrawImageRotated(80 + i * 100, 250, TILE_SLOT, (frame * 3 + i * 60) % 360, 0, 0, -1, -1);
    if (gPause > 0) {
        --gPause;
        if (gPause == 0) {
            if (gRevealing) gEffect = (gEffect + 1) % kEffectCount;
            gRevealing = !gRevealing;
            ResetEffect();
        }
    }
    if (StepEffect() && gPause == 0) gPause = 30;
    DrawFilledRect(0, 24, 640, 56, RGB(20, 24, 40));
    PrintText(16, 32, "%s, %s", kEffectNames[gEffect], gRevealing ? "uncovering" : "covering");
}

}  // namespace

const ShowcasePage kTransitionPage = {"Screen transitions", EnterTransitions, TransitionsFrame};
