// The 3D renderer against Mesa's llvmpipe on one thread (OSMesa, the same
// run, the same scene): a textured, Gouraud-lit, depth-tested torus of
// 400 to 40,000 triangles at 640 x 480 in 16-bit colour, one directional light
// plus ambient, nearest filtering, back faces culled. Counters: frames per
// second of each, millions of triangles per second, and x_llvmpipe (our
// frame rate over llvmpipe's).
#include <GL/gl.h>
#include <GL/osmesa.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "bench/bench_support.h"
#include "framework/display/display.h"
#include "platform/d3d/d3d.h"
#include "tests/support/retained_scene.h"
#include "tools/editor_bitmaps/picture.h"
#include "tools/x_model/shapes.h"

namespace {

constexpr int WIDTH = 640, HEIGHT = 480;
constexpr float DISTANCE = 3.4f, TILT = 0.9f;
const float LIGHT_DIRECTION[3] = {0.4f, -0.6f, 0.7f};  // where the light shines (left-handed)

// A 64 x 64 checkerboard.
Picture CheckerPicture() {
    Picture picture(64, 64, Rgb{});
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) picture.Set(x, y, ((x / 8 + y / 8) & 1) ? Rgb{250, 220, 120} : Rgb{60, 90, 200});
    return picture;
}

// Rings x sides giving the triangle count, about 2:1.
XMesh Torus(int triangles) {
    const int sides = static_cast<int>(std::sqrt(triangles / 4.0));
    return TorusMesh(triangles / (2 * sides), sides, 1.0f, 0.4f, XMaterial{});
}

// Our renderer: a 16-bit 3D surface with a 16-bit Z buffer, the retained mode
// with the torus tilted towards the camera.
class SoftwareScene {
public:
    explicit SoftwareScene(int triangles) : scene_(GetDirectDraw(), RenderSurface(), WIDTH, HEIGHT, Settings()) {
        const std::string texturePath = (std::filesystem::temp_directory_path() / "bench_scene3d_checker.bmp").string();
        WriteBmpFile(CheckerPicture(), texturePath);
        IDirect3DRMTexture2* texture = nullptr;
        scene_.retained->LoadTexture(texturePath.c_str(), &texture);
        XModel model;
        model.frames.push_back({"Torus", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, {Torus(triangles)}, {}});
        const std::vector<uint8_t> bytes = WriteXModel(model, XEncoding::Binary);
        D3DRMLOADMEMORY memory{bytes.data(), static_cast<DWORD>(bytes.size())};
        IDirect3DRMMeshBuilder* builder = nullptr;
        scene_.retained->CreateMeshBuilder(&builder);
        builder->Load(&memory, nullptr, D3DRMLOAD_FROMMEMORY, nullptr, nullptr);
        builder->SetTexture(texture);
        builder->SetPerspective(TRUE);
        texture->Release();
        IDirect3DRMFrame2* frame = nullptr;
        scene_.retained->CreateFrame(scene_.scene, &frame);
        frame->AddRotation(D3DRMCOMBINE_REPLACE, 1, 0, 0, TILT);
        frame->SetPosition(scene_.scene, 0, 0, DISTANCE);
        frame->AddVisual(builder);
        builder->Release();
        frame->Release();
    }
    void Frame() { scene_.Render(); }

private:
    static IDirectDrawSurface* RenderSurface() {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = WIDTH;
        desc.dwHeight = HEIGHT;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
        IDirectDrawSurface* surface = nullptr;
        GetDirectDraw()->CreateSurface(&desc, &surface, nullptr);
        return surface;
    }
    static SceneSettings Settings() {
        SceneSettings settings;
        settings.ambient = 0xFF4D4D4Du;  // 0.3 of full light
        settings.sun[0] = settings.sun[1] = settings.sun[2] = 0.9f;
        settings.sunDirection = {LIGHT_DIRECTION[0], LIGHT_DIRECTION[1], LIGHT_DIRECTION[2]};
        return settings;
    }
    RetainedScene scene_;
};

