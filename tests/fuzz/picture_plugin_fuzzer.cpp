// One picture plug-in (PLUGIN_NAME) through its exported calls, as the
// framework calls them, then through LoadPluginImage into an image slot. The
// library stays loaded for the whole run, so the slot load finds it open.
#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "framework/image/image.h"
#include "framework/image/picture_plugin.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

struct Plugin {
    IsSupportedProc isSupported;
    GetPictureProc getPicture;
};

const Plugin& OpenPlugin() {
    static const Plugin plugin = [] {
        const std::string path = std::string(KORVEN_BIN_DIR) + "/plugins/lib" PLUGIN_NAME ".so";
        void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_NODELETE);
        if (!library) std::abort();
        return Plugin{reinterpret_cast<IsSupportedProc>(dlsym(library, "IsSupported")),
                      reinterpret_cast<GetPictureProc>(dlsym(library, "GetPicture"))};
    }();
    return plugin;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StartHeadlessFramework();
    const Plugin& plugin = OpenPlugin();
    // The whole file, zero-filled up to the head a plug-in may inspect.
    std::vector<char> contents(std::max(size, PICTURE_HEAD_BYTES), 0);
    if (size) std::memcpy(contents.data(), data, size);
    const std::string path = InputFile(data, size, "input.picture");
    if (plugin.isSupported(path.c_str(), reinterpret_cast<uintptr_t>(contents.data()))) {
        HGLOBAL info = nullptr, bits = nullptr;
        if (plugin.getPicture(contents.data(), static_cast<long>(size), PICTURE_IN_MEMORY, &info, &bits, nullptr, 0) ==
            PICTURE_OK) {
            GlobalFree(info);
            GlobalFree(bits);
        }
    }
    LoadPluginImage(1, PLUGIN_NAME, path.c_str(), 1);
    return 0;
}
