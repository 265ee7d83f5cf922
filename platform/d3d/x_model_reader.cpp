// Assimp reads the model; its right-handed result is converted back to the
// file's own conventions, and its scene becomes our frames and tracks.
#include "platform/d3d/x_model_reader.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <fstream>

#include "platform/d3d/x_model_screen.h"
#include "platform/win/resources.h"

namespace {

constexpr size_t LARGEST_MODEL = 256u << 20;

Affine ToAffine(const aiMatrix4x4& m) {
    // Assimp transforms column vectors; ours are rows.
    Affine out;
    out.row[0] = {m.a1, m.b1, m.c1};
    out.row[1] = {m.a2, m.b2, m.c2};
    out.row[2] = {m.a3, m.b3, m.c3};
    out.row[3] = {m.a4, m.b4, m.c4};
    return out;
}

MeshMaterial ToMaterial(const aiMaterial& material) {
    MeshMaterial out;
    aiColor4D diffuse(1, 1, 1, 1);
    if (material.Get(AI_MATKEY_COLOR_DIFFUSE, diffuse) == AI_SUCCESS) {
        out.diffuse[0] = diffuse.r;
        out.diffuse[1] = diffuse.g;
        out.diffuse[2] = diffuse.b;
        out.diffuse[3] = diffuse.a;
    }
    aiColor3D emissive(0, 0, 0);
    if (material.Get(AI_MATKEY_COLOR_EMISSIVE, emissive) == AI_SUCCESS) out.emissive = {emissive.r, emissive.g, emissive.b};
    aiString texture;
    if (material.GetTexture(aiTextureType_DIFFUSE, 0, &texture) == AI_SUCCESS) out.textureName = texture.C_Str();
    return out;
}

MeshData ToMeshData(const aiScene& scene, const aiMesh& mesh) {
    MeshData out;
    for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
        const aiVector3D& p = mesh.mVertices[i];
        out.positions.push_back({p.x, p.y, p.z});
        const aiVector3D n = mesh.mNormals ? mesh.mNormals[i] : aiVector3D(0, 0, 0);
        out.normals.push_back({n.x, n.y, n.z});
        const aiVector3D uv = mesh.mTextureCoords[0] ? mesh.mTextureCoords[0][i] : aiVector3D(0, 0, 0);
        out.uvs.push_back(uv.x);
        out.uvs.push_back(uv.y);
    }
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices != 3) continue;  // points and lines left by triangulation
        for (int k = 0; k < 3; ++k) out.indices.push_back(face.mIndices[k]);
        out.triangleMaterials.push_back(0);
    }
    out.materials.push_back(mesh.mMaterialIndex < scene.mNumMaterials ? ToMaterial(*scene.mMaterials[mesh.mMaterialIndex])
                                                                      : MeshMaterial{});
    return out;
}

void ToFrame(const aiScene& scene, const aiNode& node, ModelFrame* out) {
    out->name = node.mName.C_Str();
    out->local = ToAffine(node.mTransformation);
    for (unsigned i = 0; i < node.mNumMeshes; ++i)
        if (node.mMeshes[i] < scene.mNumMeshes) out->mesh.Append(ToMeshData(scene, *scene.mMeshes[node.mMeshes[i]]), Affine{});
    out->children.resize(node.mNumChildren);
    for (unsigned i = 0; i < node.mNumChildren; ++i) ToFrame(scene, *node.mChildren[i], &out->children[i]);
}

std::vector<VectorKey> ToKeys(const aiVectorKey* keys, unsigned count) {
    std::vector<VectorKey> out;
    for (unsigned i = 0; i < count; ++i) out.push_back({keys[i].mTime, {keys[i].mValue.x, keys[i].mValue.y, keys[i].mValue.z}});
    return out;
}

bool ReadFile(const char* name, std::vector<uint8_t>* bytes) {
    std::string path(name);
    for (char& c : path)
        if (c == '\\') c = '/';
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return false;
    const std::streamoff size = file.tellg();
    if (size <= 0 || static_cast<size_t>(size) > LARGEST_MODEL) return false;
    bytes->resize(static_cast<size_t>(size));
    file.seekg(0);
    return static_cast<bool>(file.read(reinterpret_cast<char*>(bytes->data()), size));
}

