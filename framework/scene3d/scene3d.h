// The 3D scene record.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi.h"

struct Direct3DState {
    Direct3DState();
    ~Direct3DState();
};

extern Direct3DState gDirect3D;

int Init3D();
// Around a switch between full screen and window.
void Release3DDevice();
int Create3DDevice();
int Is3DReady();
void Handle3DActivate(uintptr_t wParam);
void Handle3DPaint(HDC dc);
