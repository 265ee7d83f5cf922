// .bmp files: the decoder on exactly the input's bytes, then the same bytes
// as a file loaded into an image slot.
#include <cstring>
#include <vector>

#include "framework/image/image.h"
#include "platform/gdi/bmp_decoder.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StartHeadlessFramework();
    BmpInfo info;
    if (ReadBmpInfo(data, size, &info)) {
        const size_t stride = (static_cast<size_t>(info.width) * info.bitsPerPixel + 31) / 32 * 4;
        std::vector<uint8_t> pixels(stride * info.height);
        const PixelBuffer out{pixels.data(), info.width, info.height, static_cast<int>(stride), info.format,
                              info.colors.data()};
        DecodeBmpPixels(data, size, info, out);
    }
    const std::string path = InputFile(data, size, "input.bmp");
    LoadBitmapImage(1, path.c_str(), 1);
    return 0;
}
