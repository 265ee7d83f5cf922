// The 3D layer on a headless display: start-up, the device choice, mesh slots,
// the shared texture table and the names of animation frames, with their log lines.
#include <gtest/gtest.h>

#include <filesystem>

#include "framework/scene3d/scene3d.h"
#include "platform/ddraw/ddraw_objects.h"
#include "platform/win/resources.h"
#include "tests/framework/display_fixture.h"
#include "tests/framework/slot_pictures.h"
#include "tests/support/cube_model.h"
#include "tests/support/scoped_value.h"
#include "tools/editor_bitmaps/picture.h"
#include "tools/x_model/shapes.h"

namespace fs = std::filesystem;

namespace {

const char* Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

D3DDEVICEDESC Description(D3DCOLORMODEL model, DWORD renderDepths, DWORD zDepths) {
    return {sizeof(D3DDEVICEDESC), 0, model, 0, renderDepths, zDepths, 0, 0};
}

class Scene3DTest : public DisplayTest {
protected:
    void SetUp() override {
        folder_ = fs::path(::testing::TempDir()) /
                  ("scene3d_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(folder_);
        fs::current_path(folder_);  // model file names are resolved against the working directory
        PlatformOptions options;
        options.logPath = (folder_ / "log.txt").string();
        StartDisplay(options, [] {
            gApp.enable3D = 1;
            hardwareChosen = 0;
        });
        ASSERT_EQ(Init3D(), 1);
    }
    void TearDown() override {
        std::destroy_at(&gDirect3D);  // Release3D
        std::construct_at(&gDirect3D);
        DisplayTest::TearDown();
    }

    std::string Log() const { return ReadText((folder_ / "log.txt").string()); }
    void WriteModel(const std::string& name, const XModel& model) {
        WriteBytes((folder_ / name).string(), WriteXModel(model, XEncoding::Text));
    }

    void WriteCube(const std::string& name, const std::string& texture) { WriteModel(name, CubeModel(texture)); }

    void WriteTexture(const std::string& name, Rgb color) {
        ASSERT_TRUE(WriteBmpFile(Picture(8, 8, color), (folder_ / name).string()));
    }

    // The cube of mesh slot 0 five units in front of the camera, drawn.
    HRESULT RenderSlotZero() {
        IDirect3DRMFrame2* frame = nullptr;
        gDirect3D.retained->CreateFrame(gDirect3D.scene, &frame);
        frame->SetPosition(gDirect3D.scene, 0, 0, 5);
        frame->AddVisual(gDirect3D.meshes[0]);
        HRESULT result = gDirect3D.viewport->Clear();
        if (result == D3DRM_OK) result = gDirect3D.viewport->Render(gDirect3D.scene);
        gDirect3D.scene->DeleteChild(frame);
        frame->Release();
        return result;
    }

    fs::path folder_;
};

}  // namespace

// The display reports 3D, so the RGB device is judged by its hardware
// description and wins, with its Z buffer in video memory.
TEST_F(Scene3DTest, StartUpChoosesTheRgbDeviceAndDrawingSurvivesADisplaySwitchAndASurfaceLoss) {
    EXPECT_EQ(Is3DReady(), 1);
    EXPECT_STREQ(gDirect3D.deviceName, "Korven RGB renderer");
    EXPECT_EQ((std::vector<uint32_t>{gDirect3D.zBufferDepth, gDirect3D.zBufferMemory}), (std::vector<uint32_t>{16, DDSCAPS_VIDEOMEMORY}));
    EXPECT_NE(Log().find(Utf8(u8"[Korven RGB renderer]を使用します\n")), std::string::npos) << Log();
    EXPECT_EQ(gDirect3D.rmDevice->GetQuality(), D3DRMRENDER_FLAT);  // the editor's configuration: -1
    EXPECT_EQ(gDirect3D.rmDevice->GetTextureQuality(), D3DRMTEXTURE_MIPNEAREST);
    EXPECT_EQ(gDirect3D.viewport->GetBack(), 1000.0f);
    D3DVECTOR direction{}, up{};
    gDirect3D.camera->GetOrientation(gDirect3D.scene, &direction, &up);
    EXPECT_EQ((std::vector<float>{direction.z, up.y}), (std::vector<float>{1, 1}));

    // The device part is rebuilt around a switch between window and full
    // screen, and drawing goes on after the surfaces were lost and restored.
    WriteTexture("red.bmp", Rgb{230, 40, 40});
    WriteCube("cube.x", "red.bmp");
    ASSERT_EQ(LoadMesh(0, "cube.x", KEEP_MODEL_SCALE, D3DRMRENDER_UNLITFLAT, 0), 1);
    ASSERT_EQ(RenderSlotZero(), D3DRM_OK);
    const uint16_t red = BackPixel(320, 240);
    EXPECT_NE(red, 0);
    ToggleFullScreen();
    EXPECT_EQ(Is3DReady(), 1);
    ClearBackBufferTo(0);
    ASSERT_EQ(RenderSlotZero(), D3DRM_OK);
    EXPECT_EQ(BackPixel(320, 240), red);

    MarkAllSurfacesLost();  // the device restores its surfaces before it draws
    ASSERT_EQ(RenderSlotZero(), D3DRM_OK);
    EXPECT_EQ(BackPixel(320, 240), red);
}

TEST_F(Scene3DTest, DeviceChoiceFollowsHardwareThenSoftwareRules) {
    GUID first{1, 0, 0, {}}, second{2, 0, 0, {}};
    uint32_t depth = 0, memory = 0;
    GUID chosen{};
    char name[256] = "";
    struct {
        GUID* guid;
        char* name;
        uint32_t* depth;
        uint32_t* memory;
    } choice{&chosen, name, &depth, &memory};
    D3DDEVICEDESC none = Description(0, 0, 0);

    // A hardware device followed by a software one: the hardware device stays.
    gApp.device3DFound = 1;
    hardwareChosen = 0;
    D3DDEVICEDESC rgb = Description(D3DCOLOR_RGB, DDBD_16, DDBD_24 | DDBD_32), mono = Description(D3DCOLOR_MONO, DDBD_16, DDBD_16);
    Choose3DDevice(&first, "hardware", "", &rgb, &none, &choice);
    Choose3DDevice(&second, "software", "", &none, &mono, &choice);
    EXPECT_STREQ(name, "hardware");
    EXPECT_EQ(depth, 24u);
    EXPECT_EQ(hardwareChosen, 1);

    // Two acceptable software devices: the second, with a 16-bit Z buffer in system memory.
    hardwareChosen = 0;
    gApp.device3DFound = 0;
    D3DDEVICEDESC mono32 = Description(D3DCOLOR_MONO, DDBD_16, DDBD_32);
    Choose3DDevice(&first, "soft one", "", &rgb, &mono32, &choice);
    Choose3DDevice(&second, "soft two", "", &rgb, &mono32, &choice);
    EXPECT_STREQ(name, "soft two");
    EXPECT_EQ((std::vector<uint32_t>{chosen.data1, depth, memory}), (std::vector<uint32_t>{2, 16, DDSCAPS_SYSTEMMEMORY}));

    // At 8 bits per pixel render depths are not looked at; at 16 they are.
    D3DDEVICEDESC mono24 = Description(D3DCOLOR_MONO, DDBD_24, DDBD_16);
    gDisplay.bitDepth = 16;
    Choose3DDevice(&first, "24 only", "", &none, &mono24, &choice);
    EXPECT_STREQ(name, "soft two");
    gDisplay.bitDepth = 8;
    Choose3DDevice(&first, "24 only", "", &none, &mono24, &choice);
    EXPECT_STREQ(name, "24 only");

    // Free video memory exactly the Z buffer's size: system memory (the test is strictly greater).
    DDCAPS caps{};
    caps.dwSize = sizeof caps;
    GetDirectDraw()->GetCaps(&caps, nullptr);
    ASSERT_EQ(caps.dwVidMemFree % 2, 0u);
    gDisplay.bitDepth = 16;
    const ScopedValue width(gDisplay.screenWidth, static_cast<int32_t>(caps.dwVidMemFree / 2));
    const ScopedValue height(gDisplay.screenHeight, 1);
    gApp.device3DFound = 1;
    hardwareChosen = 0;
    D3DDEVICEDESC rgb16 = Description(D3DCOLOR_RGB, DDBD_16, DDBD_16);
    Choose3DDevice(&first, "exact", "", &rgb16, &none, &choice);
    EXPECT_EQ(memory, DDSCAPS_SYSTEMMEMORY);
    gDisplay.screenWidth -= 1;
    hardwareChosen = 0;
    Choose3DDevice(&first, "smaller", "", &rgb16, &none, &choice);
    EXPECT_EQ(memory, DDSCAPS_VIDEOMEMORY);
}

TEST_F(Scene3DTest, MeshSlotsScaleReleaseReportAndShareTexturesByName) {
    WriteCube("cube.x", "");
    ASSERT_EQ(LoadMesh(3, "cube.x", KEEP_MODEL_SCALE, MESH_QUALITY_DEVICE, 1), 1);
    D3DRMBOX box{};
    gDirect3D.meshes[3]->GetBox(&box);
    EXPECT_EQ(box.max.x, 1.0f);
    ASSERT_EQ(LoadMesh(3, "cube.x", 2.5f, D3DRMRENDER_GOURAUD, 0), 1);
    gDirect3D.meshes[3]->GetBox(&box);
    EXPECT_EQ(box.max.x, 2.5f);
    EXPECT_EQ(LoadMesh(3, "cube.x", 1.0f, MESH_QUALITY_RELEASE, 0), 1);
    EXPECT_EQ(gDirect3D.meshes[3], nullptr);
    EXPECT_EQ(LoadMesh(256, "cube.x", 1.0f, 0, 0), 0);
    EXPECT_EQ(LoadMesh(4, "missing.x", 1.0f, 0, 0), 0);
    EXPECT_EQ(gDirect3D.meshes[4], nullptr);
    EXPECT_NE(Log().find(Utf8(u8"X[missing.x]のオープンに失敗しました\n")), std::string::npos) << Log();

    // Textures are shared by exact name: the second model gets the first one's
    // texture, a name differing in case is another texture, and once 256 names
    // are taken a new one is refused while the model still loads.
    WriteTexture("shared.bmp", Rgb{10, 200, 10});
    WriteTexture("Shared.bmp", Rgb{10, 10, 200});
    WriteCube("one.x", "shared.bmp");
    WriteCube("two.x", "shared.bmp");
    WriteCube("three.x", "Shared.bmp");
    ASSERT_EQ(LoadMesh(0, "one.x", 1.0f, MESH_QUALITY_DEVICE, 0), 1);
    IDirect3DRMTexture* first = gDirect3D.textures[0].texture;
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(LoadMesh(1, "two.x", 1.0f, MESH_QUALITY_DEVICE, 0), 1);
    EXPECT_EQ(FindTexture("shared.bmp"), 0);
    EXPECT_EQ(gDirect3D.textures[1].name[0], '\0');
    ASSERT_EQ(LoadMesh(2, "three.x", 1.0f, MESH_QUALITY_DEVICE, 0), 1);
    EXPECT_EQ(FindTexture("Shared.bmp"), 1);
    EXPECT_NE(gDirect3D.textures[1].texture, first);

    WriteCube("missing_texture.x", "nowhere.bmp");
    EXPECT_EQ(LoadMesh(5, "missing_texture.x", 1.0f, MESH_QUALITY_DEVICE, 0), 1);
    EXPECT_NE(Log().find(Utf8(u8"TEXTURE[nowhere.bmp]のロードに失敗しました\n")), std::string::npos) << Log();

    for (int i = 2; i < TEXTURE_SLOT_COUNT; ++i) std::snprintf(gDirect3D.textures[i].name, 256, "taken%d", i);
    WriteTexture("extra.bmp", Rgb{1, 2, 3});
    WriteCube("four.x", "extra.bmp");
    EXPECT_EQ(LoadMesh(4, "four.x", 1.0f, MESH_QUALITY_DEVICE, 0), 1);
    EXPECT_EQ(FindTexture("extra.bmp"), -1);
    EXPECT_NE(Log().find(Utf8(u8"これ以上テクスチャがロードできません\n")), std::string::npos) << Log();
}

// Children are named before their parent, depth first, and the counter goes
// on from one set to the next.
TEST_F(Scene3DTest, AnimationFramesAreNamedChildrenFirst) {
    XModel model;
    model.frames.push_back({"Left", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, 0, 0, 1}, {}, {}});
    model.frames.push_back({"Right", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 1}, {}, {}});
    WriteModel("pair.x", model);
    gAnimationFrameCounter = 0;
    IDirect3DRMFrame2* parent = nullptr;
    gDirect3D.retained->CreateFrame(gDirect3D.scene, &parent);
    IDirect3DRMAnimationSet* set = nullptr;
    gDirect3D.retained->CreateAnimationSet(&set);
    ASSERT_EQ(LoadAnimationSet("pair.x", set, parent), 1);
    auto nameOf = [](IDirect3DRMObject* object) {
        char name[64];
        DWORD size = sizeof name;
        return object->GetName(&size, name), std::string(name);
    };
    IDirect3DRMFrameArray* children = nullptr;
    parent->GetChildren(&children);
    ASSERT_EQ(children->GetSize(), 2u);
    std::vector<std::string> names;
    for (DWORD i = 0; i < 2; ++i) {
        IDirect3DRMFrame* child = nullptr;
        children->GetElement(i, &child);
        names.push_back(nameOf(child));
        child->Release();
    }
    children->Release();
    names.push_back(nameOf(parent));
    EXPECT_EQ(names, (std::vector<std::string>{"AnimationFrame0", "AnimationFrame1", "AnimationFrame2"}));
    EXPECT_EQ(gAnimationFrameCounter, 3);

    // A failing load logs, releases the caller's parent reference and names nothing.
    parent->AddRef();
    EXPECT_EQ(LoadAnimationSet("absent.x", set, parent), 0);
    EXPECT_EQ(gAnimationFrameCounter, 3);
    EXPECT_NE(Log().find(Utf8(u8"X[absent.x]のオープンに失敗しました\n")), std::string::npos) << Log();
    set->Release();
    gDirect3D.scene->DeleteChild(parent);
    parent->Release();
}

