// Stage files: the input cut into up to three files of a slot, loaded, drawn
// on the edit screen, saved and loaded again. The second load must give the
// first load's stages with each cell clamped to 0..200, up to the first stage
// the clamp leaves empty (the save stops there; later files stay as they were).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "editor/editor.h"
#include "editor/editor_state.h"
#include "editor/stage_set.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

void WriteStageFiles(const uint8_t* data, size_t size) {
    namespace fs = std::filesystem;
    fs::remove_all("user/s1");
    fs::create_directories("user/s1");
    const size_t part = (size + 2) / 3;
    for (int n = 1; n <= 3 && size > 0; ++n) {
        const size_t take = std::min(size, part);
        char name[32];
        std::snprintf(name, sizeof(name), "stage%03d.clb", n);
        InputFile(data, take, (std::string("user/s1/") + name).c_str());
        data += take;
        size -= take;
    }
}

// The stage as the save writes it; false when that leaves it empty.
bool Clamped(const StageMap& stage, StageMap* out) {
    bool any = false;
    for (int k = 0; k < MAP_CELLS; ++k) {
        const int32_t cell = stage.cells[k];
        out->cells[k] = cell < 0 || cell > CELL_MAX ? 0 : cell;
        any |= out->cells[k] != 0;
    }
    return any;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StartHeadlessFramework();
    std::filesystem::current_path(FuzzFolder());
    WriteStageFiles(data, size);
    std::memset(&gStageSet, 0, sizeof(gStageSet));
    std::memset(&gStageRecord, 0, sizeof(gStageRecord));
    LoadStageFiles(1);

    // The edit screen over the first stage, with its first cell as the pen.
    gEditor = EditorRecord{};
    gEditor.state = EDITOR_EDIT;
    gEditor.frameCounter = GRID_LOCK_FRAMES;
    gEditor.editBuffer = gStageSet.stages[0];
    gEditor.pen = gStageSet.stages[0].cells[0];
    DrawEditorOverlay();

    static StageSet saved;
    int written = 0;
    while (written < STAGE_COUNT && Clamped(gStageSet.stages[written], &saved.stages[written])) ++written;
    SaveStageFiles();
    std::memset(&gStageSet, 0, sizeof(gStageSet));
    LoadStageFiles(1);
    if (std::memcmp(gStageSet.stages, saved.stages, written * sizeof(StageMap)) != 0) {
        std::fprintf(stderr, "the stages read back differ from the stages saved\n");
        std::abort();
    }
    return 0;
}
