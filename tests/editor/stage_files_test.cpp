// Stage files: the byte layout, the load chain, the samples, the save rules.
#include <fcntl.h>
#include <grp.h>
#include <time.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "editor/stage_set.h"
#include "platform/win/platform.h"
#include "tests/editor/sample_stage_rows.h"
#include "tests/editor/stage_file_bytes.h"

namespace fs = std::filesystem;

namespace {

Cells StageCells(int stage) {
    const int32_t* c = gStageSet.stages[stage].cells;
    return Cells(c, c + MAP_CELLS);
}

void SetStage(int stage, const Cells& cells) { std::copy(cells.begin(), cells.end(), gStageSet.stages[stage].cells); }

class StageFiles : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = fs::current_path();
        dir_ = fs::temp_directory_path() / ("stage-files-" + std::to_string(getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        for (int s = 1; s <= 3; ++s) fs::create_directories(dir_ / ("user/s" + std::to_string(s)));
        fs::current_path(dir_);
        std::memset(&gStageSet, 0, sizeof(gStageSet));
        gUserSlot = 0;
    }
    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(dir_);
    }
    fs::path previous_, dir_;
};

// An empty slot, or one whose first file is empty or fails its check, starts
// with the samples (later files are never reached); they save byte for byte.
TEST_F(StageFiles, EmptyOrFailingFirstFileGivesTheSamplesInEverySlot) {
    ASSERT_EQ(SAMPLE_STAGE_ROWS.size(), 8u);
    for (int slot = 1; slot <= 3; ++slot) {
        std::vector<uint8_t> bytes = FileBytes(PatternCells(slot));
        bytes[0] ^= 1;  // wrong check word
        if (slot == 2) WriteFile(StagePath(slot, 1), bytes);
        if (slot == 3) WriteFile(StagePath(slot, 1), FileBytes(Cells(MAP_CELLS, 0)));
        WriteFile(StagePath(slot, 2), FileBytes(PatternCells(9)));
        LoadStageFiles(slot);
        EXPECT_EQ(gUserSlot, slot);
        for (int stage = 0; stage < STAGE_COUNT; ++stage)
            EXPECT_EQ(StageCells(stage), stage < 8 ? CellsFromRows(SAMPLE_STAGE_ROWS[stage]) : Cells(MAP_CELLS, 0))
                << "slot " << slot << ", stage " << stage + 1;
    }
    SaveStageFiles();
    for (int stage = 0; stage < 8; ++stage)
        EXPECT_EQ(ReadFile(StagePath(3, stage + 1)), FileBytes(CellsFromRows(SAMPLE_STAGE_ROWS[stage])));
    EXPECT_FALSE(fs::exists(StagePath(3, 9)));
}

// Cells outside 0..200 load as they are and save as 0.
TEST_F(StageFiles, TheChainEndsAtTheFirstMissingEmptyOrFailingFileAndOutOfRangeCellsSaveAsZero) {
    Cells first = PatternCells(1);
    first[5] = 250;
    first[6] = -3;
    first[300] = 100000;
    WriteFile(StagePath(1, 1), FileBytes(first));
    for (int n = 2; n <= 5; ++n) WriteFile(StagePath(1, n), FileBytes(PatternCells(n)));
    WriteFile(StagePath(1, 7), FileBytes(PatternCells(7)));
    LoadStageFiles(1);
    EXPECT_EQ(StageCells(0), first);
    for (int n = 2; n <= 5; ++n) EXPECT_EQ(StageCells(n - 1), PatternCells(n));
    for (int stage = 5; stage < STAGE_COUNT; ++stage) EXPECT_EQ(StageCells(stage), Cells(MAP_CELLS, 0));

    SaveStageFiles();
    first[5] = first[6] = first[300] = 0;
    EXPECT_EQ(ReadFile(StagePath(1, 1)), FileBytes(first));

    // An all-zero file with a matching check word ends the set like a missing one.
    WriteFile(StagePath(1, 6), FileBytes(Cells(MAP_CELLS, 0)));
    LoadStageFiles(1);
    EXPECT_EQ(StageCells(4), PatternCells(5));
    EXPECT_EQ(StageCells(6), Cells(MAP_CELLS, 0));
}

