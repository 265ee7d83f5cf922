// Meshes of simple shapes, ready for the .x writer: a torus and a cube, with
// normals and texture coordinates, their faces clockwise seen from outside
// (the front side in left-handed coordinates).
#pragma once

#include "tools/x_model/x_model_writer.h"

// A torus around the Z axis: rings segments around the axis, sides around the
// tube; 2 x rings x sides triangles; the texture wraps once each way.
XMesh TorusMesh(int rings, int sides, float majorRadius, float minorRadius, const XMaterial& material);

// A cube centred on the origin: six faces of two triangles, each face with
// its own vertices, normal and the whole texture.
XMesh CubeMesh(float halfSide, const XMaterial& material);
