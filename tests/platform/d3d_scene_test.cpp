// The retained mode on a headless DirectDraw device: golden frames of a lit,
// textured model in each render quality and texture filter, X models in
// every encoding and from other tools, malformed models, animation keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "platform/d3d/d3d.h"
#include "platform/win/headless/png_image.h"
#include "tests/platform/ddraw_test_support.h"
#include "tests/support/cube_model.h"
#include "tests/support/golden_frames.h"
#include "tests/support/retained_scene.h"
#include "tools/editor_bitmaps/picture.h"
#include "tools/x_model/shapes.h"

namespace fs = std::filesystem;

// In a sanitizer build: allocation stacks unwound in full, so that the leak
// checker sees the model library under the decompressor it leaves behind on
// a malformed model (its own code has no frame pointers to walk).
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }

namespace {

constexpr int WIDTH = 160, HEIGHT = 120;

// A smooth torus to the right, half transparent, around the cube's frame.
XModel TorusModel() {
    XMaterial material;
    material.diffuse = {0.3f, 0.9f, 0.4f, 0.6f};
    XModel model;
    model.frames.push_back({"Ring", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1.4f, 0, -0.5f, 1}, {TorusMesh(24, 12, 1, 0.35f, material)}, {}});
    return model;
}

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Everything a model's vertices and faces hold, for comparing two loads.
struct MeshDump { std::vector<float> numbers; std::vector<DWORD> faces; };

// The same faces, and numbers equal within what a text number keeps.
void ExpectSameMesh(const MeshDump& a, const MeshDump& b, const char* what) {
    EXPECT_EQ(a.faces, b.faces) << what;
    ASSERT_EQ(a.numbers.size(), b.numbers.size()) << what;
    for (size_t i = 0; i < a.numbers.size(); ++i)
        ASSERT_NEAR(a.numbers[i], b.numbers[i], 1e-6f) << what << ": vertex " << i / 8 << ", value " << i % 8;
}

MeshDump Dump(IDirect3DRMMeshBuilder* builder) {
    const int vertices = builder->GetVertexCount(), faces = builder->GetFaceCount();
    std::vector<D3DVECTOR> positions(vertices), normals(vertices);
    std::vector<float> uvs(2 * static_cast<size_t>(vertices));
    MeshDump dump;
    dump.faces.resize(3 * static_cast<size_t>(faces));
    EXPECT_EQ(builder->GetVertices(vertices, positions.data(), normals.data(), uvs.data()), D3DRM_OK);
    EXPECT_EQ(builder->GetFaces(static_cast<DWORD>(dump.faces.size()), dump.faces.data()), D3DRM_OK);
    for (int i = 0; i < vertices; ++i)
        dump.numbers.insert(dump.numbers.end(), {positions[i].x, positions[i].y, positions[i].z, normals[i].x, normals[i].y,
                                                 normals[i].z, uvs[2 * i], uvs[2 * i + 1]});
    return dump;
}

class RetainedModeTest : public DirectDrawTest {
protected:
    void SetUp() override {
        DirectDrawTest::SetUp();
        folder_ = fs::path(::testing::TempDir()) /
                  ("d3d_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(folder_);
        IDirect3DRM* retained = nullptr;
        ASSERT_EQ(Direct3DRMCreate(&retained), D3DRM_OK);
        ASSERT_EQ(retained->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&retained_)), D3DRM_OK);
        retained->Release();
    }
    void TearDown() override {
        for (auto& release : releases_) release();
        while (!scenes_.empty()) scenes_.pop_back();
        if (retained_) retained_->Release();
        DirectDrawTest::TearDown();
    }

    // Releases what a test made when it ends, the last made first.
    template <typename T>
    T* Own(T* object) {
        releases_.insert(releases_.begin(), [object] { object->Release(); });
        return object;
    }
    // A new mesh builder, released at the end, and a model loaded from bytes into one.
    IDirect3DRMMeshBuilder* NewBuilder(IDirect3DRM2* retained = nullptr) {
        IDirect3DRMMeshBuilder* builder = nullptr;
        EXPECT_EQ((retained ? retained : retained_)->CreateMeshBuilder(&builder), D3DRM_OK);
        return Own(builder);
    }
    static HRESULT LoadBytes(IDirect3DRMMeshBuilder* builder, const std::vector<uint8_t>& bytes) {
        D3DRMLOADMEMORY memory{bytes.data(), static_cast<DWORD>(bytes.size())};
        return builder->Load(&memory, nullptr, D3DRMLOAD_FROMMEMORY, nullptr, nullptr);
    }

    fs::path folder_;
    IDirect3DRM2* retained_ = nullptr;
    std::vector<std::unique_ptr<RetainedScene>> scenes_;  // each case's scene, kept until the models are released
    std::vector<std::function<void()>> releases_;
};

}  // namespace

