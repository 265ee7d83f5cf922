// Pack archives: what unpacking writes and logs, the packer's archives read back,
// and hostile archives that must never write outside the current folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/dialog/pack_archive.h"
#include "platform/win/platform.h"
#include "tests/framework/slot_pictures.h"
#include "tools/pack/pack_writer.h"

namespace fs = std::filesystem;

namespace {

// Archive bytes put together by hand, hostile ones included.
class ArchiveBytes {
public:
    ArchiveBytes() { Int32(ARCHIVE_HEADER); }
    ArchiveBytes& Int32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<char>(v >> (8 * i)));
        return *this;
    }
    ArchiveBytes& Raw(const std::string& text) {
        bytes_ += text;
        return *this;
    }
    ArchiveBytes& Entry(const std::string& name, const std::string& data) {
        return Int32(static_cast<uint32_t>(name.size())).Raw(name).Int32(static_cast<uint32_t>(data.size())).Raw(data);
    }
    void WriteTo(const fs::path& path) const { std::ofstream(path, std::ios::binary) << bytes_; }

private:
    std::string bytes_;
};

std::string Contents(const fs::path& path) { return ReadText(path.string()); }

std::string Pattern(size_t size, int seed) {
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 131 + seed * 7 + (i >> 9)) & 0xFF);
    return data;
}

// Unpacks in a folder "work" beside a folder "outside" that must stay empty.
class PackArchive : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        root_ = fs::path(::testing::TempDir()) / ("pack-" + test + "-" + std::to_string(getpid()));
        fs::create_directories(root_ / "work");
        fs::create_directories(root_ / "outside");
        previous_ = fs::current_path();
        fs::current_path(root_ / "work");
        PlatformOptions options;
        options.backend = "headless";
        options.logPath = (root_ / "debug.log").string();
        std::string error;
        ASSERT_TRUE(PlatformOpen(options, &error)) << error;
    }
    void TearDown() override {
        PlatformClose();
        EXPECT_TRUE(fs::is_empty(root_ / "outside")) << "something was written outside the current folder";
        fs::current_path(previous_);
        fs::remove_all(root_);
    }
    std::string Log() const { return Contents(root_ / "debug.log"); }
    int Unpack(const ArchiveBytes& archive) {
        archive.WriteTo(root_ / "test.pak");
        return UnpackArchive((root_ / "test.pak").string().c_str());
    }
    bool WorkIsEmpty() const { return fs::is_empty(root_ / "work"); }

    fs::path root_, previous_;
};

TEST_F(PackArchive, AWrongHeaderOrMissingFileIsRefusedAndEntriesAreCopiedWithTheirLogLines) {
    EXPECT_EQ(Unpack(ArchiveBytes()), 1);
    EXPECT_TRUE(WorkIsEmpty());
    std::ofstream(root_ / "bad.pak", std::ios::binary) << "PK\x03\x04" << std::string(8, '\0');
    const std::string bad = (root_ / "bad.pak").string();
    EXPECT_EQ(UnpackArchive(bad.c_str()), 0);
    EXPECT_EQ(UnpackArchive((root_ / "none.pak").string().c_str()), 0);
    EXPECT_NE(Log().find("[" + bad + "] : header error.\n"), std::string::npos);
    EXPECT_NE(Log().find("[" + (root_ / "none.pak").string() + "] : open error."), std::string::npos);
    EXPECT_TRUE(WorkIsEmpty());

    // Entries are copied with their log lines and a dot per 32 kilobytes.
    const std::string a = Pattern(2500, 1), b = Pattern(32768, 2), c = Pattern(32768 * 2 + 5, 3);
    EXPECT_EQ(Unpack(ArchiveBytes().Entry("a.bin", a).Entry("dir\\b.bin", b).Entry("empty", "").Entry("dir/sub/c", c)), 1);
    EXPECT_EQ(Contents("a.bin"), a);
    EXPECT_EQ(Contents("dir/b.bin"), b);
    EXPECT_TRUE(fs::exists("empty"));
    EXPECT_EQ(fs::file_size("empty"), 0u);
    EXPECT_EQ(Contents("dir/sub/c"), c) << "missing folders are created";
    const std::string log = Log();
    for (const char* line : {"a.bin                         2500 byte.\n", "dir\\b.bin                    32768 byte..\n",
                             "empty                            0 byte.\n", "dir/sub/c                    65541 byte...\n"})
        EXPECT_NE(log.find(line), std::string::npos) << line << " in\n" << log;
}

