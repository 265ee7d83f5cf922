// One whole editor frame on the headless backend: the canvas, the 442 map
// cells, the overlays and highlights, and the present, against a memcpy of
// one 640 x 480 x 2 frame (counter x_memcpy_frame: the frame's time over the
// copy's; lower is faster).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "editor/editor.h"
#include "editor/editor_state.h"
#include "editor/stage_set.h"
#include "framework/display/display.h"

namespace fs = std::filesystem;

namespace {

// The editor in a scratch workspace with its bitmaps, on the edit screen of
// the sample stages, the pointer over the map.
void PrepareEditor() {
    const fs::path workspace = fs::temp_directory_path() / ("editor-frame-bench-" + std::to_string(getpid()));
    fs::create_directories(workspace / "bmp");
    for (const auto& entry : fs::directory_iterator(fs::path(KORVEN_SOURCE_DIR) / "assets/bmp"))
        fs::copy_file(entry.path(), workspace / "bmp" / entry.path().filename(), fs::copy_options::overwrite_existing);
    fs::current_path(workspace);
    AppInit();
    LoadStageFiles(1);
    gEditor.state = EDITOR_EDIT;
    EnterEditScreen();
    SetCursorPos(120, 200);
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(workspace);
}

const BenchmarkSetup SETUP(PrepareEditor);

void WholeFrame() {
    EditorFrame();
    PresentFrame();
}

void EditorFrameTime(benchmark::State& state) {
    for (auto _ : state) WholeFrame();
    std::vector<uint8_t> from(640 * 480 * 2, 1), to(from.size());
    const int64_t times = 2000;
    const double frameSeconds = SecondsFor(times, WholeFrame);
    const double copySeconds = SecondsFor(times, [&] {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::ClobberMemory();
    });
    state.counters["us/frame"] = frameSeconds / times * 1e6;
    state.counters["x_memcpy_frame"] = frameSeconds / copySeconds;
}

BENCHMARK(EditorFrameTime);

}  // namespace
