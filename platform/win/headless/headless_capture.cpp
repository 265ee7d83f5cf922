// Frame captures of the headless backend, into the capture folder.
#include "platform/win/headless/headless_capture.h"

#include "platform/win/debug_output.h"
#include "platform/win/headless/headless_backend.h"
#include "platform/win/headless/png_image.h"
#include "platform/win/platform.h"

void HeadlessSetDisplayMode(int, int, int, bool) {}

void HeadlessPresentPicture(const PixelBuffer& picture) {
    for (const std::string& name : HeadlessTakeCaptureRequests()) {
        const std::string path = GetPlatformOptions().captureDir + "/" + name;
        std::string error;
        if (!WritePicturePng(path, picture, &error)) WriteDebugText("capture: " + error + "\n");
    }
}
