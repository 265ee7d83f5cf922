// KBM files loaded into an image slot.
#include "framework/image/image.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StartHeadlessFramework();
    const std::string path = InputFile(data, size, "input.kbm");
    LoadKbmImage(1, path.c_str(), 1);
    return 0;
}
