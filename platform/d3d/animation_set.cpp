// Frames from a model file and keyframe interpolation.
#include "platform/d3d/animation_set.h"

#include <algorithm>

#include "platform/d3d/mesh_builder.h"

namespace {

// The keys around time: index of the last key at or before it (or the first),
// and how far towards the next one (0..1).
template <typename Key>
void Bracket(const std::vector<Key>& keys, double time, size_t* index, float* fraction) {
    size_t i = 0;
    while (i + 1 < keys.size() && keys[i + 1].time <= time) ++i;
    *index = i;
    *fraction = 0;
    if (i + 1 < keys.size() && time > keys[i].time)
        *fraction = static_cast<float>((time - keys[i].time) / (keys[i + 1].time - keys[i].time));
}

Vec3 VectorAt(const std::vector<VectorKey>& keys, double time) {
    size_t i;
    float t;
    Bracket(keys, time, &i, &t);
    if (t == 0) return keys[i].value;
    return keys[i].value + (keys[i + 1].value - keys[i].value) * t;
}

Affine RotationAt(const std::vector<RotationKey>& keys, double time) {
    size_t i;
    float t;
    Bracket(keys, time, &i, &t);
    RotationKey a = keys[i];
    if (t > 0) {
        RotationKey b = keys[i + 1];
        float cosine = a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z;
        if (cosine < 0) {  // the shorter way round
            b = {b.time, -b.w, -b.x, -b.y, -b.z};
            cosine = -cosine;
        }
        float wa = 1 - t, wb = t;
        if (cosine < 0.9995f) {
            const float angle = std::acos(cosine), sine = std::sin(angle);
            wa = std::sin((1 - t) * angle) / sine;
            wb = std::sin(t * angle) / sine;
        }
        a = {a.time, wa * a.w + wb * b.w, wa * a.x + wb * b.x, wa * a.y + wb * b.y, wa * a.z + wb * b.z};
    }
    const float length = std::sqrt(a.w * a.w + a.x * a.x + a.y * a.y + a.z * a.z);
    if (length == 0) return Affine{};
    return RotationFromQuaternion(a.w / length, a.x / length, a.y / length, a.z / length);
}

}  // namespace

RmAnimationSet::~RmAnimationSet() {
    for (Animation& animation : animations_) animation.frame->Release();
}

RmFrame* RmAnimationSet::MakeFrames(const ModelFrame& model, RmFrame* parent, D3DRMLOADOPTIONS options,
                                    D3DRMLOADTEXTURECALLBACK callback, void* argument,
                                    std::vector<std::pair<std::string, RmFrame*>>* named) {
    auto* frame = new RmFrame;
    frame->SetName(model.name.c_str());
    parent->AddChild(frame);
    frame->SetLocal(model.local);
    if (!model.mesh.positions.empty()) {
        auto* builder = new RmMeshBuilder;
        MeshData mesh = model.mesh;
        ResolveTextures(&mesh, options, callback, argument);
        builder->SetGeometry(std::move(mesh));
        frame->AddVisual(builder);
        builder->Release();
    }
    named->emplace_back(model.name, frame);
    for (const ModelFrame& child : model.children) MakeFrames(child, frame, options, callback, argument, named);
    frame->Release();  // the parent holds it
    return frame;
}

// The model's top frame goes under parent; a model of several top frames
// (held by Assimp under a nameless root) puts each of them there.
HRESULT RmAnimationSet::Load(const void* source, const char*, D3DRMLOADOPTIONS options,
                             D3DRMLOADTEXTURECALLBACK callback, void* argument, IDirect3DRMFrame* parent) {
    if (!parent) return D3DRMERR_BADOBJECT;
    std::vector<uint8_t> bytes;
    if (!ReadModelSource(source, options, &bytes)) return D3DRMERR_FILENOTFOUND;
    ModelFile model;
    if (!ReadXModel(bytes.data(), bytes.size(), &model)) return D3DRMERR_BADFILE;
    auto* under = static_cast<RmFrame*>(parent);
    std::vector<std::pair<std::string, RmFrame*>> named;
    const bool holder = model.root.name.empty() || model.root.name[0] == '$';
    if (holder && model.root.mesh.positions.empty()) {
        for (const ModelFrame& top : model.root.children) MakeFrames(top, under, options, callback, argument, &named);
    } else {
        MakeFrames(model.root, under, options, callback, argument, &named);
    }
    for (AnimationTrack& track : model.tracks) {
        const auto found = std::find_if(named.begin(), named.end(), [&](const auto& entry) { return entry.first == track.frame; });
        if (found == named.end()) continue;
        found->second->AddRef();
        animations_.push_back({found->second, found->second->Local(), std::move(track)});
    }
    return D3DRM_OK;
}

// Scale, then rotation, then position; a part without keys stays as the
// frame's own transform has it.
HRESULT RmAnimationSet::SetTime(D3DVALUE time) {
    for (const Animation& animation : animations_) {
        const AnimationTrack& track = animation.track;
        Affine local = animation.rest;
        if (!track.rotations.empty() || !track.scales.empty()) {
            Vec3 scale{Length(animation.rest.row[0]), Length(animation.rest.row[1]), Length(animation.rest.row[2])};
            if (!track.scales.empty()) scale = VectorAt(track.scales, time);
            Affine rotation;
            if (track.rotations.empty()) {
                for (int i = 0; i < 3; ++i) rotation.row[i] = Normalized(animation.rest.row[i]);
            } else {
                rotation = RotationAt(track.rotations, time);
            }
            const Affine turned = ScaleBy(scale) * rotation;
            for (int i = 0; i < 3; ++i) local.row[i] = turned.row[i];
        }
        if (!track.positions.empty()) local.row[3] = VectorAt(track.positions, time);
        animation.frame->SetLocal(local);
    }
    return D3DRM_OK;
}
