// Files, mappings and the working directory, with paths in the system's form.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win/platform.h"
#include "platform/win/win.h"

namespace fs = std::filesystem;

namespace {

class Files : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("files-" + std::to_string(getpid()));
        fs::create_directories(dir_ / "sub");
        std::ofstream(dir_ / "sub" / "song.mid", std::ios::binary) << content_;
    }
    void TearDown() override { fs::remove_all(dir_); }

    // The folder and the name joined as the framework joins them: "%s\\%s".
    std::string Joined(const std::string& name) const { return SystemPath(dir_.string()) + "\\" + name; }

    fs::path dir_;
    const std::string content_ = "MThd and some more bytes";
};

TEST_F(Files, ABackslashJoinedPathOpensReadsAndMaps) {
    HANDLE file = CreateFileA(Joined("sub\\song.mid").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD high = 1;
    EXPECT_EQ(GetFileSize(file, &high), content_.size());
    EXPECT_EQ(high, 0u);
    std::string read(content_.size() + 8, '\0');
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(file, read.data(), static_cast<DWORD>(read.size()), &got, nullptr));
    EXPECT_EQ(read.substr(0, got), content_);

    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    EXPECT_TRUE(CloseHandle(file)) << "the mapping outlives the file's handle";
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(view), content_.size()), content_);
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_FALSE(UnmapViewOfFile(view));
    EXPECT_TRUE(CloseHandle(mapping));
}

TEST_F(Files, MissingFilesFoldersAndBadHandlesFail) {
    for (const std::string& name : {Joined("sub\\missing.mid"), Joined("sub"), std::string()})
        EXPECT_EQ(CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE)
            << name;
    EXPECT_EQ(GetFileSize(INVALID_HANDLE_VALUE, nullptr), INVALID_FILE_SIZE);
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    DWORD got = 5;
    char byte;
    EXPECT_FALSE(ReadFile(nullptr, &byte, 1, &got, nullptr));
    EXPECT_EQ(got, 0u);
}

TEST_F(Files, AnEmptyFileCannotBeMapped) {
    HANDLE file = CreateFileA(Joined("empty.bin").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, "abc", 3, &written, nullptr));
    EXPECT_EQ(written, 3u);
    EXPECT_EQ(GetFileSize(file, nullptr), 3u);
    CloseHandle(file);
}

TEST(WorkingDirectory, ComesInTheSystemsFormAndReportsTheSizeItNeeds) {
    const std::string expected = SystemPath(fs::current_path().string());
    char buffer[4096];
    ASSERT_EQ(GetCurrentDirectoryA(sizeof(buffer), buffer), expected.size());
    EXPECT_EQ(std::string(buffer), expected);
    char tiny[2] = {'x', 'y'};
    EXPECT_EQ(GetCurrentDirectoryA(sizeof(tiny), tiny), expected.size() + 1);
    EXPECT_EQ(tiny[0], 'x') << "nothing is written into too small a buffer";
    EXPECT_EQ(NativePath(expected.c_str()), fs::current_path().string());
}

}  // namespace
