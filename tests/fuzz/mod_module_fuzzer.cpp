// Module files through the module player library, as the MOD streamer uses
// it: loaded from memory, set to 16-bit stereo, and the first blocks rendered
// (a bounded number, so a long song does not stall the run).
#include <dlfcn.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "framework/media/mod_player_api.h"

namespace {

constexpr int BLOCKS = 8;
constexpr uint32_t BLOCK_BYTES = 4096;

ModPlayer* OpenPlayer() {
    static ModPlayer* player = [] {
        const std::string path = std::string(KORVEN_BIN_DIR) + "/libmppsdk.so";
        void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_NODELETE);
        auto getApi = library ? reinterpret_cast<GetModApiProc>(dlsym(library, "MPP_GetModAPI")) : nullptr;
        ModPlayer* made = nullptr;
        if (!getApi || !getApi(&made) || !made) std::abort();
        return made;
    }();
    return player;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ModPlayer* player = OpenPlayer();
    const ModPlayerEntries& call = *player->entries;
    // The streamer hands over its own copy of the file.
    const std::vector<uint8_t> module(data, data + size);
    if (call.load(player, module.data(), static_cast<uint32_t>(module.size())) && call.setFormat(player, 44100, 2, 16)) {
        std::vector<uint8_t> block(BLOCK_BYTES);
        for (int i = 0; i < BLOCKS && call.render(player, block.data(), BLOCK_BYTES); ++i) {
        }
    }
    call.end(player);
    return 0;
}
