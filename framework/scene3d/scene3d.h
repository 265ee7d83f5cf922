// The 3D scene record.
#pragma once

struct Direct3DState {
    Direct3DState();
    ~Direct3DState();
};

extern Direct3DState gDirect3D;

int Init3D();
