// The geometry of a mesh builder or mesh: vertices with normals and texture
// coordinates, triangles, and a material per triangle.
#pragma once

#include <string>
#include <vector>

#include "platform/d3d/rm_math.h"
#include "platform/d3d/rm_object.h"
#include "platform/d3d/texture.h"

struct MeshMaterial {
    float diffuse[4] = {1, 1, 1, 1};  // red, green, blue, alpha (below 1: blended)
    Vec3 emissive;
    std::string textureName;  // as the model names it; empty: none
    Ref<RmTexture> texture;
};

struct MeshData {
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;       // one per vertex
    std::vector<float> uvs;          // u, v per vertex
    std::vector<uint32_t> indices;   // three per triangle
    std::vector<uint32_t> triangleMaterials;
    std::vector<MeshMaterial> materials;

    size_t VertexCount() const { return positions.size(); }
    size_t TriangleCount() const { return indices.size() / 3; }
    // Adds other's vertices moved by transform, its triangles and materials.
    void Append(const MeshData& other, const Affine& transform);
    D3DRMBOX Box() const;
};

// Meshes as the renderer draws them: a builder or a mesh, with the render
// quality and texture perspective the visual asks for.
class MeshVisual {
public:
    virtual const MeshData& Geometry() const = 0;
    virtual D3DRMRENDERQUALITY Quality() const = 0;
    virtual bool Perspective() const = 0;

protected:
    ~MeshVisual() = default;
};
