// Pack archives: a generated folder is packed, removed, and unpacked again
// from the archive; the page shows the unpacker's log.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "examples/showcase/showcase.h"
#include "framework/dialog/pack_archive.h"
#include "framework/draw/gdi_draw.h"
#include "platform/win/debug_output.h"
#include "tools/pack/pack_writer.h"

namespace fs = std::filesystem;

namespace {

std::string gLog;
std::string gStatus;

void WriteFile(const fs::path& path, size_t size, int seed) {
    fs::create_directories(path.parent_path());
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>('a' + (i * 7 + seed) % 26);
    std::ofstream(path, std::ios::binary) << data;
}

void EnterArchive() {
    // A folder of this run's own: two showcases may run side by side.
    const fs::path root = fs::temp_directory_path() / ("korven-pack-demo-" + std::to_string(getpid()));
    const fs::path previous = fs::current_path();
    std::error_code error;
    fs::remove_all(root, error);
    WriteFile(root / "src" / "readme.txt", 120, 1);
    WriteFile(root / "src" / "maps" / "stage001.clb", 1772, 2);
    WriteFile(root / "src" / "music" / "theme.mid", 70000, 3);
    WriteFile(root / "src" / "empty.dat", 0, 4);
    fs::current_path(root, error);
    std::string why;
    const bool packed = WritePackArchive("demo.pak", {"src"}, &why);
    fs::remove_all("src", error);
    gLog.clear();
    SetDebugOutputCopy(&gLog);
    const int unpacked = packed && UnpackArchive("demo.pak");
    SetDebugOutputCopy(nullptr);
    gStatus = packed ? "UnpackArchive(\"demo.pak\") = " + std::to_string(unpacked) + ", " +
                           std::to_string(fs::file_size("demo.pak", error)) + " bytes"
                     : "pack: " + why;
    fs::current_path(previous, error);
    fs::remove_all(root, error);
}

void ArchiveFrame(int) {
    DrawBackdrop();
    PrintText(16, 36, "packed src/ into demo.pak, removed it, unpacked it again:");
    PrintText(16, 60, "%s", gStatus.c_str());
    std::istringstream lines(gLog);
    int y = 96;
    for (std::string line; std::getline(lines, line) && y < 460; y += 20) PrintText(24, y, "%s", line.c_str());
}

}  // namespace

const ShowcasePage kArchivePage = {"Pack archives", EnterArchive, ArchiveFrame};