// A model that is a resource of the program takes its textures from bitmap
// resources of the names it gives.
TEST_F(Scene3DTest, ResourceModelsTakeTheirTexturesFromBitmapResources) {
    static const std::vector<uint8_t> modelBytes = WriteXModel(CubeModel("BLUETEX"), XEncoding::Binary);
    static const std::vector<uint8_t> textureBytes = EncodeBmp(Picture(8, 8, Rgb{20, 40, 230}));
    static const ResourceData resources[] = {{"BLUECUBE", "X", modelBytes.data(), modelBytes.size()},
                                             {"BLUETEX", "BITMAP", textureBytes.data(), textureBytes.size()}};
    static const bool registered = (RegisterResources(resources, 2), true);
    ASSERT_TRUE(registered);
    ASSERT_EQ(LoadMesh(0, "BLUECUBE", KEEP_MODEL_SCALE, D3DRMRENDER_UNLITFLAT, 0), 1);
    EXPECT_EQ(gDirect3D.loadingFromResource, 1);
    EXPECT_EQ(FindTexture("BLUETEX"), 0);
    ASSERT_EQ(RenderSlotZero(), D3DRM_OK);
    EXPECT_EQ(BackPixel(320, 240), (20 >> 3) << 11 | (40 >> 2) << 5 | (230 >> 3));
}
