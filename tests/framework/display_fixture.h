// A framework started on the headless platform up to the work buffer, as the
// entry procedure does it, and taken down again after the test.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "framework/app/app.h"
#include "framework/app/main_window.h"
#include "framework/display/display.h"
#include "framework/image/image.h"
#include "platform/win/platform.h"

class DisplayTest : public ::testing::Test {
protected:
    // Starts with these platform options (the desktop's colour depth, a log
    // file); configure adjusts the framework's state before the window opens.
    void StartDisplay(PlatformOptions options = {}, void (*configure)() = nullptr) {
        options.backend = "headless";
        std::string error;
        ASSERT_TRUE(PlatformOpen(options, &error)) << error;
        InitFrameworkState();
        if (configure) configure();
        ASSERT_EQ(CreateMainWindow(), 1);
        ASSERT_EQ(InitDisplay(), 1);
        CreateWorkBuffer();
        gApp.active = 1;
    }
    void SetUp() override { StartDisplay(); }
    void TearDown() override {
        ReleaseAllImages();
        std::memset(gImageSlots, 0, sizeof(gImageSlots));
        gImageVideoMemory = 0;
        gImageRestoreProc = nullptr;
        std::destroy_at(&gDisplay);  // releases surfaces and device
        std::construct_at(&gDisplay);
        PlatformClose();
    }

    // The 16-bit back-buffer pixel at (x, y).
    static uint16_t BackPixel(int x, int y) {
        const std::vector<uint16_t> screen = Screen();
        return screen.empty() ? 0xDEAD : screen[y * 640 + x];
    }

    // The back-buffer pixels at the given points, in order.
    static std::vector<uint16_t> BackPixels(std::initializer_list<std::pair<int, int>> points) {
        std::vector<uint16_t> values;
        for (auto [x, y] : points) values.push_back(BackPixel(x, y));
        return values;
    }
    using Pixels = std::vector<uint16_t>;

    static void ClearBackBufferTo(uint16_t value) {
        DDBLTFX fx{};
        fx.dwSize = sizeof(fx);
        fx.dwFillColor = value;
        gDisplay.backBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }

    // The whole 640 x 480 back buffer, row after row.
    static std::vector<uint16_t> Screen() {
        std::vector<uint16_t> pixels(640 * 480);
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof(desc);
        if (gDisplay.backBuffer->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return {};
        for (int y = 0; y < 480; ++y)
            std::memcpy(&pixels[y * 640], static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch, 640 * 2);
        gDisplay.backBuffer->Unlock(desc.lpSurface);
        return pixels;
    }

    // Fills a slot's pixels with f(x, y).
    template <typename F>
    static void PaintSlot(int slot, F f) {
        uint16_t* pixels = nullptr;
        int pitch = 0;
        ASSERT_EQ(LockImage(slot, &pixels, &pitch), 1);
        for (int y = 0; y < gImageSlots[slot].height; ++y)
            for (int x = 0; x < gImageSlots[slot].width; ++x) pixels[y * pitch + x] = static_cast<uint16_t>(f(x, y));
        UnlockImage(slot, pixels);
    }
};
