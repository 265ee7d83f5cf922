// The Direct3D interface of a DirectDraw device, which the device hands out
// through QueryInterface(IID_IDirect3D2).
#pragma once

#include "platform/d3d/d3d.h"

// A new IDirect3D2 (in *object) that renders with the surfaces of directDraw.
HRESULT CreateDirect3D(IDirectDraw* directDraw, void** object);