TEST_F(StageFiles, TheCheckWordCoversTheFirst99CellsAndAShortFileKeepsTheRestOfThePreviousRead) {
    Cells first = PatternCells(3);
    std::vector<uint8_t> bytes = FileBytes(first);
    // Cell 99 (offset 400) and the last cell lie outside the sum: changing them keeps the file valid.
    bytes[4 + 4 * 99] ^= 0x10;
    bytes[4 + 4 * 441] = 0x7F;
    first[99] ^= 0x10;
    first[441] = 0x7F;
    WriteFile(StagePath(1, 1), bytes);
    const Cells second = PatternCells(2);
    std::vector<uint8_t> shortFile = FileBytes(second);
    shortFile.resize(4 + 4 * 120);  // check word and cells 0..119
    WriteFile(StagePath(1, 2), shortFile);
    // Changing cell 98 (offset 396) breaks it.
    std::vector<uint8_t> broken = FileBytes(PatternCells(4));
    broken[4 + 4 * 98] ^= 0x01;
    WriteFile(StagePath(1, 3), broken);
    LoadStageFiles(1);
    EXPECT_EQ(StageCells(0), first);
    Cells expected = first;
    std::copy(second.begin(), second.begin() + 120, expected.begin());
    EXPECT_EQ(StageCells(1), expected);
    EXPECT_EQ(StageCells(2), Cells(MAP_CELLS, 0));
}

TEST_F(StageFiles, SavingStopsAtTheFirstEmptyStageAndLeavesLaterFilesAlone) {
    for (int stage = 0; stage < 5; ++stage) SetStage(stage, PatternCells(stage));
    SetStage(6, PatternCells(6));
    EXPECT_EQ(SaveStageFiles(), 1);
    for (int slot = 1; slot <= 3; ++slot) EXPECT_TRUE(fs::is_empty("user/s" + std::to_string(slot))) << "no slot chosen";
    gUserSlot = 3;
    const std::vector<uint8_t> old6 = FileBytes(PatternCells(60));
    WriteFile(StagePath(3, 6), old6);
    EXPECT_EQ(SaveStageFiles(), 1);
    for (int stage = 0; stage < 5; ++stage) EXPECT_EQ(ReadFile(StagePath(3, stage + 1)), FileBytes(PatternCells(stage)));
    EXPECT_EQ(ReadFile(StagePath(3, 6)), old6);
    EXPECT_FALSE(fs::exists(StagePath(3, 7)));

    // The next load finds the old file 006 again.
    LoadStageFiles(3);
    EXPECT_EQ(StageCells(5), PatternCells(60));
}

// The save runs in a child process, as another user when asked (root passes
// every permission check), or with a file-size limit standing in for a full
// disk; the child's debug log comes back as UTF-8.
struct ChildSave {
    uid_t user = 0;             // 0: the test's own user
    rlim_t fileSizeLimit = 0;   // 0: none
};