// The same scene through OpenGL 1.x on OSMesa into a 5-6-5 buffer. OpenGL is
// right-handed: z is mirrored, which turns clockwise faces anticlockwise.
class MesaScene {
public:
    explicit MesaScene(int triangles) : pixels_(static_cast<size_t>(WIDTH) * HEIGHT) {
        context_ = OSMesaCreateContextExt(OSMESA_RGB_565, 16, 0, 0, nullptr);
        OSMesaMakeCurrent(context_, pixels_.data(), GL_UNSIGNED_SHORT_5_6_5, WIDTH, HEIGHT);
        const XMesh mesh = Torus(triangles);
        const float c = std::cos(TILT), s = std::sin(TILT);
        for (size_t i = 0; i < mesh.positions.size(); i += 3) {
            // Rotation about X as the retained mode turns row vectors, then z mirrored.
            const float* p = &mesh.positions[i];
            const float* n = &mesh.normals[i];
            positions_.insert(positions_.end(), {p[0], p[1] * c - p[2] * s, -(p[1] * s + p[2] * c + DISTANCE)});
            normals_.insert(normals_.end(), {n[0], n[1] * c - n[2] * s, -(n[1] * s + n[2] * c)});
        }
        uvs_ = mesh.uvs;
        for (const auto& face : mesh.faces) indices_.insert(indices_.end(), face.begin(), face.end());

        glViewport(0, 0, WIDTH, HEIGHT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-0.5, 0.5, -0.375, 0.375, 1, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glEnable(GL_CULL_FACE);
        glShadeModel(GL_SMOOTH);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        const GLfloat ambient[4] = {0.3f, 0.3f, 0.3f, 1}, diffuse[4] = {0.9f, 0.9f, 0.9f, 1}, none[4] = {0, 0, 0, 1};
        const GLfloat toLight[4] = {-LIGHT_DIRECTION[0], -LIGHT_DIRECTION[1], LIGHT_DIRECTION[2], 0};
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
        glLightfv(GL_LIGHT0, GL_AMBIENT, none);
        glLightfv(GL_LIGHT0, GL_SPECULAR, none);
        glLightfv(GL_LIGHT0, GL_POSITION, toLight);
        const GLfloat white[4] = {1, 1, 1, 1};
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, white);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, none);
        glEnable(GL_TEXTURE_2D);
        const Picture picture = CheckerPicture();
        std::vector<uint8_t> texels;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) texels.insert(texels.end(), {picture.Get(x, y).r, picture.Get(x, y).g, picture.Get(x, y).b});
        glGenTextures(1, &texture_);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 64, 64, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glClearColor(0, 0, 0, 1);
    }
    ~MesaScene() { OSMesaDestroyContext(context_); }
    void Frame() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glVertexPointer(3, GL_FLOAT, 0, positions_.data());
        glNormalPointer(GL_FLOAT, 0, normals_.data());
        glTexCoordPointer(2, GL_FLOAT, 0, uvs_.data());
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices_.size()), GL_UNSIGNED_INT, indices_.data());
        glFinish();
    }

private:
    std::vector<uint16_t> pixels_;
    OSMesaContext context_ = nullptr;
    GLuint texture_ = 0;
    std::vector<float> positions_, normals_, uvs_;
    std::vector<uint32_t> indices_;
};

void TexturedTorus(benchmark::State& state) {
    const int triangles = static_cast<int>(state.range(0));
    SoftwareScene ours(triangles);
    for (auto _ : state) ours.Frame();
    const int64_t times = std::max<int64_t>(state.iterations(), 1);
    const double ourSeconds = SecondsFor(times, [&] { ours.Frame(); });
    MesaScene mesa(triangles);
    mesa.Frame();  // compiles its shaders
    const double mesaSeconds = SecondsFor(times, [&] { mesa.Frame(); });
    state.counters["fps"] = static_cast<double>(times) / ourSeconds;
    state.counters["llvmpipe_fps"] = static_cast<double>(times) / mesaSeconds;
    state.counters["Mtri/s"] = static_cast<double>(triangles) * static_cast<double>(times) / ourSeconds / 1e6;
    state.counters["x_llvmpipe"] = mesaSeconds / ourSeconds;
}

// llvmpipe on the calling thread only, whatever the environment says.
const bool SINGLE_THREADED_MESA = [] {
    setenv("LP_NUM_THREADS", "0", 1);
    setenv("GALLIUM_DRIVER", "llvmpipe", 1);
    return true;
}();

}  // namespace

BENCHMARK(TexturedTorus)->Arg(400)->Arg(2500)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);
