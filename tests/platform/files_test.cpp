// Files, mappings and the working directory, with paths in the system's form.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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

TEST_F(Files, PathsOpenReadAndMapFailuresSayWhyReplaceCallsKeepTheirPromisesAndTheWorkingDirectoryItsSize) {
    HANDLE file = CreateFileA(Joined("sub\\song.mid").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD high = 1;
    EXPECT_EQ((std::vector<DWORD>{GetFileSize(file, &high), high}), (std::vector<DWORD>{static_cast<DWORD>(content_.size()), 0}));
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
    // Missing files, folders and bad handles fail.
    for (const std::string& name : {Joined("sub\\missing.mid"), Joined("sub"), std::string()})
        EXPECT_EQ(CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE)
            << name;
    EXPECT_EQ(GetFileSize(INVALID_HANDLE_VALUE, nullptr), INVALID_FILE_SIZE);
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    DWORD none = 5;
    char byte;
    EXPECT_FALSE(ReadFile(nullptr, &byte, 1, &none, nullptr));
    EXPECT_EQ(none, 0u);
    // An empty file cannot be mapped.
    HANDLE empty = CreateFileA(Joined("empty.bin").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(empty, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileMappingA(empty, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(empty, "abc", 3, &written, nullptr));
    EXPECT_EQ((std::vector<DWORD>{written, GetFileSize(empty, nullptr)}), (std::vector<DWORD>{3, 3}));
    CloseHandle(empty);
    // What a crash-safe replace is made of: a new file that must not exist yet,
    // taking another file's permission bits; a rename that will or will not
    // replace; names found by wildcard; links seen as links and resolved; and
    // each refusal with its error number.
    const std::string song = Joined("sub\\song.mid");
    fs::permissions(dir_ / "sub" / "song.mid", fs::perms::owner_read | fs::perms::owner_write);
    HANDLE model = CreateFileA(song.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(model, INVALID_HANDLE_VALUE);
    HANDLE made = CreateFileA(Joined("sub\\.new").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, model);
    ASSERT_NE(made, INVALID_HANDLE_VALUE);
    DWORD wrote = 0;
    EXPECT_TRUE(WriteFile(made, "new!", 4, &wrote, nullptr) && FlushFileBuffers(made));
    EXPECT_EQ(SetFilePointer(made, 2, nullptr, FILE_BEGIN), 2u);
    EXPECT_TRUE(SetEndOfFile(made));
    CloseHandle(made);
    EXPECT_EQ(fs::status(dir_ / "sub" / ".new").permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(CreateFileA(Joined("sub\\.new").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    EXPECT_FALSE(MoveFileExA(Joined("sub\\.new").c_str(), song.c_str(), 0));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_TRUE(MoveFileExA(Joined("sub\\.new").c_str(), song.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    std::ifstream in(dir_ / "sub" / "song.mid");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "ne");
    fs::create_symlink("sub/song.mid", dir_ / "link");
    EXPECT_EQ(GetFileAttributesA(Joined("link").c_str()), FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_EQ(GetFileAttributesA(Joined("sub").c_str()), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributesA(Joined("none").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    HANDLE linked = CreateFileA(Joined("link").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    char final[4096];
    EXPECT_EQ(std::string(final, GetFinalPathNameByHandleA(linked, final, sizeof(final), 0)), song);
    BY_HANDLE_FILE_INFORMATION information{};
    EXPECT_TRUE(GetFileInformationByHandle(linked, &information));
    EXPECT_EQ(information.nNumberOfLinks, 1u);
    CloseHandle(linked);
    CloseHandle(model);
    WIN32_FIND_DATAA found;
    std::vector<std::string> names;
    HANDLE search = FindFirstFileA(Joined("sub\\*.mid").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(FindClose(search));
    EXPECT_EQ(names, std::vector<std::string>{"song.mid"});
    EXPECT_EQ(FindFirstFileA(Joined("sub\\*.wav").c_str(), &found), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(DeleteFileA(Joined("none").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    // The working directory comes in the system's form and reports the size it needs.
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
