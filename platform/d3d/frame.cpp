// Frame hierarchy, placement relative to other frames, and motion.
#include "platform/d3d/frame.h"

#include <algorithm>

#include "platform/d3d/light.h"

namespace {

RmFrame* AsFrame(IDirect3DRMFrame* frame) { return static_cast<RmFrame*>(frame); }

template <typename T>
bool Contains(const std::vector<T*>& list, const T* item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

template <typename T>
HRESULT RemoveAndRelease(std::vector<T*>& list, T* item) {
    const auto found = std::find(list.begin(), list.end(), item);
    if (found == list.end()) return D3DRMERR_NOTFOUND;
    list.erase(found);
    item->Release();
    return D3DRM_OK;
}

}  // namespace

RmFrame::~RmFrame() {
    for (RmFrame* child : children_) {
        child->parent_ = nullptr;
        child->Release();
    }
    for (IDirect3DRMVisual* visual : visuals_) visual->Release();
    for (RmLight* light : lights_) light->Release();
}

RmFrame* RmFrame::Root() {
    RmFrame* frame = this;
    while (frame->parent_) frame = frame->parent_;
    return frame;
}

Affine RmFrame::World() const { return parent_ ? local_ * parent_->World() : local_; }

Affine RmFrame::ReferenceWorld(IDirect3DRMFrame* reference) {
    return reference ? AsFrame(reference)->World() : Root()->World();
}

void RmFrame::Detach(RmFrame* child) {
    children_.erase(std::find(children_.begin(), children_.end(), child));
    child->parent_ = nullptr;
}

// A frame may not become its own ancestor. The child keeps its world placement.
HRESULT RmFrame::AddChild(IDirect3DRMFrame* child) {
    RmFrame* frame = AsFrame(child);
    if (!frame) return D3DRMERR_BADOBJECT;
    for (RmFrame* ancestor = this; ancestor; ancestor = ancestor->parent_)
        if (ancestor == frame) return D3DRMERR_BADVALUE;
    if (frame->parent_ == this) return D3DRM_OK;
    const Affine world = frame->World();
    frame->AddRef();
    if (frame->parent_) {
        RmFrame* old = frame->parent_;
        old->Detach(frame);
        frame->Release();  // the old parent's reference
    }
    frame->parent_ = this;
    children_.push_back(frame);
    frame->local_ = world * Inverse(World());
    return D3DRM_OK;
}

HRESULT RmFrame::DeleteChild(IDirect3DRMFrame* child) {
    RmFrame* frame = AsFrame(child);
    if (!frame || frame->parent_ != this) return D3DRMERR_NOTFOUND;
    Detach(frame);
    frame->Release();
    return D3DRM_OK;
}

HRESULT RmFrame::GetChildren(IDirect3DRMFrameArray** children) {
    if (!children) return D3DRMERR_BADVALUE;
    *children = new RmFrameArray(children_);
    return D3DRM_OK;
}

HRESULT RmFrame::GetParent(IDirect3DRMFrame** parent) {
    if (!parent) return D3DRMERR_BADVALUE;
    *parent = parent_;
    if (parent_) parent_->AddRef();
    return D3DRM_OK;
}

HRESULT RmFrame::GetScene(IDirect3DRMFrame** scene) {
    if (!scene) return D3DRMERR_BADVALUE;
    *scene = Root();
    (*scene)->AddRef();
    return D3DRM_OK;
}

HRESULT RmFrame::AddVisual(IDirect3DRMVisual* visual) {
    if (!visual) return D3DRMERR_BADOBJECT;
    if (Contains(visuals_, visual)) return D3DRM_OK;
    visual->AddRef();
    visuals_.push_back(visual);
    return D3DRM_OK;
}

HRESULT RmFrame::DeleteVisual(IDirect3DRMVisual* visual) { return RemoveAndRelease(visuals_, visual); }

HRESULT RmFrame::AddLight(IDirect3DRMLight* light) {
    auto* ours = static_cast<RmLight*>(light);
    if (!ours) return D3DRMERR_BADOBJECT;
    if (Contains(lights_, ours)) return D3DRM_OK;
    ours->AddRef();
    lights_.push_back(ours);
    return D3DRM_OK;
}

HRESULT RmFrame::DeleteLight(IDirect3DRMLight* light) { return RemoveAndRelease(lights_, static_cast<RmLight*>(light)); }

HRESULT RmFrame::SetPosition(IDirect3DRMFrame* reference, D3DVALUE x, D3DVALUE y, D3DVALUE z) {
    const Vec3 world = ReferenceWorld(reference).Apply({x, y, z});
    local_.row[3] = Inverse(ParentWorld()).Apply(world);
    return D3DRM_OK;
}

HRESULT RmFrame::GetPosition(IDirect3DRMFrame* reference, D3DVECTOR* position) {
    if (!position) return D3DRMERR_BADVALUE;
    *position = ToD3D(Inverse(ReferenceWorld(reference)).Apply(World().row[3]));
    return D3DRM_OK;
}

// The frame's Z axis along the direction and its Y axis towards up, both given
// in the reference's axes; a zero direction or up falls back as
// OrientationOf describes. The frame's scale is not kept.
HRESULT RmFrame::SetOrientation(IDirect3DRMFrame* reference, D3DVALUE dx, D3DVALUE dy, D3DVALUE dz, D3DVALUE ux,
                                D3DVALUE uy, D3DVALUE uz) {
    const Affine toParent = ReferenceWorld(reference) * Inverse(ParentWorld());
    const Affine orientation =
        OrientationOf(toParent.ApplyToDirection({dx, dy, dz}), toParent.ApplyToDirection({ux, uy, uz}));
    for (int i = 0; i < 3; ++i) local_.row[i] = orientation.row[i];
    return D3DRM_OK;
}

HRESULT RmFrame::GetOrientation(IDirect3DRMFrame* reference, D3DVECTOR* direction, D3DVECTOR* up) {
    if (!direction || !up) return D3DRMERR_BADVALUE;
    const Affine toReference = World() * Inverse(ReferenceWorld(reference));
    *direction = ToD3D(Normalized(toReference.row[2]));
    *up = ToD3D(Normalized(toReference.row[1]));
    return D3DRM_OK;
}

namespace {

// Combines a transform with a frame's: replacing it (the position kept),
// before it (in the frame's own axes) or after it (in the parent's axes).
HRESULT Combine(Affine* local, const Affine& change, D3DRMCOMBINETYPE combine) {
    switch (combine) {
        case D3DRMCOMBINE_REPLACE: {
            const Vec3 position = local->row[3];
            *local = change;
            local->row[3] = position;
            return D3DRM_OK;
        }
        case D3DRMCOMBINE_BEFORE: *local = change * *local; return D3DRM_OK;
        case D3DRMCOMBINE_AFTER: *local = *local * change; return D3DRM_OK;
        default: return D3DRMERR_BADVALUE;
    }
}

}  // namespace

HRESULT RmFrame::AddRotation(D3DRMCOMBINETYPE combine, D3DVALUE x, D3DVALUE y, D3DVALUE z, D3DVALUE theta) {
    return Combine(&local_, RotationAbout({x, y, z}, theta), combine);
}

HRESULT RmFrame::AddScale(D3DRMCOMBINETYPE combine, D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) {
    return Combine(&local_, ScaleBy({sx, sy, sz}), combine);
}

HRESULT RmFrame::SetRotation(IDirect3DRMFrame* reference, D3DVALUE x, D3DVALUE y, D3DVALUE z, D3DVALUE theta) {
    const Affine toParent = ReferenceWorld(reference) * Inverse(ParentWorld());
    rotationAxis_ = toParent.ApplyToDirection({x, y, z});
    rotationSpeed_ = theta;
    return D3DRM_OK;
}

HRESULT RmFrame::SetVelocity(IDirect3DRMFrame* reference, D3DVALUE x, D3DVALUE y, D3DVALUE z, BOOL withRotation) {
    velocityTurns_ = withRotation != 0;
    const Affine toAxes = velocityTurns_ ? ReferenceWorld(reference) * Inverse(World())
                                         : ReferenceWorld(reference) * Inverse(ParentWorld());
    velocity_ = toAxes.ApplyToDirection({x, y, z});
    return D3DRM_OK;
}

// Turns about the frame's own origin and moves by the velocity, then moves
// every child frame the same way.
HRESULT RmFrame::Move(D3DVALUE delta) {
    if (rotationSpeed_ != 0 && Length(rotationAxis_) > 0) {
        const Affine turn = RotationAbout(rotationAxis_, rotationSpeed_ * delta);
        for (int i = 0; i < 3; ++i) local_.row[i] = turn.ApplyToDirection(local_.row[i]);
    }
    const Vec3 velocity = velocityTurns_ ? local_.ApplyToDirection(velocity_) : velocity_;
    local_.row[3] = local_.row[3] + velocity * delta;
    for (RmFrame* child : children_) child->Move(delta);
    return D3DRM_OK;
}

HRESULT RmFrame::SetSceneBackground(D3DCOLOR color) {
    background_ = color;
    return D3DRM_OK;
}

HRESULT RmFrame::SetSceneBackgroundRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) {
    return SetSceneBackground(ColorFromRGB(red, green, blue));
}

RmFrameArray::RmFrameArray(const std::vector<RmFrame*>& frames) : frames_(frames) {
    for (RmFrame* frame : frames_) frame->AddRef();
}

RmFrameArray::~RmFrameArray() {
    for (RmFrame* frame : frames_) frame->Release();
}

HRESULT RmFrameArray::GetElement(DWORD index, IDirect3DRMFrame** frame) {
    if (!frame || index >= frames_.size()) return D3DRMERR_BADVALUE;
    *frame = frames_[index];
    (*frame)->AddRef();
    return D3DRM_OK;
}