std::string SaveInChild(int slot, int stages, ChildSave how = {}) {
    const std::string log = fs::absolute("save.log");
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        dup2(out, 2);
        if (how.fileSizeLimit) {
            signal(SIGXFSZ, SIG_IGN);
            rlimit limit{how.fileSizeLimit, how.fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (how.user && (setgroups(0, nullptr) != 0 || setgid(how.user) != 0 || setuid(how.user) != 0)) _exit(2);
        gUserSlot = slot;
        for (int stage = 0; stage < stages; ++stage) SetStage(stage, PatternCells(stage));
        SaveStageFiles();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the saving child failed";
    std::ifstream in(log);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string CannotSave(int slot, int number, const char* why) {
    return ShiftJisToUtf8(("ステージファイル[./" + StagePath(slot, number) + "]を保存できません: " + why + "\n").c_str());
}

std::vector<std::string> FolderNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// A user other than root for the permission cases: root writes anywhere.
constexpr uid_t NOBODY = 65534;
uid_t UnprivilegedUser() { return geteuid() == 0 ? NOBODY : 0; }

// Slot 1: a folder and a read-only file where files 002 and 003 go. Slot 2, a
// read-only folder: with the temporary file impossible, writable files are
// written in place and only the files that would have to be made are lost.
TEST_F(StageFiles, FilesThatCannotBeWrittenAreSkippedLoggedAndKept) {
    const std::vector<uint8_t> old = FileBytes(PatternCells(40));
    fs::create_directory(StagePath(1, 2));
    WriteFile(StagePath(1, 3), old);
    fs::permissions(StagePath(1, 3), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    for (int n = 1; n <= 2; ++n) WriteFile(StagePath(2, n), FileBytes(PatternCells(50 + n)));
    for (const char* path : {"user/s1", "user/s2", "user/s2/stage001.clb", "user/s2/stage002.clb"})
        if (UnprivilegedUser()) {
            ASSERT_EQ(chown(path, NOBODY, NOBODY), 0);
        }
    fs::permissions("user/s2", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    EXPECT_EQ(SaveInChild(1, 4, {UnprivilegedUser()}),
              CannotSave(1, 2, "ファイルではありません") + CannotSave(1, 3, "書き込みが許可されていません"));
    EXPECT_EQ(SaveInChild(2, 3, {UnprivilegedUser()}), CannotSave(2, 3, "書き込みが許可されていません"));
    fs::permissions("user/s2", fs::perms::owner_all, fs::perm_options::add);
    EXPECT_TRUE(fs::is_directory(StagePath(1, 2)));
    EXPECT_EQ(ReadFile(StagePath(1, 3)), old) << "a read-only file stays as it was";
    for (int slot = 1; slot <= 2; ++slot) EXPECT_EQ(ReadFile(StagePath(slot, 1)), FileBytes(PatternCells(0)));
    EXPECT_EQ(ReadFile(StagePath(1, 4)), FileBytes(PatternCells(3)));
    EXPECT_EQ(ReadFile(StagePath(2, 2)), FileBytes(PatternCells(1)));
    EXPECT_FALSE(fs::exists(StagePath(2, 3)));
}

TEST_F(StageFiles, LinksAreWrittenThroughPermissionBitsKeptAndAFullDiskLeavesOldFilesIntact) {
    fs::create_directory("elsewhere");
    WriteFile("elsewhere/target.clb", FileBytes(PatternCells(60)));
    fs::create_symlink("../../elsewhere/target.clb", StagePath(1, 1));
    fs::create_symlink("../../elsewhere/made.clb", StagePath(1, 2));  // dangling
    WriteFile(StagePath(1, 3), FileBytes(PatternCells(61)));
    fs::create_hard_link(StagePath(1, 3), "elsewhere/second-name.clb");
    WriteFile(StagePath(1, 4), FileBytes(PatternCells(62)));
    fs::permissions(StagePath(1, 4), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(SaveInChild(1, 4), "");
    EXPECT_TRUE(fs::is_symlink(StagePath(1, 1)));
    EXPECT_EQ(ReadFile("elsewhere/target.clb"), FileBytes(PatternCells(0)));
    EXPECT_TRUE(fs::is_symlink(StagePath(1, 2)));
    EXPECT_EQ(ReadFile("elsewhere/made.clb"), FileBytes(PatternCells(1)));
    EXPECT_EQ(ReadFile("elsewhere/second-name.clb"), FileBytes(PatternCells(2)));
    EXPECT_EQ(fs::hard_link_count(StagePath(1, 3)), 2u);
    EXPECT_EQ(fs::status(StagePath(1, 4)).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReadFile(StagePath(1, 4)), FileBytes(PatternCells(3)));
    EXPECT_EQ(FolderNames("user/s1").size(), 4u) << "no temporary file is left behind";

    // A full disk: files may not grow past 1000 bytes, so every stage write fails half-way.
    const std::vector<uint8_t> old = FileBytes(PatternCells(40));
    WriteFile(StagePath(2, 1), old);
    EXPECT_EQ(SaveInChild(2, 2, {0, 1000}),
              CannotSave(2, 1, "ファイルサイズの上限を超えます") + CannotSave(2, 2, "ファイルサイズの上限を超えます"));
    EXPECT_EQ(ReadFile(StagePath(2, 1)), old);
    EXPECT_EQ(FolderNames("user/s2"), std::vector<std::string>{"stage001.clb"}) << "no temporary file may be left behind";
}

// Temporary files an interrupted save left are removed by the next load or
// save; names that only look alike are not the editor's and stay.
TEST_F(StageFiles, StaleTemporaryFilesAreRemovedByTheNextLoadOrSave) {
    const std::vector<std::string> foreign = {".stage-abc", ".stage-abc1234", ".stage-ab_12c", "x.stage-abc123"};
    for (const int slot : {1, 2}) {
        const std::string folder = "user/s" + std::to_string(slot) + "/";
        for (const char* name : {".stage-abc123", ".stage-Zz09Yy"}) WriteFile(folder + name, {1});
        for (const std::string& name : foreign) WriteFile(folder + name, {1});
    }
    LoadStageFiles(1);
    std::memset(&gStageSet, 0, sizeof(gStageSet));
    gUserSlot = 2;
    SetStage(0, PatternCells(1));
    SaveStageFiles();
    std::vector<std::string> expected = foreign;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FolderNames("user/s1"), expected);
    expected.push_back("stage001.clb");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FolderNames("user/s2"), expected);
}

int64_t Microseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000 + now.tv_nsec / 1000;
}

// Killed at random moments while it saves a full slot, the editor leaves every
// stage file either complete old or complete new; the next load tidies up.
// In memory (/dev/shm) where there is one, so that a few hundred saves, each
// killed somewhere along its 100 files, fit in a few seconds.
TEST_F(StageFiles, KillsDuringASaveNeverTearAFile) {
    if (fs::is_directory("/dev/shm")) {
        const fs::path shm = fs::path("/dev/shm") / dir_.filename();
        fs::create_directories(shm / "user/s1");
        fs::current_path(shm);
        fs::remove_all(dir_);
        dir_ = shm;
    }
    for (int n = 1; n <= STAGE_COUNT; ++n) WriteFile(StagePath(1, n), FileBytes(PatternCells(n + 50)));
    gUserSlot = 1;
    for (int stage = 0; stage < STAGE_COUNT; ++stage) SetStage(stage, PatternCells(stage + 1));
    const int64_t started = Microseconds();
    SaveStageFiles();
    const int64_t saveTime = std::max<int64_t>(Microseconds() - started, 1000);
    for (int n = 1; n <= STAGE_COUNT; ++n) ASSERT_EQ(ReadFile(StagePath(1, n)), FileBytes(PatternCells(n))) << n;
    std::mt19937 random(7);
    // A few hundred kills where 20 s allow them, and at least 50 however slow
    // a fork is (under a sanitizer it can take a second), within two minutes.
    const int64_t enough = Microseconds() + 20000000, deadline = Microseconds() + 120000000;
    int kills = 0;
    for (; kills < 300 && Microseconds() < (kills < 50 ? deadline : enough); ++kills) {
        const int generation = kills % 2;  // each save writes the other pattern
        const pid_t child = fork();
        if (child == 0) {
            gUserSlot = 1;
            for (int stage = 0; stage < STAGE_COUNT; ++stage) SetStage(stage, PatternCells(stage + 1 + 50 * generation));
            for (;;) SaveStageFiles();
        }
        usleep(static_cast<useconds_t>(random() % saveTime));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        for (int n = 1; n <= STAGE_COUNT; ++n) {
            const std::vector<uint8_t> bytes = ReadFile(StagePath(1, n));
            ASSERT_TRUE(bytes == FileBytes(PatternCells(n)) || bytes == FileBytes(PatternCells(n + 50)))
                << "stage " << n << " torn after kill " << kills;
        }
    }
    EXPECT_GE(kills, 50) << "one save takes " << saveTime << " us";
    std::memset(&gStageSet, 0, sizeof(gStageSet));
    LoadStageFiles(1);
    EXPECT_EQ(FolderNames("user/s1").size(), static_cast<size_t>(STAGE_COUNT)) << "temporary files left after the load";
    for (int n = 1; n <= STAGE_COUNT; ++n) EXPECT_EQ(FileBytes(StageCells(n - 1)), ReadFile(StagePath(1, n))) << n;
}

}  // namespace
