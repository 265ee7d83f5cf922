// Reading DirectX .x models (text, binary or MSZIP-compressed) through
// Assimp into frames with meshes and animation tracks, in the file's own
// left-handed coordinates, winding and texture orientation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3d/mesh_data.h"

struct ModelFrame {
    std::string name;
    Affine local;  // relative to the parent frame
    MeshData mesh;
    std::vector<ModelFrame> children;
};

struct VectorKey {
    double time;
    Vec3 value;
};

struct RotationKey {
    double time;
    float w, x, y, z;  // unit quaternion
};

struct AnimationTrack {
    std::string frame;
    std::vector<VectorKey> positions;
    std::vector<RotationKey> rotations;
    std::vector<VectorKey> scales;
};

struct ModelFile {
    ModelFrame root;
    std::vector<AnimationTrack> tracks;
};

// False, with out untouched, when the bytes are not a readable .x model.
bool ReadXModel(const uint8_t* data, size_t size, ModelFile* out);

// The bytes of a model named as the loaders are given it: a file path
// (backslashes are folder separators), a D3DRMLOADRESOURCE or a
// D3DRMLOADMEMORY; false when there are none.
bool ReadModelSource(const void* source, D3DRMLOADOPTIONS options, std::vector<uint8_t>* bytes);

// Every material's texture, found by the callback (or, without one, loaded
// from a file or bitmap resource of that name as the model came).
void ResolveTextures(MeshData* mesh, D3DRMLOADOPTIONS options, D3DRMLOADTEXTURECALLBACK callback, void* argument);
