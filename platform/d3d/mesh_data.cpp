// Merging and measuring mesh geometry.
#include "platform/d3d/mesh_data.h"

#include <algorithm>

void MeshData::Append(const MeshData& other, const Affine& transform) {
    const uint32_t base = static_cast<uint32_t>(positions.size());
    const uint32_t materialBase = static_cast<uint32_t>(materials.size());
    const Affine normalTransform = [&] {
        // Normals go through the inverse transpose, renormalised.
        Affine inverse = Inverse(transform), out;
        for (int i = 0; i < 3; ++i) out.row[i] = {inverse.row[0].Get(i), inverse.row[1].Get(i), inverse.row[2].Get(i)};
        return out;
    }();
    for (const Vec3& p : other.positions) positions.push_back(transform.Apply(p));
    for (const Vec3& n : other.normals) normals.push_back(Normalized(normalTransform.ApplyToDirection(n)));
    uvs.insert(uvs.end(), other.uvs.begin(), other.uvs.end());
    for (uint32_t index : other.indices) indices.push_back(base + index);
    for (uint32_t material : other.triangleMaterials) triangleMaterials.push_back(materialBase + material);
    materials.insert(materials.end(), other.materials.begin(), other.materials.end());
}

D3DRMBOX MeshData::Box() const {
    D3DRMBOX box{};
    if (positions.empty()) return box;
    Vec3 low = positions[0], high = positions[0];
    for (const Vec3& p : positions) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    return {ToD3D(low), ToD3D(high)};
}
