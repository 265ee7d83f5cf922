// A one-frame model: a cube of half side 1 at the origin whose faces name the texture.
#pragma once

#include <string>

#include "tools/x_model/shapes.h"

inline XModel CubeModel(const std::string& texture) {
    XMaterial material;
    material.textureFile = texture;
    XModel model;
    model.frames.push_back({"Cube", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, {CubeMesh(1, material)}, {}});
    return model;
}
