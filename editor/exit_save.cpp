// The editor's exit procedure: says in the log what the save will leave out,
// then saves. A missing slot folder saves nothing (one line says so); a stored
// stage after the first empty one is not written (one line per stage).
#include <filesystem>
#include <string>
#include <system_error>

#include "editor/editor.h"
#include "editor/stage_set.h"
#include "framework/dialog/diagnostics.h"

namespace {

// A stage is empty when no cell holds a block; values out of range count as
// empty, as the save itself treats them.
bool StageIsEmpty(const StageMap& stage) {
    for (int32_t cell : stage.cells)
        if (cell > 0 && cell <= CELL_MAX) return false;
    return true;
}

void ReportStagesAfterTheFirstEmptyOne() {
    int firstEmpty = 0;
    for (int i = 0; i < STAGE_COUNT; ++i) {
        const bool empty = StageIsEmpty(gStageSet.stages[i]);
        if (firstEmpty == 0) {
            if (empty) firstEmpty = i + 1;
        } else if (!empty) {
            DebugLog("ステージ%dは、前のステージ%dが空のため保存されません\n", i + 1, firstEmpty);
        }
    }
}

}  // namespace

int SaveStagesAtExit() {
    if (gUserSlot == 0) return SaveStageFiles();
    const std::string folder = "./user/s" + std::to_string(gUserSlot);
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        DebugLog("フォルダ[%s]がないため、ステージは保存されません\n", folder.c_str());
        return 1;
    }
    ReportStagesAfterTheFirstEmptyOne();
    return SaveStageFiles();
}