// A texture loaded by its name without a callback, as the model came.
Ref<RmTexture> LoadNamedTexture(const std::string& name, D3DRMLOADOPTIONS options) {
    if (options == D3DRMLOAD_FROMRESOURCE) {
        const ResourceData* resource = FindResource(name.c_str(), RT_BITMAP);
        return Ref<RmTexture>(resource ? RmTexture::FromBmp(resource->data, resource->size) : nullptr);
    }
    std::vector<uint8_t> bytes;
    return Ref<RmTexture>(ReadFile(name.c_str(), &bytes) ? RmTexture::FromBmp(bytes.data(), bytes.size()) : nullptr);
}

}  // namespace

bool ReadXModel(const uint8_t* data, size_t size, ModelFile* out) {
    Assimp::Importer importer;
    const unsigned flags = aiProcess_ConvertToLeftHanded | aiProcess_Triangulate | aiProcess_JoinIdenticalVertices |
                           aiProcess_GenSmoothNormals;
    // The reader is given only models the screen passed, in their plain form.
    std::string plain;
    if (!ScreenXModel(data, size, &plain)) return false;
    const aiScene* scene = importer.ReadFileFromMemory(plain.data(), plain.size(), flags, "x");
    if (!scene || !scene->mRootNode || (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE)) return false;
    ModelFile model;
    ToFrame(*scene, *scene->mRootNode, &model.root);
    for (unsigned a = 0; a < scene->mNumAnimations; ++a) {
        const aiAnimation& animation = *scene->mAnimations[a];
        for (unsigned c = 0; c < animation.mNumChannels; ++c) {
            const aiNodeAnim& channel = *animation.mChannels[c];
            AnimationTrack track;
            track.frame = channel.mNodeName.C_Str();
            track.positions = ToKeys(channel.mPositionKeys, channel.mNumPositionKeys);
            track.scales = ToKeys(channel.mScalingKeys, channel.mNumScalingKeys);
            for (unsigned k = 0; k < channel.mNumRotationKeys; ++k) {
                const aiQuatKey& key = channel.mRotationKeys[k];
                track.rotations.push_back({key.mTime, key.mValue.w, key.mValue.x, key.mValue.y, key.mValue.z});
            }
            model.tracks.push_back(std::move(track));
        }
    }
    *out = std::move(model);
    return true;
}

bool ReadModelSource(const void* source, D3DRMLOADOPTIONS options, std::vector<uint8_t>* bytes) {
    if (!source) return false;
    if (options == D3DRMLOAD_FROMFILE) return ReadFile(static_cast<const char*>(source), bytes);
    if (options == D3DRMLOAD_FROMRESOURCE) {
        const auto* where = static_cast<const D3DRMLOADRESOURCE*>(source);
        const ResourceData* resource = where->lpName && where->lpType ? FindResource(where->lpName, where->lpType) : nullptr;
        if (!resource) return false;
        bytes->assign(resource->data, resource->data + resource->size);
        return true;
    }
    if (options == D3DRMLOAD_FROMMEMORY) {
        const auto* memory = static_cast<const D3DRMLOADMEMORY*>(source);
        if (!memory->lpMemory) return false;
        const auto* begin = static_cast<const uint8_t*>(memory->lpMemory);
        bytes->assign(begin, begin + memory->dSize);
        return true;
    }
    return false;
}

void ResolveTextures(MeshData* mesh, D3DRMLOADOPTIONS options, D3DRMLOADTEXTURECALLBACK callback, void* argument) {
    for (MeshMaterial& material : mesh->materials) {
        if (material.textureName.empty()) continue;
        if (!callback) {
            material.texture = LoadNamedTexture(material.textureName, options);
            continue;
        }
        IDirect3DRMTexture* texture = nullptr;
        if (callback(material.textureName.c_str(), argument, &texture) < 0 || !texture) continue;
        // The callback's texture stays the caller's; the material holds its own reference.
        material.texture = Ref<RmTexture>::Share(static_cast<RmTexture*>(texture));
    }
}