TEST_F(PackArchive, ThePackersArchivesUnpackByteForByteAnUnwritableEntryIsSkippedATruncatedArchiveEndsQuietly) {
    fs::create_directories("src/nested/deeper");
    const std::vector<std::pair<std::string, std::string>> files = {
        {"src/top.txt", "top"}, {"src/nested/big.bin", Pattern(100000, 4)}, {"src/nested/deeper/zero", ""}};
    for (const auto& [name, data] : files) std::ofstream(name, std::ios::binary) << data;
    std::string error;
    ASSERT_TRUE(WritePackArchive((root_ / "made.pak").string(), {"src"}, &error)) << error;
    EXPECT_FALSE(WritePackArchive((root_ / "no.pak").string(), {"../outside"}, &error));
    EXPECT_FALSE(WritePackArchive((root_ / "no.pak").string(), {"/etc/hostname"}, &error));
    fs::remove_all("src");
    EXPECT_EQ(UnpackArchive((root_ / "made.pak").string().c_str()), 1);
    for (const auto& [name, data] : files) EXPECT_EQ(Contents(name), data) << name;
    EXPECT_NE(Log().find("src\\nested\\big.bin"), std::string::npos) << "stored with backslashes";

    fs::create_directory("taken");
    const std::string skipped = Pattern(5000, 5);
    EXPECT_EQ(Unpack(ArchiveBytes().Entry("taken", skipped).Entry("next", "after")), 1);
    EXPECT_EQ(Contents("next"), "after") << "the unwritable entry's data was read over";
    EXPECT_NE(Log().find("taken                         5000 byte\nopen error.\n"), std::string::npos) << Log();
    // The data ends early: what there is is written.
    EXPECT_EQ(Unpack(ArchiveBytes().Int32(5).Raw("short").Int32(3000).Raw(Pattern(1500, 6))), 1);
    EXPECT_EQ(Contents("short"), Pattern(1500, 6));
    // A size of almost 2 GB over 70,000 bytes: those bytes, and copying stops
    // where the archive ends; only the two full 32-block runs it holds owe a dot.
    EXPECT_EQ(Unpack(ArchiveBytes().Int32(4).Raw("huge").Int32(0x7FFFFFFF).Raw(Pattern(70000, 7))), 1);
    EXPECT_EQ(Contents("huge"), Pattern(70000, 7));
    EXPECT_NE(Log().find("huge                     2147483647 byte...\n"), std::string::npos) << Log().substr(0, 300);
    // The name or the size ends early.
    EXPECT_EQ(Unpack(ArchiveBytes().Int32(10).Raw("cut")), 1);
    EXPECT_EQ(Unpack(ArchiveBytes().Int32(3).Raw("cut").Raw("\x01\x02")), 1);
    EXPECT_FALSE(fs::exists("cut"));
}

TEST_F(PackArchive, HostileNamesSizesAndLinksEndTheArchiveBeforeAnythingIsWrittenOutside) {
    const std::string outside = (root_ / "outside" / "evil").string();
    const std::vector<std::string> hostile = {
        "../outside/evil", "..\\outside\\evil", "a/../../outside/evil", outside, "\\outside\\evil",
        "C:evil", "dir/C:\\evil", std::string("ok\0/../../outside/evil", 22), "", "./", "\\\\server\\share\\evil"};
    for (const std::string& name : hostile) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Unpack(ArchiveBytes().Entry("first", "1").Entry(name, "evil").Entry("after", "2")), 1);
        EXPECT_EQ(Contents("first"), "1");
        EXPECT_FALSE(fs::exists("after")) << "the archive ends at the refused entry";
        fs::remove("first");
    }
    // Lengths out of range and a negative size.
    for (uint32_t length : {0u, 260u, 0xFFFFFFFFu, 0x80000000u}) {
        EXPECT_EQ(Unpack(ArchiveBytes().Int32(length).Raw(std::string(300, 'x')).Int32(1).Raw("x")), 1);
        EXPECT_TRUE(WorkIsEmpty()) << length;
    }
    EXPECT_EQ(Unpack(ArchiveBytes().Int32(4).Raw("neg!").Int32(0xFFFFFFF0u).Raw("data")), 1);
    EXPECT_TRUE(WorkIsEmpty());
    EXPECT_NE(Log().find("neg! : "), std::string::npos);
    // A name of exactly 259 bytes is fine.
    const std::string longest = std::string(200, 'n') + "/" + std::string(58, 'm');
    EXPECT_EQ(Unpack(ArchiveBytes().Entry(longest, "ok")), 1);
    EXPECT_EQ(Contents(longest), "ok");

    // Symbolic links leading outside are refused.
    fs::create_directory_symlink(root_ / "outside", "away");
    fs::create_symlink(root_ / "outside" / "target", "file-link");
    fs::create_directory("inside");
    fs::create_directory_symlink("inside", "near");
    for (const char* name : {"away\\evil", "away/new/evil", "file-link"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Unpack(ArchiveBytes().Entry(name, "evil").Entry("after", "2")), 1);
        EXPECT_FALSE(fs::exists("after"));
    }
    EXPECT_EQ(Unpack(ArchiveBytes().Entry("near\\ok", "fine")), 1);
    EXPECT_EQ(Contents("inside/ok"), "fine") << "a link that stays inside is followed";
}

}  // namespace