// A textured cube turned to show three faces and a half-transparent torus
// through it, lit by an ambient and a directional light, seen from six units
// back on a 16-bit surface.
TEST_F(RetainedModeTest, GoldenFramesOfEachRenderQuality) {
    // A checkerboard texture of 8 x 8 squares with a red corner, 64 x 64.
    Picture checker(64, 64, Rgb{});
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) checker.Set(x, y, ((x / 8 + y / 8) & 1) ? Rgb{240, 240, 240} : Rgb{40, 60, 200});
    checker.FillRect(0, 0, 8, 8, Rgb{220, 30, 30});
    ASSERT_TRUE(WriteBmpFile(checker, (folder_ / "checker.bmp").string()));
    const struct { const char* name; D3DRMRENDERQUALITY quality; D3DRMTEXTUREQUALITY texture; } cases[] = {
        {"d3d_wireframe", D3DRMRENDER_WIREFRAME, D3DRMTEXTURE_NEAREST},
        {"d3d_flat", D3DRMRENDER_FLAT, D3DRMTEXTURE_NEAREST},
        {"d3d_gouraud", D3DRMRENDER_GOURAUD, D3DRMTEXTURE_NEAREST},
        {"d3d_gouraud_linear", D3DRMRENDER_GOURAUD, D3DRMTEXTURE_LINEAR},
        {"d3d_gouraud_mipmap", D3DRMRENDER_GOURAUD, D3DRMTEXTURE_MIPNEAREST}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SceneSettings settings;
        settings.quality = c.quality;
        settings.textureQuality = c.texture;
        settings.sun[1] = 0.9f;
        settings.sun[2] = 0.8f;
        settings.sunDirection = {1, -1, 2};
        IDirectDrawSurface* target =
            NewSurface(WIDTH, HEIGHT, PIXEL_FORMAT_565, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
        RetainedScene& scene =
            *scenes_.emplace_back(std::make_unique<RetainedScene>(device_, target, WIDTH, HEIGHT, settings));
        ASSERT_TRUE(scene.ok());
        scene.device->SetRenderMode(D3DRMRENDERMODE_BLENDEDTRANSPARENCY | D3DRMRENDERMODE_SORTEDTRANSPARENCY);
        scene.scene->SetSceneBackground(0xFF203040u);
        scene.camera->SetPosition(scene.scene, 0, 0, -6);
        IDirect3DRMFrame2* frame = nullptr;
        scene.retained->CreateFrame(scene.scene, &frame);
        Own(frame)->AddRotation(D3DRMCOMBINE_REPLACE, 0, 1, 0, 0.6f);
        frame->AddRotation(D3DRMCOMBINE_AFTER, 1, 0, 0, 0.5f);
        frame->SetPosition(scene.scene, -0.6f, 0, 0);
        for (const XModel& model : {CubeModel((folder_ / "checker.bmp").string()), TorusModel()}) {
            IDirect3DRMMeshBuilder* builder = NewBuilder(scene.retained);
            ASSERT_EQ(LoadBytes(builder, WriteXModel(model, XEncoding::Text)), D3DRM_OK);
            builder->SetPerspective(TRUE);
            frame->AddVisual(builder);
        }
        ASSERT_EQ(scene.Render(), D3DRM_OK);
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        ASSERT_EQ(scene.surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        PixelBuffer picture{static_cast<uint8_t*>(desc.lpSurface), WIDTH, HEIGHT, desc.lPitch, PIXEL_FORMAT_565};
        std::string error;
        const fs::path captured = folder_ / (std::string(c.name) + ".png");
        const bool written = WritePicturePng(captured.string(), picture, &error);
        scene.surface->Unlock(nullptr);
        ASSERT_TRUE(written) << error;
        ExpectFrameMatchesGolden(captured, fs::path(KORVEN_SOURCE_DIR) / "tests/platform/golden" / captured.filename());
    }
}

TEST_F(RetainedModeTest, XFilesOfEveryEncodingAndFromOtherToolsLoadAndMalformedModelsAreRefused) {
    XMaterial material;
    material.diffuse = {0.8f, 0.4f, 0.2f, 1};
    XModel model;
    model.frames.push_back({"Torus", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.5f, 0, 2, 1}, {TorusMesh(40, 40, 2, 0.5f, material)}, {}});
    std::vector<MeshDump> dumps;
    IDirect3DRMMeshBuilder* builder = nullptr;
    for (XEncoding encoding : {XEncoding::Text, XEncoding::Binary, XEncoding::Compressed}) {
        builder = NewBuilder();
        ASSERT_EQ(LoadBytes(builder, WriteXModel(model, encoding)), D3DRM_OK);
        EXPECT_EQ(builder->GetFaceCount(), 2 * 40 * 40);
        dumps.push_back(Dump(builder));
    }
    ExpectSameMesh(dumps[0], dumps[1], "text and binary");
    ExpectSameMesh(dumps[1], dumps[2], "binary and compressed");
    // The frame's transform moved the torus to x 0.5, z 2 (outer radius 2.5, tube 0.5).
    D3DRMBOX box{};
    builder->GetBox(&box);
    const float corners[4][2] = {{box.min.x, -2.0f}, {box.max.x, 3.0f}, {box.min.z, 1.5f}, {box.max.z, 2.5f}};
    for (const auto& [got, want] : corners) EXPECT_NEAR(got, want, 1e-4);
    // Models written by other tools: the same cube as text, binary and MSZIP
    // from one exporter, and models from others that must load.
    const fs::path models = "/usr/share/assimp/models/X";
    std::vector<MeshDump> cubes;
    for (const char* name : {"test_cube_text.x", "test_cube_binary.x", "test_cube_compressed.x", "test.x",
                             "Testwuson.X", "fromtruespace_bin32.x", "kwxport_test_cubewithvcolors.x"}) {
        builder = NewBuilder();
        const std::string path = (models / name).string();
        ASSERT_EQ(builder->Load(path.c_str(), nullptr, D3DRMLOAD_FROMFILE, nullptr, nullptr), D3DRM_OK) << name;
        if (cubes.size() == 3) {
            EXPECT_GT(builder->GetFaceCount(), 0) << name;
            continue;
        }
        EXPECT_EQ(builder->GetFaceCount(), 12) << name;
        cubes.push_back(Dump(builder));
    }
    ExpectSameMesh(cubes[0], cubes[1], "text and binary cube");
    ExpectSameMesh(cubes[1], cubes[2], "binary and compressed cube");
    // Malformed models are refused.
    const std::vector<uint8_t> good = WriteXModel(CubeModel(""), XEncoding::Compressed);
    std::vector<std::vector<uint8_t>> bad = {
        {}, {'x', 'o', 'f', ' '}, std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(good.size() / 2))};
    std::vector<uint8_t> scrambled = good;
    for (size_t i = 24; i < scrambled.size(); i += 7) scrambled[i] ^= 0x5A;
    bad.push_back(scrambled);
    const std::vector<uint8_t> text = WriteXModel(CubeModel(""), XEncoding::Text);
    bad.emplace_back(text.begin(), text.begin() + static_cast<long>(text.size() / 3));
    for (const auto& bytes : bad) EXPECT_NE(LoadBytes(NewBuilder(), bytes), D3DRM_OK);
    EXPECT_EQ(NewBuilder()->Load("no such model.x", nullptr, D3DRMLOAD_FROMFILE, nullptr, nullptr),
              D3DRMERR_FILENOTFOUND);
}

