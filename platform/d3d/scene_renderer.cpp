// The geometry stage of the renderer.
#include "platform/d3d/scene_renderer.h"

#include <algorithm>
#include <cmath>

#include "platform/d3d/light.h"
#include "platform/d3d/mesh_data.h"

namespace {

constexpr float GUARD_BAND = 8192;  // pixels beyond the viewport centre that need no clipping

struct LightColor {
    float r = 0, g = 0, b = 0;
};

// A light placed in camera space.
struct PlacedLight {
    D3DRMLIGHTTYPE type;
    LightColor color;
    Vec3 position;
    Vec3 direction;  // where the light shines
    const RmLight* light;
};

struct SceneLights {
    LightColor ambient;
    std::vector<PlacedLight> lights;
};

LightColor ColorOf(D3DCOLOR color, D3DCOLORMODEL model) {
    LightColor c{static_cast<float>((color >> 16) & 255) / 255, static_cast<float>((color >> 8) & 255) / 255,
                 static_cast<float>(color & 255) / 255};
    if (model == D3DCOLOR_MONO) {
        const float grey = 0.299f * c.r + 0.587f * c.g + 0.114f * c.b;
        c = {grey, grey, grey};
    }
    return c;
}

void CollectLights(RmFrame* frame, const Affine& toCamera, D3DCOLORMODEL model, SceneLights* out) {
    const Affine placed = frame->Local() * toCamera;
    for (RmLight* light : frame->Lights()) {
        const LightColor color = ColorOf(light->GetColor(), model);
        if (light->GetType() == D3DRMLIGHT_AMBIENT) {
            out->ambient = {out->ambient.r + color.r, out->ambient.g + color.g, out->ambient.b + color.b};
            continue;
        }
        out->lights.push_back({light->GetType(), color, placed.row[3], Normalized(placed.row[2]), light});
    }
    for (RmFrame* child : frame->Children()) CollectLights(child, placed, model, out);
}

// The light falling on a surface point with a normal, ambient included.
LightColor LightAt(const SceneLights& scene, Vec3 point, Vec3 normal) {
    LightColor sum = scene.ambient;
    for (const PlacedLight& light : scene.lights) {
        float intensity;
        if (light.type == D3DRMLIGHT_DIRECTIONAL) {
            intensity = -Dot(normal, light.direction);
        } else {
            const Vec3 toLight = light.position - point;
            const float distance = Length(toLight);
            if (distance > light.light->Range() || distance == 0) continue;
            intensity = Dot(normal, toLight) / distance * light.light->Attenuation(distance);
            if (light.type == D3DRMLIGHT_SPOT) {
                const float angle = std::acos(std::clamp(-Dot(toLight, light.direction) / distance, -1.0f, 1.0f));
                const float umbra = light.light->Umbra(), penumbra = std::max(light.light->Penumbra(), umbra);
                if (angle > penumbra) continue;
                if (angle > umbra) intensity *= (penumbra - angle) / (penumbra - umbra);
            }
        }
        if (intensity <= 0) continue;
        sum = {sum.r + light.color.r * intensity, sum.g + light.color.g * intensity, sum.b + light.color.b * intensity};
    }
    return sum;
}

// Turning anticlockwise on the screen: seen from behind, never drawn. Faces
// seen edge-on are left to the rasteriser's exact test.
bool IsBackFacing(const RasterVertex& a, const RasterVertex& b, const RasterVertex& c) {
    return (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y) < 0;
}

// Outcode bits: outside the front, back, left, right, top, bottom planes.
enum : uint8_t { OUTSIDE_FRONT = 1, OUTSIDE_BACK = 2, OUTSIDE_LEFT = 4, OUTSIDE_RIGHT = 8, OUTSIDE_TOP = 16, OUTSIDE_BOTTOM = 32 };

// A vertex in camera space with what it carries.
struct CameraVertex {
    Vec3 p;
    float u, v;
    float r, g, b;
};

class Renderer {
public:
    Renderer(const RenderTarget& target, const RenderSettings& settings, const ViewVolume& volume)
        : target_(target), settings_(settings), volume_(volume) {
        const RECT& clip = target.clip;
        centerX_ = static_cast<float>(clip.left + clip.right) * 0.5f;
        centerY_ = static_cast<float>(clip.top + clip.bottom) * 0.5f;
        const float field = volume.field > 0 ? volume.field : 0.5f;
        focal_ = static_cast<float>(clip.right - clip.left) * 0.5f / field;
        depthScale_ = volume.back / (volume.back - volume.front);
    }

