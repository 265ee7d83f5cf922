// A headless platform with a DirectDraw device, and surface helpers, for the
// DirectDraw tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/ddraw/ddraw.h"
#include "platform/win/platform.h"

// The program's main window at (x, y) with a client area of width x height.
inline HWND OpenMainWindow(int x, int y, int width, int height) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "ddraw test";
    RegisterClassExA(&windowClass);
    return CreateWindowExA(0, "ddraw test", "test", WS_POPUP, x, y, width, height, nullptr, nullptr, nullptr,
                           nullptr);
}

class DirectDrawTest : public ::testing::Test {
protected:
    void SetUp() override { Open(""); }
    void TearDown() override { Close(); }

    // Reopens the platform with a headless input script (empty: none).
    void Open(const std::string& script) {
        captureDir_ = std::filesystem::path(::testing::TempDir()) /
                      ("ddraw_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(captureDir_);
        PlatformOptions options;
        options.backend = "headless";
        options.captureDir = captureDir_.string();
        if (!script.empty()) {
            options.scriptPath = (captureDir_ / "script.txt").string();
            std::ofstream(options.scriptPath) << script;
        }
        std::string error;
        ASSERT_TRUE(PlatformOpen(options, &error)) << error;
        ASSERT_EQ(DirectDrawCreate(nullptr, &device_, nullptr), DD_OK);
    }

    void Close() {
        if (device_) device_->Release();
        device_ = nullptr;
        PlatformClose();
    }

    // An off-screen surface; 16-bit 5-6-5 unless a format is given.
    IDirectDrawSurface* NewSurface(int width, int height, const PixelFormat& format = PIXEL_FORMAT_565,
                                   DWORD caps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        desc.dwWidth = static_cast<DWORD>(width);
        desc.dwHeight = static_cast<DWORD>(height);
        desc.ddsCaps.dwCaps = caps;
        desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
        desc.ddpfPixelFormat.dwFlags = format.bitsPerPixel == 8 ? DDPF_PALETTEINDEXED8 : DDPF_RGB;
        desc.ddpfPixelFormat.dwRGBBitCount = static_cast<DWORD>(format.bitsPerPixel);
        desc.ddpfPixelFormat.dwRBitMask = format.redMask;
        desc.ddpfPixelFormat.dwGBitMask = format.greenMask;
        desc.ddpfPixelFormat.dwBBitMask = format.blueMask;
        IDirectDrawSurface* surface = nullptr;
        EXPECT_EQ(device_->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return surface;
    }

    // Reads or writes one pixel through Lock.
    static uint32_t PixelAt(IDirectDrawSurface* surface, int x, int y) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        if (surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return 0xDEADBEEF;
        const int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
        uint32_t value = 0;
        std::memcpy(&value, static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * bytes, bytes);
        surface->Unlock(nullptr);
        return value;
    }

    using Values = std::vector<uint32_t>;
    static Values PixelsAt(IDirectDrawSurface* surface, std::initializer_list<std::pair<int, int>> points) {
        Values values;
        for (auto [x, y] : points) values.push_back(PixelAt(surface, x, y));
        return values;
    }

    // Gives every pixel the value f(x, y).
    template <typename F>
    static void Paint(IDirectDrawSurface* surface, F f) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        const int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
        for (int y = 0; y < static_cast<int>(desc.dwHeight); ++y) {
            for (int x = 0; x < static_cast<int>(desc.dwWidth); ++x) {
                const uint32_t value = f(x, y);
                std::memcpy(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * bytes, &value, bytes);
            }
        }
        surface->Unlock(nullptr);
    }

    // A main window in full screen at the given mode and its primary
    // flipping chain; the first back buffer goes to *back.
    IDirectDrawSurface* FlipChain(HWND window, int width, int height, int bits, DWORD backBuffers,
                                  IDirectDrawSurface** back, DWORD level = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) {
        EXPECT_EQ(device_->SetCooperativeLevel(window, level), DD_OK);
        EXPECT_EQ(device_->SetDisplayMode(width, height, bits), DD_OK);
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        desc.dwBackBufferCount = backBuffers;
        IDirectDrawSurface* front = nullptr;
        EXPECT_EQ(device_->CreateSurface(&desc, &front, nullptr), DD_OK);
        DDSCAPS backCaps{DDSCAPS_BACKBUFFER};
        EXPECT_EQ(front ? front->GetAttachedSurface(&backCaps, back) : DDERR_GENERIC, DD_OK);
        return front;
    }

    static HRESULT Fill(IDirectDrawSurface* surface, const RECT* rect, DWORD color) {
        DDBLTFX fx{sizeof(DDBLTFX), color};
        return surface->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }

    IDirectDraw* device_ = nullptr;
    std::filesystem::path captureDir_;
};