// Position keys are interpolated linearly, rotations along the shorter arc;
// before the first key and after the last the end keys hold. Each mesh of a
// model keeps its own material: two cubes naming different textures ask for
// both. The same in every encoding, from a file or from memory.
TEST_F(RetainedModeTest, AnimationSetsPlaceFramesByTheirKeysAndAskForEveryMeshsTexture) {
    XMaterial left, right;
    left.textureFile = "left.bmp";
    right.textureFile = "right.bmp";
    XModel model;
    model.frames.push_back({"Left", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, {CubeMesh(1, left)}, {}});
    model.frames.push_back({"Right", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 2, 0, 0, 1}, {CubeMesh(1, right)}, {}});
    model.ticksPerSecond = 100;
    model.animationSetName = "Spin";
    const float half = 0.70710678f;
    model.animations.push_back(
        {"Left", {{0, {1, 0, 0, 0}}, {10, {half, 0, half, 0}}}, {}, {{0, {0, 0, 0}}, {10, {4, 2, 0}}}});
    const auto remember = [](const char* name, void* names, IDirect3DRMTexture** texture) -> HRESULT {
        static_cast<std::vector<std::string>*>(names)->push_back(name);
        *texture = nullptr;
        return D3DRM_OK;
    };
    for (XEncoding encoding : {XEncoding::Text, XEncoding::Binary, XEncoding::Compressed}) {
        SCOPED_TRACE(static_cast<int>(encoding));
        const std::vector<uint8_t> bytes = WriteXModel(model, encoding);
        const std::string path = (folder_ / "spin.x").string();
        WriteFile(path, bytes);
        D3DRMLOADMEMORY memory{bytes.data(), static_cast<DWORD>(bytes.size())};
        const bool fromFile = encoding == XEncoding::Binary;
        IDirect3DRMFrame2* parent = nullptr;
        IDirect3DRMFrame2* root = nullptr;
        retained_->CreateFrame(nullptr, &root);
        retained_->CreateFrame(Own(root), &parent);
        IDirect3DRMAnimationSet* set = nullptr;
        retained_->CreateAnimationSet(&set);
        std::vector<std::string> names;
        const void* source = fromFile ? static_cast<const void*>(path.c_str()) : &memory;
        const D3DRMLOADOPTIONS from = fromFile ? D3DRMLOAD_FROMFILE : D3DRMLOAD_FROMMEMORY;
        ASSERT_EQ(Own(set)->Load(source, nullptr, from, remember, &names, Own(parent)), D3DRM_OK);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"left.bmp", "right.bmp"}));
        IDirect3DRMFrameArray* children = nullptr;
        parent->GetChildren(&children);
        ASSERT_EQ(children->GetSize(), 2u);
        IDirect3DRMFrame* cube = nullptr;
        children->GetElement(0, &cube);
        children->Release();
        Own(cube);
        D3DVECTOR position{}, direction{}, up{};
        set->SetTime(5);
        cube->GetPosition(parent, &position);
        EXPECT_NEAR(position.x, 2.0f, 1e-5);
        EXPECT_NEAR(position.y, 1.0f, 1e-5);
        set->SetTime(10);
        cube->GetOrientation(parent, &direction, &up);
        // A quarter turn about Y: the frame's Z axis now lies along the X axis, one way or the other.
        EXPECT_NEAR(std::fabs(direction.x), 1.0f, 1e-4);
        EXPECT_NEAR(up.y, 1.0f, 1e-4);
        set->SetTime(50);
        cube->GetPosition(parent, &position);
        EXPECT_NEAR(position.x, 4.0f, 1e-5);
    }
}
