// Torus and cube geometry.
#include "tools/x_model/shapes.h"

#include <cmath>

namespace {

void AddVertex(XMesh* mesh, const std::array<float, 3>& p, const std::array<float, 3>& n, float u, float v) {
    mesh->positions.insert(mesh->positions.end(), p.begin(), p.end());
    mesh->normals.insert(mesh->normals.end(), n.begin(), n.end());
    mesh->uvs.push_back(u);
    mesh->uvs.push_back(v);
}

// Adds the triangle turned so that it runs clockwise seen from where its
// first vertex's normal points.
void AddTriangle(XMesh* mesh, uint32_t a, uint32_t b, uint32_t c) {
    auto at = [&](uint32_t i, int axis) { return mesh->positions[3 * i + axis]; };
    float e1[3], e2[3];
    for (int k = 0; k < 3; ++k) {
        e1[k] = at(b, k) - at(a, k);
        e2[k] = at(c, k) - at(a, k);
    }
    const float cross[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    const float facing = cross[0] * mesh->normals[3 * a] + cross[1] * mesh->normals[3 * a + 1] + cross[2] * mesh->normals[3 * a + 2];
    mesh->faces.push_back(facing >= 0 ? std::vector<uint32_t>{a, b, c} : std::vector<uint32_t>{a, c, b});
    mesh->faceMaterials.push_back(0);
}

}  // namespace

XMesh TorusMesh(int rings, int sides, float majorRadius, float minorRadius, const XMaterial& material) {
    constexpr float TURN = 6.28318530718f;
    XMesh mesh;
    mesh.materials.push_back(material);
    // One more column and row of vertices than segments, so the texture seams close.
    for (int i = 0; i <= rings; ++i) {
        const float u = static_cast<float>(i) / static_cast<float>(rings), a = u * TURN;
        for (int j = 0; j <= sides; ++j) {
            const float v = static_cast<float>(j) / static_cast<float>(sides), b = v * TURN;
            const std::array<float, 3> normal{std::cos(b) * std::cos(a), std::cos(b) * std::sin(a), std::sin(b)};
            const std::array<float, 3> position{(majorRadius + minorRadius * std::cos(b)) * std::cos(a),
                                                (majorRadius + minorRadius * std::cos(b)) * std::sin(a),
                                                minorRadius * std::sin(b)};
            AddVertex(&mesh, position, normal, u, v);
        }
    }
    const auto index = [&](int i, int j) { return static_cast<uint32_t>(i * (sides + 1) + j); };
    for (int i = 0; i < rings; ++i) {
        for (int j = 0; j < sides; ++j) {
            AddTriangle(&mesh, index(i, j), index(i + 1, j), index(i + 1, j + 1));
            AddTriangle(&mesh, index(i, j), index(i + 1, j + 1), index(i, j + 1));
        }
    }
    return mesh;
}

XMesh CubeMesh(float halfSide, const XMaterial& material) {
    XMesh mesh;
    mesh.materials.push_back(material);
    const float h = halfSide;
    // Each face: its normal and two axes spanning it.
    const std::array<std::array<float, 3>, 3> faces[6] = {
        {{{0, 0, -1}, {1, 0, 0}, {0, 1, 0}}}, {{{0, 0, 1}, {-1, 0, 0}, {0, 1, 0}}}, {{{1, 0, 0}, {0, 0, 1}, {0, 1, 0}}},
        {{{-1, 0, 0}, {0, 0, -1}, {0, 1, 0}}}, {{{0, 1, 0}, {1, 0, 0}, {0, 0, 1}}}, {{{0, -1, 0}, {1, 0, 0}, {0, 0, -1}}}};
    for (const auto& face : faces) {
        const auto& [n, s, t] = face;
        const uint32_t base = static_cast<uint32_t>(mesh.positions.size() / 3);
        const float corners[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
        for (const auto& c : corners) {
            std::array<float, 3> p;
            for (int k = 0; k < 3; ++k) p[k] = h * (n[k] + c[0] * s[k] + c[1] * t[k]);
            AddVertex(&mesh, p, n, (c[0] + 1) / 2, (1 - c[1]) / 2);
        }
        AddTriangle(&mesh, base, base + 1, base + 2);
        AddTriangle(&mesh, base, base + 2, base + 3);
    }
    return mesh;
}
