// Dynamic libraries and movable memory: how Windows-style library names find
// shared objects, entry points by name, and the checks on memory handles.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/win/win.h"

namespace {

namespace fs = std::filesystem;

const fs::path PNG_PLUGIN = fs::path(KORVEN_BIN_DIR) / "plugins" / "libpngpicture.so";

TEST(DynamicLibrary, WindowsNamesFindSharedObjectsByBaseNameInTheNamedDirectoryFirst) {
    // Not in the working directory: found in plugins/ beside the program,
    // whatever directory, case and extension the name carries.
    for (const char* name : {"pngpicture.spi", "PNGPICTURE.DLL", "plugins\\PngPicture.spi", "C:\\spi\\pngpicture"}) {
        HMODULE library = LoadLibraryA(name);
        ASSERT_NE(library, nullptr) << name;
        EXPECT_NE(GetProcAddress(library, "IsSupported"), nullptr);
        EXPECT_NE(GetProcAddress(library, "GetPicture"), nullptr);
        EXPECT_EQ(GetProcAddress(library, "NoSuchEntry"), nullptr);
        EXPECT_EQ(FreeLibrary(library), TRUE);
    }
    EXPECT_EQ(LoadLibraryA("nosuchlibrary.spi"), nullptr);
    EXPECT_EQ(LoadLibraryA(""), nullptr);
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
    // A named directory is searched first, for libname.so and name.so.
    const fs::path folder = fs::path(::testing::TempDir()) / ("libraries-" + std::to_string(getpid()));
    fs::create_directories(folder);
    fs::copy_file(PNG_PLUGIN, folder / "libmixed.so");
    fs::copy_file(PNG_PLUGIN, folder / "plain.so");
    for (const std::string& name : {folder.string() + "\\Mixed.SPI", folder.string() + "/plain.so"}) {
        HMODULE library = LoadLibraryA(name.c_str());
        ASSERT_NE(library, nullptr) << name;
        Dl_info where{};
        ASSERT_NE(dladdr(reinterpret_cast<void*>(GetProcAddress(library, "IsSupported")), &where), 0);
        EXPECT_EQ(fs::path(where.dli_fname).parent_path(), folder) << "the named directory comes first";
        FreeLibrary(library);
    }
    // A file that is no shared object is not loaded.
    fs::remove(folder / "plain.so");
    std::ofstream(folder / "plain.so") << "not a library";
    EXPECT_EQ(LoadLibraryA((folder.string() + "/plain.so").c_str()), nullptr);
    fs::remove_all(folder);
}

TEST(GlobalMemory, MovableBlocksLockUnlockAndFree) {
    HGLOBAL block = GlobalAlloc(GHND, 100);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), 100u);
    auto* bytes = static_cast<uint8_t*>(GlobalLock(block));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes[0] | bytes[99], 0) << "zero-filled";
    EXPECT_EQ(GlobalLock(block), bytes);
    EXPECT_EQ(GlobalUnlock(block), TRUE) << "still locked once";
    EXPECT_EQ(GlobalUnlock(block), FALSE);
    EXPECT_EQ(GlobalUnlock(block), FALSE) << "not locked at all";
    EXPECT_EQ(GlobalFree(block), nullptr);
    // Freed, foreign and empty handles are refused, never followed.
    int foreign = 0;
    for (HGLOBAL bad : {block, static_cast<HGLOBAL>(&foreign), static_cast<HGLOBAL>(nullptr)}) {
        EXPECT_EQ(GlobalLock(bad), nullptr);
        EXPECT_EQ(GlobalSize(bad), 0u);
        EXPECT_EQ(GlobalFree(bad), bad);
    }
    HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(GlobalLock(empty), nullptr) << "a block of no bytes has no address";
    EXPECT_EQ(GlobalFree(empty), nullptr);
    // A fixed block is its own address.
    auto* fixed = static_cast<uint8_t*>(GlobalAlloc(GMEM_ZEROINIT, 256));
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed[0] | fixed[255], 0);
    EXPECT_EQ(GlobalSize(fixed), 256u);
    EXPECT_EQ(GlobalLock(fixed), fixed);
    EXPECT_EQ(GlobalFree(fixed), nullptr);
    EXPECT_EQ(GlobalAlloc(0x8000, 16), nullptr) << "unknown flags are refused";
}

}  // namespace
