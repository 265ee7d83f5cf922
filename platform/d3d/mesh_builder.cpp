// Loading, changing and freezing mesh geometry.
#include "platform/d3d/mesh_builder.h"

#include "platform/d3d/x_model_reader.h"

namespace {

void Flatten(const ModelFrame& frame, const Affine& parentWorld, MeshData* out) {
    const Affine world = frame.local * parentWorld;
    out->Append(frame.mesh, world);
    for (const ModelFrame& child : frame.children) Flatten(child, world, out);
}

}  // namespace

bool IsValidQuality(D3DRMRENDERQUALITY quality) {
    const DWORD shade = quality & D3DRMSHADE_MASK, light = quality & D3DRMLIGHT_MASK, fill = quality & D3DRMFILL_MASK;
    return (quality & ~(D3DRMSHADE_MASK | D3DRMLIGHT_MASK | D3DRMFILL_MASK)) == 0 && shade <= D3DRMSHADE_GOURAUD &&
           light <= D3DRMLIGHT_ON && (light == D3DRMLIGHT_OFF || light == D3DRMLIGHT_ON) && fill <= D3DRMFILL_SOLID;
}

HRESULT RmMesh::GetBox(D3DRMBOX* box) {
    if (!box) return D3DRMERR_BADVALUE;
    *box = data_.Box();
    return D3DRM_OK;
}

HRESULT RmMeshBuilder::Load(const void* source, const char*, D3DRMLOADOPTIONS options,
                            D3DRMLOADTEXTURECALLBACK callback, void* argument) {
    std::vector<uint8_t> bytes;
    if (!ReadModelSource(source, options, &bytes)) return D3DRMERR_FILENOTFOUND;
    ModelFile model;
    if (!ReadXModel(bytes.data(), bytes.size(), &model)) return D3DRMERR_BADFILE;
    MeshData data;
    Flatten(model.root, Affine{}, &data);
    ResolveTextures(&data, options, callback, argument);
    data_ = std::move(data);
    return D3DRM_OK;
}

HRESULT RmMeshBuilder::Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) {
    for (Vec3& p : data_.positions) p = {p.x * sx, p.y * sy, p.z * sz};
    // Normals follow the inverse scale.
    for (Vec3& n : data_.normals)
        n = Normalized({sx != 0 ? n.x / sx : n.x, sy != 0 ? n.y / sy : n.y, sz != 0 ? n.z / sz : n.z});
    return D3DRM_OK;
}

HRESULT RmMeshBuilder::SetQuality(D3DRMRENDERQUALITY quality) {
    if (!IsValidQuality(quality)) return D3DRMERR_BADVALUE;
    quality_ = quality;
    return D3DRM_OK;
}

HRESULT RmMeshBuilder::SetPerspective(BOOL perspective) {
    perspective_ = perspective != 0;
    return D3DRM_OK;
}

HRESULT RmMeshBuilder::SetColorRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) {
    if (data_.materials.empty()) data_.materials.emplace_back();
    for (MeshMaterial& material : data_.materials) {
        material.diffuse[0] = red;
        material.diffuse[1] = green;
        material.diffuse[2] = blue;
    }
    return D3DRM_OK;
}

HRESULT RmMeshBuilder::SetTexture(IDirect3DRMTexture* texture) {
    if (data_.materials.empty()) data_.materials.emplace_back();
    for (MeshMaterial& material : data_.materials) material.texture = Ref<RmTexture>::Share(static_cast<RmTexture*>(texture));
    return D3DRM_OK;
}

HRESULT RmMeshBuilder::GetBox(D3DRMBOX* box) {
    if (!box) return D3DRMERR_BADVALUE;
    *box = data_.Box();
    return D3DRM_OK;
}

HRESULT RmMeshBuilder::GetVertices(DWORD count, D3DVECTOR* positions, D3DVECTOR* normals, float* uvs) {
    if (count < data_.VertexCount()) return D3DRMERR_BADVALUE;
    for (size_t i = 0; i < data_.VertexCount(); ++i) {
        if (positions) positions[i] = ToD3D(data_.positions[i]);
        if (normals) normals[i] = ToD3D(data_.normals[i]);
        if (uvs) {
            uvs[2 * i] = data_.uvs[2 * i];
            uvs[2 * i + 1] = data_.uvs[2 * i + 1];
        }
    }
    return D3DRM_OK;
}

HRESULT RmMeshBuilder::GetFaces(DWORD count, DWORD* indices) {
    if (!indices || count < data_.indices.size()) return D3DRMERR_BADVALUE;
    std::copy(data_.indices.begin(), data_.indices.end(), indices);
    return D3DRM_OK;
}

HRESULT RmMeshBuilder::CreateMesh(IDirect3DRMMesh** mesh) {
    if (!mesh) return D3DRMERR_BADVALUE;
    *mesh = new RmMesh(data_, quality_, perspective_);
    return D3DRM_OK;
}
