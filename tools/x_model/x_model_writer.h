// Writes DirectX .x model files in the text, binary and MSZIP-compressed
// binary encodings from one description: frames with transforms and meshes
// (positions, normals, texture coordinates, materials with texture file
// names) and one animation set of rotation, scale and position keys. The
// tests and the showcase make their models with it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct XMaterial {
    std::array<float, 4> diffuse{1, 1, 1, 1};  // red, green, blue, alpha
    float power = 0;
    std::array<float, 3> specular{0, 0, 0};
    std::array<float, 3> emissive{0, 0, 0};
    std::string textureFile;  // empty: none
};

struct XMesh {
    std::vector<float> positions;          // x, y, z per vertex
    std::vector<float> normals;            // one per vertex (empty: none)
    std::vector<float> uvs;                // u, v per vertex (empty: none)
    std::vector<std::vector<uint32_t>> faces;  // vertex indices, 3 or more per face
    std::vector<uint32_t> faceMaterials;   // one per face (empty with no materials)
    std::vector<XMaterial> materials;
};

struct XFrame {
    std::string name;
    std::array<float, 16> matrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};  // row-major, row vectors
    std::vector<XMesh> meshes;
    std::vector<XFrame> children;
};

struct XRotationKey {
    uint32_t time;
    std::array<float, 4> quaternion;  // w, x, y, z
};

struct XVectorKey {
    uint32_t time;
    std::array<float, 3> value;
};

struct XAnimation {
    std::string frame;
    std::vector<XRotationKey> rotations;
    std::vector<XVectorKey> scales;
    std::vector<XVectorKey> positions;
};

struct XModel {
    std::vector<XFrame> frames;
    uint32_t ticksPerSecond = 0;  // 0: not written
    std::string animationSetName;
    std::vector<XAnimation> animations;
};

enum class XEncoding { Text, Binary, Compressed };

std::vector<uint8_t> WriteXModel(const XModel& model, XEncoding encoding);
