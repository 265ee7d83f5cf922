// Loading X models into mesh slots and animation sets into frames, the shared
// texture table the models' texture callback fills, and the names given to
// animation frames. A name with a '.' is a file beside the program; one
// without is an "X" resource of the program, whose textures are then bitmap
// resources too.
#include <cstdio>
#include <cstring>

#include "framework/app/app.h"
#include "framework/dialog/diagnostics.h"
#include "framework/media/media.h"
#include "framework/scene3d/scene3d.h"

int gAnimationFrameCounter = 0;

namespace {

// Where a model comes from, as the retained mode's loaders take it.
struct ModelSource {
    char path[256];
    D3DRMLOADRESOURCE resource;
    const void* source;
    D3DRMLOADOPTIONS options;
};

void ResolveModel(const char* name, ModelSource* out) {
    if (std::strchr(name, '.')) {
        char directory[256] = "";
        GetAppDirectory(directory);
        // A path too long for the buffer names no file: the load fails and is logged.
        if (std::snprintf(out->path, sizeof out->path, "%s\\%s", directory, name) >= static_cast<int>(sizeof out->path))
            out->path[0] = '\0';
        out->source = out->path;
        out->options = D3DRMLOAD_FROMFILE;
        gDirect3D.loadingFromResource = 0;
    } else {
        out->resource = {static_cast<HMODULE>(gApp.hInstance), name, "X"};
        out->source = &out->resource;
        out->options = D3DRMLOAD_FROMRESOURCE;
        gDirect3D.loadingFromResource = 1;
    }
}

}  // namespace

int LoadMesh(int slot, const char* name, float scale, int quality, int perspective) {
    // Negative slots would fall outside the table: they are refused like large ones.
    if (slot < 0 || slot >= MESH_SLOT_COUNT) return 0;
    if (gDirect3D.meshes[slot]) {
        gDirect3D.meshes[slot]->Release();
        gDirect3D.meshes[slot] = nullptr;
    }
    if (quality == MESH_QUALITY_RELEASE) return 1;
    IDirect3DRMMeshBuilder* builder = nullptr;
    if (!gDirect3D.retained || gDirect3D.retained->CreateMeshBuilder(&builder) != D3DRM_OK || !builder) {
        DebugLog("メッシュビルダーの作成に失敗しました\n");
        return 0;
    }
    ModelSource source;
    ResolveModel(name, &source);
    if (builder->Load(source.source, nullptr, source.options, ProvideTexture, &gDirect3D) != D3DRM_OK) {
        DebugLog("X[%s]のオープンに失敗しました\n", name);
        builder->Release();
        return 0;
    }
    if (quality == MESH_QUALITY_DEVICE) {
        if (gDirect3D.rmDevice) builder->SetQuality(gDirect3D.rmDevice->GetQuality());
    } else {
        builder->SetQuality(static_cast<D3DRMRENDERQUALITY>(quality));
    }
    if (scale != KEEP_MODEL_SCALE) builder->Scale(scale, scale, scale);
    builder->SetPerspective(perspective);
    if (builder->CreateMesh(&gDirect3D.meshes[slot]) != D3DRM_OK || !gDirect3D.meshes[slot]) {
        DebugLog("メッシュの作成に失敗しました\n");
        builder->Release();
        return 0;
    }
    builder->Release();
    return 1;
}

int LoadAnimationSet(const char* name, IDirect3DRMAnimationSet* animationSet, IDirect3DRMFrame2* parentFrame) {
    ModelSource source;
    ResolveModel(name, &source);
    if (animationSet->Load(source.source, nullptr, source.options, ProvideTexture, &gDirect3D, parentFrame) !=
        D3DRM_OK) {
        DebugLog("X[%s]のオープンに失敗しました\n", name);
        parentFrame->Release();
        return 0;
    }
    NameAnimationFrames(parentFrame);
    return 1;
}

HRESULT ProvideTexture(const char* name, void*, IDirect3DRMTexture** texture) {
    const int found = FindTexture(name);
    if (found >= 0) {
        *texture = gDirect3D.textures[found].texture;
    } else {
        LoadTexture(name, texture);
    }
    return 0;
}

int FindTexture(const char* name) {
    for (int i = 0; i < TEXTURE_SLOT_COUNT; ++i)
        if (std::strcmp(gDirect3D.textures[i].name, name) == 0) return i;
    return -1;
}

// Names longer than a record holds are cut to 255 characters.
void LoadTexture(const char* name, IDirect3DRMTexture** texture) {
    *texture = nullptr;
    int target = -1;
    for (int i = 0; i < TEXTURE_SLOT_COUNT && target < 0; ++i)
        if (gDirect3D.textures[i].name[0] == '\0') target = i;
    if (target < 0) {
        DebugLog("これ以上テクスチャがロードできません\n");
        return;
    }
    IDirect3DRMTexture2* loaded = nullptr;
    const HRESULT result =
        gDirect3D.loadingFromResource == 0
            ? gDirect3D.retained->LoadTexture(name, &loaded)
            : gDirect3D.retained->LoadTextureFromResource(static_cast<HMODULE>(gApp.hInstance), name, RT_BITMAP, &loaded);
    if (result != D3DRM_OK || !loaded) {
        DebugLog("TEXTURE[%s]のロードに失敗しました\n", name);
        return;
    }
    loaded->QueryInterface(IID_IDirect3DRMTexture, reinterpret_cast<void**>(texture));
    loaded->Release();
    TextureRecord& record = gDirect3D.textures[target];
    std::snprintf(record.name, sizeof record.name, "%s", name);
    record.texture = *texture;
}

void NameAnimationFrames(IDirect3DRMFrame2* frame) {
    IDirect3DRMFrameArray* children = nullptr;
    if (frame->GetChildren(&children) == D3DRM_OK && children) {
        for (DWORD i = 0; i < children->GetSize(); ++i) {
            IDirect3DRMFrame* child = nullptr;
            if (children->GetElement(i, &child) != D3DRM_OK) continue;
            IDirect3DRMFrame2* child2 = nullptr;
            if (child->QueryInterface(IID_IDirect3DRMFrame2, reinterpret_cast<void**>(&child2)) == D3DRM_OK) {
                NameAnimationFrames(child2);
                child2->Release();
            }
            child->Release();
        }
        children->Release();
    }
    char name[256];
    std::snprintf(name, sizeof name, "AnimationFrame%d", gAnimationFrameCounter);
    frame->SetName(name);
    ++gAnimationFrameCounter;
}
