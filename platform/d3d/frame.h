// Frames of the retained mode: a transform relative to the parent frame,
// children, visuals and lights, a motion (velocity and rotation per unit of
// time) that Move applies, and for a root frame the scene background.
#pragma once

#include <vector>

#include "platform/d3d/rm_math.h"
#include "platform/d3d/rm_object.h"

class RmLight;

class RmFrame final : public RmObject<IDirect3DRMFrame2> {
public:
    ~RmFrame() override;

    HRESULT AddChild(IDirect3DRMFrame* child) override;
    HRESULT DeleteChild(IDirect3DRMFrame* child) override;
    HRESULT GetChildren(IDirect3DRMFrameArray** children) override;
    HRESULT GetParent(IDirect3DRMFrame** parent) override;
    HRESULT GetScene(IDirect3DRMFrame** scene) override;
    HRESULT AddVisual(IDirect3DRMVisual* visual) override;
    HRESULT DeleteVisual(IDirect3DRMVisual* visual) override;
    HRESULT AddLight(IDirect3DRMLight* light) override;
    HRESULT DeleteLight(IDirect3DRMLight* light) override;
    HRESULT SetPosition(IDirect3DRMFrame* reference, D3DVALUE x, D3DVALUE y, D3DVALUE z) override;
    HRESULT GetPosition(IDirect3DRMFrame* reference, D3DVECTOR* position) override;
    HRESULT SetOrientation(IDirect3DRMFrame* reference, D3DVALUE dx, D3DVALUE dy, D3DVALUE dz, D3DVALUE ux, D3DVALUE uy,
                           D3DVALUE uz) override;
    HRESULT GetOrientation(IDirect3DRMFrame* reference, D3DVECTOR* direction, D3DVECTOR* up) override;
    HRESULT AddRotation(D3DRMCOMBINETYPE combine, D3DVALUE x, D3DVALUE y, D3DVALUE z, D3DVALUE theta) override;
    HRESULT AddScale(D3DRMCOMBINETYPE combine, D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) override;
    HRESULT SetRotation(IDirect3DRMFrame* reference, D3DVALUE x, D3DVALUE y, D3DVALUE z, D3DVALUE theta) override;
    HRESULT SetVelocity(IDirect3DRMFrame* reference, D3DVALUE x, D3DVALUE y, D3DVALUE z, BOOL withRotation) override;
    HRESULT Move(D3DVALUE delta) override;
    HRESULT SetSceneBackground(D3DCOLOR color) override;
    HRESULT SetSceneBackgroundRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) override;
    D3DCOLOR GetSceneBackground() override { return background_; }

    RmFrame* Parent() const { return parent_; }
    RmFrame* Root();
    const Affine& Local() const { return local_; }
    void SetLocal(const Affine& local) { local_ = local; }
    Affine World() const;
    const std::vector<RmFrame*>& Children() const { return children_; }
    const std::vector<IDirect3DRMVisual*>& Visuals() const { return visuals_; }
    const std::vector<RmLight*>& Lights() const { return lights_; }

private:
    bool Answers(const GUID& iid) const override { return iid == IID_IDirect3DRMFrame2; }
    // The world transform of a reference frame (null: the root of this scene).
    Affine ReferenceWorld(IDirect3DRMFrame* reference);
    Affine ParentWorld() const { return parent_ ? parent_->World() : Affine{}; }
    void Detach(RmFrame* child);

    RmFrame* parent_ = nullptr;
    std::vector<RmFrame*> children_;          // each holds a reference
    std::vector<IDirect3DRMVisual*> visuals_;  // each holds a reference
    std::vector<RmLight*> lights_;             // each holds a reference
    Affine local_;
    Vec3 velocity_;            // in the parent's axes, or the frame's own when it turns with it
    bool velocityTurns_ = false;
    Vec3 rotationAxis_;        // in the parent's axes
    float rotationSpeed_ = 0;  // radians per unit of time
    D3DCOLOR background_ = 0xFF000000u;
};

// A snapshot of a frame's children.
class RmFrameArray final : public Counted<IDirect3DRMFrameArray> {
public:
    explicit RmFrameArray(const std::vector<RmFrame*>& frames);
    ~RmFrameArray() override;
    DWORD GetSize() override { return static_cast<DWORD>(frames_.size()); }
    HRESULT GetElement(DWORD index, IDirect3DRMFrame** frame) override;

private:
    std::vector<RmFrame*> frames_;
};
