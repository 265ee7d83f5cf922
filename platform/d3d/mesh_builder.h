// Mesh builders (geometry that can still be loaded, scaled and given a
// quality) and the meshes they create (a fixed copy).
#pragma once

#include "platform/d3d/mesh_data.h"

class RmMesh final : public RmObject<IDirect3DRMMesh>, public MeshVisual {
public:
    RmMesh(MeshData data, D3DRMRENDERQUALITY quality, bool perspective)
        : data_(std::move(data)), quality_(quality), perspective_(perspective) {}

    HRESULT GetBox(D3DRMBOX* box) override;
    DWORD GetGroupCount() override { return data_.positions.empty() ? 0 : 1; }
    DWORD GetFaceCount() override { return static_cast<DWORD>(data_.TriangleCount()); }

    const MeshData& Geometry() const override { return data_; }
    D3DRMRENDERQUALITY Quality() const override { return quality_; }
    bool Perspective() const override { return perspective_; }

private:
    MeshData data_;
    D3DRMRENDERQUALITY quality_;
    bool perspective_;
};

class RmMeshBuilder final : public RmObject<IDirect3DRMMeshBuilder>, public MeshVisual {
public:
    // Loads the first model of the source: every mesh of every frame, placed
    // by the frames' transforms, as one mesh.
    HRESULT Load(const void* source, const char* objectName, D3DRMLOADOPTIONS options,
                 D3DRMLOADTEXTURECALLBACK callback, void* argument) override;
    HRESULT Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) override;
    HRESULT SetQuality(D3DRMRENDERQUALITY quality) override;
    D3DRMRENDERQUALITY GetQuality() override { return quality_; }
    HRESULT SetPerspective(BOOL perspective) override;
    BOOL GetPerspective() override { return perspective_; }
    HRESULT SetColorRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) override;
    HRESULT SetTexture(IDirect3DRMTexture* texture) override;
    HRESULT GetBox(D3DRMBOX* box) override;
    int GetVertexCount() override { return static_cast<int>(data_.VertexCount()); }
    int GetFaceCount() override { return static_cast<int>(data_.TriangleCount()); }
    HRESULT GetVertices(DWORD count, D3DVECTOR* positions, D3DVECTOR* normals, float* uvs) override;
    HRESULT GetFaces(DWORD count, DWORD* indices) override;
    HRESULT CreateMesh(IDirect3DRMMesh** mesh) override;

    const MeshData& Geometry() const override { return data_; }
    D3DRMRENDERQUALITY Quality() const override { return quality_; }
    bool Perspective() const override { return perspective_; }
    void SetGeometry(MeshData data) { data_ = std::move(data); }

private:
    MeshData data_;
    D3DRMRENDERQUALITY quality_ = D3DRMRENDER_GOURAUD;
    bool perspective_ = false;
};

// Whether a quality value names a shade mode, lighting and fill we draw.
bool IsValidQuality(D3DRMRENDERQUALITY quality);
