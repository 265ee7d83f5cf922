// Pack archives, unpacked inside a private folder that already holds symbolic
// links leading back into it and out of it (dangling or not). Whatever the
// archive says, nothing may appear outside that folder: the folders around
// it must hold exactly what they held before.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "framework/dialog/pack_archive.h"
#include "tests/fuzz/fuzz_support.h"

namespace fs = std::filesystem;

namespace {

// Every entry under folder, except inside the unpacking folder.
std::set<std::string> EntriesAround(const fs::path& folder, const fs::path& inside) {
    std::set<std::string> entries;
    for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator(); ++it) {
        if (it->path() == inside) it.disable_recursion_pending();
        entries.insert(it->path().string());
    }
    return entries;
}

void MakeUnpackFolder(const fs::path& inside) {
    fs::remove_all(inside);
    fs::create_directories(inside / "sub");
    fs::create_directory_symlink("..", inside / "up");
    fs::create_directory_symlink(inside.parent_path(), inside / "outside");
    fs::create_directory_symlink(".", inside / "self");
    fs::create_symlink("../gone", inside / "dangling");
    fs::create_symlink("../../gone", inside / "sub" / "dangling");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path around = FuzzFolder();
    const fs::path inside = around / "unpack" / "here";
    const std::string archive = InputFile(data, size, "input.pack");
    MakeUnpackFolder(inside);
    const std::set<std::string> before = EntriesAround(around, inside);
    fs::current_path(inside);
    UnpackArchive(archive.c_str());
    fs::current_path(around);
    if (EntriesAround(around, inside) != before) {
        std::fprintf(stderr, "unpacking wrote outside its folder\n");
        std::abort();
    }
    return 0;
}