    void DrawTree(RmFrame* frame, const Affine& parentToCamera, const SceneLights& lights) {
        const Affine toCamera = frame->Local() * parentToCamera;
        for (IDirect3DRMVisual* visual : frame->Visuals())
            if (const auto* mesh = dynamic_cast<const MeshVisual*>(visual)) DrawMesh(*mesh, toCamera, lights);
        for (RmFrame* child : frame->Children()) DrawTree(child, toCamera, lights);
    }

    // The blended faces, farthest first when sorting is on (ties in drawing order).
    void DrawDeferred() {
        if (settings_.renderMode & D3DRMRENDERMODE_SORTEDTRANSPARENCY)
            std::stable_sort(deferred_.begin(), deferred_.end(),
                             [](const Deferred& a, const Deferred& b) { return a.depth > b.depth; });
        for (const Deferred& face : deferred_) DrawTriangle(target_, &face.v[0], &face.v[1], &face.v[2], face.style);
    }

private:
    struct Deferred {
        RasterVertex v[3];
        TriangleStyle style;
        float depth;
    };

    uint8_t Outcode(Vec3 p) const {
        uint8_t code = 0;
        if (p.z < volume_.front) code |= OUTSIDE_FRONT;
        if (p.z > volume_.back) code |= OUTSIDE_BACK;
        const float limit = GUARD_BAND * p.z;
        if (p.x * focal_ < -limit) code |= OUTSIDE_LEFT;
        if (p.x * focal_ > limit) code |= OUTSIDE_RIGHT;
        if (p.y * focal_ > limit) code |= OUTSIDE_TOP;
        if (p.y * focal_ < -limit) code |= OUTSIDE_BOTTOM;
        return code;
    }

    RasterVertex Project(const CameraVertex& c) const {
        const float w = 1.0f / c.p.z;
        return {centerX_ + c.p.x * focal_ * w, centerY_ - c.p.y * focal_ * w, (1.0f - volume_.front * w) * depthScale_, w,
                c.u, c.v, c.r, c.g, c.b};
    }

    // The lit colour of a material under light, 0..255 for the rasteriser.
    void Shade(const MeshMaterial& material, const LightColor& light, CameraVertex* out) const {
        const bool lit = (quality_ & D3DRMLIGHT_MASK) == D3DRMLIGHT_ON;
        const LightColor l = lit ? Quantize(light) : LightColor{1, 1, 1};
        const Vec3 e = lit ? material.emissive : Vec3{};
        auto channel = [](float m, float light, float emissive) { return std::clamp((m * light + emissive) * 255.0f, 0.5f, 255.4f); };
        out->r = channel(material.diffuse[0], l.r, e.x);
        out->g = channel(material.diffuse[1], l.g, e.y);
        out->b = channel(material.diffuse[2], l.b, e.z);
    }

    // A MONO device lights in as many grey levels as it has shades.
    LightColor Quantize(LightColor light) const {
        if (settings_.colorModel != D3DCOLOR_MONO || settings_.shades < 2) return light;
        const float levels = static_cast<float>(settings_.shades - 1);
        auto q = [&](float v) { return std::round(std::clamp(v, 0.0f, 1.0f) * levels) / levels; };
        return {q(light.r), q(light.g), q(light.b)};
    }

