// Unpacking a 64 MB pack archive of 256 files in 16 folders, against `cp -r`
// of the same files: both write the same bytes into a fresh folder, so the
// difference is what the 1024-byte copy loop and the per-entry log cost.
// Wall time, since the copy runs in a process of its own.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/dialog/pack_archive.h"
#include "tools/pack/pack_writer.h"

namespace fs = std::filesystem;

namespace {

constexpr int FOLDERS = 16, FILES_PER_FOLDER = 16;
constexpr size_t FILE_SIZE = 256 * 1024;  // 256 files: 64 MB

struct Workspace {
    fs::path root = fs::temp_directory_path() / ("bench-unpack-" + std::to_string(getpid()));
    Workspace() {
        fs::create_directories(root / "src");
        std::string data(FILE_SIZE, '\0');
        for (int f = 0; f < FOLDERS; ++f) {
            fs::create_directories(root / "src" / std::to_string(f));
            for (int i = 0; i < FILES_PER_FOLDER; ++i) {
                for (size_t b = 0; b < data.size(); ++b) data[b] = static_cast<char>((b * 31 + f * 7 + i) & 0xFF);
                std::ofstream(root / "src" / std::to_string(f) / (std::to_string(i) + ".bin"), std::ios::binary)
                    << data;
            }
        }
        const fs::path previous = fs::current_path();
        fs::current_path(root);
        std::string error;
        WritePackArchive("files.pak", {"src"}, &error);
        fs::current_path(previous);
    }
    ~Workspace() { fs::remove_all(root); }
    void FreshOutput() const {
        fs::remove_all(root / "out");
        fs::create_directories(root / "out");
    }
};

const Workspace& Files() {
    static Workspace workspace;
    return workspace;
}

void BM_UnpackArchive(benchmark::State& state) {
    const Workspace& w = Files();
    const fs::path previous = fs::current_path();
    const std::string archive = (w.root / "files.pak").string();
    for (auto _ : state) {
        state.PauseTiming();
        w.FreshOutput();
        fs::current_path(w.root / "out");
        state.ResumeTiming();
        benchmark::DoNotOptimize(UnpackArchive(archive.c_str()));
    }
    fs::current_path(previous);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * FOLDERS * FILES_PER_FOLDER * FILE_SIZE);
}
BENCHMARK(BM_UnpackArchive)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_CopyTreeWithCp(benchmark::State& state) {
    const Workspace& w = Files();
    const std::string command = "cp -r '" + (w.root / "src").string() + "' '" + (w.root / "out" / "src").string() + "'";
    for (auto _ : state) {
        state.PauseTiming();
        w.FreshOutput();
        state.ResumeTiming();
        benchmark::DoNotOptimize(std::system(command.c_str()));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * FOLDERS * FILES_PER_FOLDER * FILE_SIZE);
}
BENCHMARK(BM_CopyTreeWithCp)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
