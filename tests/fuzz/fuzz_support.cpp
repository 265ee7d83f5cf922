#include "tests/fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "framework/app/app.h"
#include "framework/app/main_window.h"
#include "framework/display/display.h"
#include "framework/image/image.h"
#include "platform/win/platform.h"

void StartHeadlessFramework() {
    static bool started = false;
    if (started) return;
    started = true;
    PlatformOptions options;
    options.backend = "headless";
    std::string error;
    if (!PlatformOpen(options, &error) || (InitFrameworkState(), CreateMainWindow() != 1) || InitDisplay() != 1) {
        std::fprintf(stderr, "the headless framework did not start: %s\n", error.c_str());
        std::abort();
    }
    CreateWorkBuffer();
    gApp.active = 1;
}

// Kept for the whole process (never destroyed), so the exit handler that
// removes the folder can still name it.
const std::string& FuzzFolder() {
    static const std::string& folder = *[] {
        namespace fs = std::filesystem;
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        const fs::path own = base / ("korven-fuzz-" + std::to_string(getpid()));
        fs::create_directories(own);
        std::atexit([] { std::filesystem::remove_all(FuzzFolder()); });
        return new std::string(own.string());
    }();
    return folder;
}

std::string InputFile(const uint8_t* data, size_t size, const char* name) {
    const std::string path = FuzzFolder() + "/" + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    if (size) std::fwrite(data, 1, size, file);
    std::fclose(file);
    return path;
}

// libFuzzer calls this once before the first input, so that starting the
// framework is not counted against any input's time.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartHeadlessFramework();
    FuzzFolder();
    return 0;
}