    void DrawMesh(const MeshVisual& visual, const Affine& toCamera, const SceneLights& lights) {
        const MeshData& mesh = visual.Geometry();
        const DWORD meshQuality = visual.Quality(), device = settings_.quality;
        quality_ = std::min(meshQuality & D3DRMSHADE_MASK, device & D3DRMSHADE_MASK) |
                   std::min(meshQuality & D3DRMLIGHT_MASK, device & D3DRMLIGHT_MASK) |
                   std::min(meshQuality & D3DRMFILL_MASK, device & D3DRMFILL_MASK);
        perspective_ = visual.Perspective();
        const size_t count = mesh.VertexCount();
        points_.resize(count);
        codes_.resize(count);
        light_.resize(count);
        projected_.resize(count);
        const bool gouraud = (quality_ & D3DRMSHADE_MASK) == D3DRMSHADE_GOURAUD &&
                             (quality_ & D3DRMLIGHT_MASK) == D3DRMLIGHT_ON;
        for (size_t i = 0; i < count; ++i) {
            points_[i] = toCamera.Apply(mesh.positions[i]);
            codes_[i] = Outcode(points_[i]);
            if (gouraud) light_[i] = LightAt(lights, points_[i], Normalized(toCamera.ApplyToDirection(mesh.normals[i])));
            if (codes_[i] == 0) projected_[i] = Project({points_[i], 0, 0, 0, 0, 0});
        }
        for (size_t t = 0; t < mesh.TriangleCount(); ++t) {
            const uint32_t* index = &mesh.indices[3 * t];
            if (codes_[index[0]] & codes_[index[1]] & codes_[index[2]]) continue;
            const bool inside = (codes_[index[0]] | codes_[index[1]] | codes_[index[2]]) == 0;
            if (inside && IsBackFacing(projected_[index[0]], projected_[index[1]], projected_[index[2]])) continue;
            const MeshMaterial& material = mesh.materials[mesh.triangleMaterials[t]];
            CameraVertex corners[3];
            for (int k = 0; k < 3; ++k) {
                corners[k].p = points_[index[k]];
                corners[k].u = mesh.uvs[2 * index[k]];
                corners[k].v = mesh.uvs[2 * index[k] + 1];
            }
            if (gouraud) {
                for (int k = 0; k < 3; ++k) Shade(material, light_[index[k]], &corners[k]);
            } else {
                // One colour per face: the light at its centre along its normal.
                const Vec3 centre = (corners[0].p + corners[1].p + corners[2].p) * (1.0f / 3);
                const Vec3 normal = Normalized(Cross(corners[1].p - corners[0].p, corners[2].p - corners[0].p));
                Shade(material, LightAt(lights, centre, normal), &corners[0]);
                for (int k = 1; k < 3; ++k) {
                    corners[k].r = corners[0].r;
                    corners[k].g = corners[0].g;
                    corners[k].b = corners[0].b;
                }
            }
            if (inside) {
                RasterVertex v[3];
                for (int k = 0; k < 3; ++k) {
                    v[k] = projected_[index[k]];
                    v[k].u = corners[k].u;
                    v[k].v = corners[k].v;
                    v[k].r = corners[k].r;
                    v[k].g = corners[k].g;
                    v[k].b = corners[k].b;
                }
                DrawFace(v, 3, material);
            } else {
                DrawClipped(corners, material);
            }
        }
    }

    // Cuts the triangle by every plane it crosses and draws what is left as a fan.
    void DrawClipped(const CameraVertex* corners, const MeshMaterial& material) {
        CameraVertex buffers[2][9];
        int count = 3;
        std::copy(corners, corners + 3, buffers[0]);
        int current = 0;
        const float f = focal_;
        const struct {
            float a, b, c, d;  // inside when a x + b y + c z + d >= 0
        } planes[6] = {{0, 0, 1, -volume_.front}, {0, 0, -1, volume_.back}, {f, 0, GUARD_BAND, 0},
                       {-f, 0, GUARD_BAND, 0},      {0, -f, GUARD_BAND, 0},   {0, f, GUARD_BAND, 0}};
        for (const auto& plane : planes) {
            const CameraVertex* in = buffers[current];
            CameraVertex* out = buffers[1 - current];
            int produced = 0;
            for (int i = 0; i < count; ++i) {
                const CameraVertex& a = in[i];
                const CameraVertex& b = in[(i + 1) % count];
                const float da = plane.a * a.p.x + plane.b * a.p.y + plane.c * a.p.z + plane.d;
                const float db = plane.a * b.p.x + plane.b * b.p.y + plane.c * b.p.z + plane.d;
                if (da >= 0) out[produced++] = a;
                if ((da >= 0) != (db >= 0)) {
                    const float t = da / (da - db);
                    auto mix = [t](float x, float y) { return x + (y - x) * t; };
                    out[produced++] = {a.p + (b.p - a.p) * t, mix(a.u, b.u), mix(a.v, b.v),
                                       mix(a.r, b.r),         mix(a.g, b.g), mix(a.b, b.b)};
                }
            }
            count = produced;
            current = 1 - current;
            if (count < 3) return;
        }
        RasterVertex v[9];
        for (int i = 0; i < count; ++i) v[i] = Project(buffers[current][i]);
        DrawFace(v, count, material);
    }

