// Animation sets: the frames of a model, created under a parent frame, and
// their position, rotation and scale keys; SetTime places every animated
// frame by interpolating its keys (rotations along the shortest arc).
#pragma once

#include <vector>

#include "platform/d3d/frame.h"
#include "platform/d3d/x_model_reader.h"

class RmAnimationSet final : public RmObject<IDirect3DRMAnimationSet> {
public:
    ~RmAnimationSet() override;
    HRESULT Load(const void* source, const char* objectName, D3DRMLOADOPTIONS options, D3DRMLOADTEXTURECALLBACK callback,
                 void* argument, IDirect3DRMFrame* parent) override;
    HRESULT SetTime(D3DVALUE time) override;

private:
    struct Animation {
        RmFrame* frame;  // holds a reference
        Affine rest;     // the frame's own transform, for the parts without keys
        AnimationTrack track;
    };
    RmFrame* MakeFrames(const ModelFrame& model, RmFrame* parent, D3DRMLOADOPTIONS options,
                        D3DRMLOADTEXTURECALLBACK callback, void* argument, std::vector<std::pair<std::string, RmFrame*>>* named);

    std::vector<Animation> animations_;
};