    // A convex polygon of the face in the current fill mode.
    void DrawFace(const RasterVertex* v, int count, const MeshMaterial& material) {
        const DWORD fill = quality_ & D3DRMFILL_MASK;
        if (fill != D3DRMFILL_SOLID) {
            // Lines and points are drawn for front faces only, like solid faces.
            if (IsBackFacing(v[0], v[1], v[2])) return;
            for (int i = 0; i < count; ++i) {
                if (fill == D3DRMFILL_WIREFRAME) DrawLine(target_, v[i], v[(i + 1) % count]);
                else DrawPoint(target_, v[i]);
            }
            return;
        }
        TriangleStyle style;
        style.dither = settings_.dither;
        style.perspective = perspective_;
        const bool blended = material.diffuse[3] < 1 && (settings_.renderMode & D3DRMRENDERMODE_BLENDEDTRANSPARENCY);
        if (blended) style.alpha = material.diffuse[3];
        for (int i = 1; i + 1 < count; ++i) {
            if (material.texture) ChooseTexture(*material.texture.get(), v[0], v[i], v[i + 1], &style);
            if (blended) {
                deferred_.push_back({{v[0], v[i], v[i + 1]}, style, (v[0].z + v[i].z + v[i + 1].z) / 3});
            } else {
                DrawTriangle(target_, &v[0], &v[i], &v[i + 1], style);
            }
        }
    }

    // The level and filter the device's texture quality asks for; for
    // mip-mapping the level whose texels are nearest to one per pixel over
    // the triangle.
    void ChooseTexture(const RmTexture& texture, const RasterVertex& a, const RasterVertex& b, const RasterVertex& c,
                       TriangleStyle* style) const {
        const auto& levels = texture.Levels();
        style->filter = settings_.textureQuality == D3DRMTEXTURE_LINEAR ? TextureFilter::Linear : TextureFilter::Nearest;
        size_t level = 0;
        if (settings_.textureQuality == D3DRMTEXTURE_MIPNEAREST) {
            const float screen = std::fabs((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y));
            const float texels = std::fabs((b.u - a.u) * (c.v - a.v) - (c.u - a.u) * (b.v - a.v)) *
                                 static_cast<float>(levels[0].width) * static_cast<float>(levels[0].height);
            if (screen > 0 && texels > screen) {
                const float lod = 0.5f * std::log2(texels / screen);
                level = std::min(static_cast<size_t>(lod + 0.5f), levels.size() - 1);
            }
        }
        style->texture = &levels[level];
    }

    const RenderTarget& target_;
    const RenderSettings& settings_;
    const ViewVolume& volume_;
    float centerX_, centerY_, focal_, depthScale_;
    DWORD quality_ = 0;
    bool perspective_ = false;
    std::vector<Vec3> points_;
    std::vector<uint8_t> codes_;
    std::vector<LightColor> light_;
    std::vector<RasterVertex> projected_;
    std::vector<Deferred> deferred_;
};

}  // namespace

void RenderFrames(const RenderTarget& target, const RenderSettings& settings, const ViewVolume& volume, RmFrame* camera,
                  RmFrame* frame) {
    const Affine worldToCamera = Inverse(camera->World());
    SceneLights lights;
    RmFrame* scene = frame->Root();
    CollectLights(scene, worldToCamera, settings.colorModel, &lights);
    Renderer renderer(target, settings, volume);
    const Affine parentToCamera = frame->Parent() ? frame->Parent()->World() * worldToCamera : worldToCamera;
    renderer.DrawTree(frame, parentToCamera, lights);
    renderer.DrawDeferred();
}
