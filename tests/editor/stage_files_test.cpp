// Stage files: the byte layout, the load chain, the samples, the save rules.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "editor/stage_set.h"
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

TEST_F(StageFiles, SampleStagesMatchTheirLayoutsByteForByte) {
    BuildSampleStages();
    ASSERT_EQ(kSampleStageRows.size(), 8u);
    for (int stage = 0; stage < 8; ++stage) {
        SCOPED_TRACE("stage " + std::to_string(stage + 1));
        EXPECT_EQ(StageCells(stage), CellsFromRows(kSampleStageRows[stage]));
    }
    for (int stage = 8; stage < STAGE_COUNT; ++stage) EXPECT_EQ(StageCells(stage), Cells(MAP_CELLS, 0));

    gUserSlot = 2;
    SaveStageFiles();
    for (int stage = 0; stage < 8; ++stage)
        EXPECT_EQ(ReadFile(StagePath(2, stage + 1)), FileBytes(CellsFromRows(kSampleStageRows[stage])));
    EXPECT_FALSE(fs::exists(StagePath(2, 9)));
}

TEST_F(StageFiles, EmptyOrFailingFirstFileGivesTheSamplesInEverySlot) {
    for (int slot = 1; slot <= 3; ++slot) {
        Cells bad = PatternCells(slot);
        std::vector<uint8_t> bytes = FileBytes(bad);
        bytes[0] ^= 1;  // wrong check word
        if (slot == 2) WriteFile(StagePath(slot, 1), bytes);
        if (slot == 3) WriteFile(StagePath(slot, 1), FileBytes(Cells(MAP_CELLS, 0)));
        WriteFile(StagePath(slot, 2), FileBytes(PatternCells(9)));  // never reached
        LoadStageFiles(slot);
        EXPECT_EQ(gUserSlot, slot);
        for (int stage = 0; stage < 8; ++stage)
            EXPECT_EQ(StageCells(stage), CellsFromRows(kSampleStageRows[stage])) << "slot " << slot;
        EXPECT_EQ(StageCells(8), Cells(MAP_CELLS, 0));
    }
}

TEST_F(StageFiles, TheChainEndsAtTheFirstMissingEmptyOrFailingFile) {
    for (int n = 1; n <= 5; ++n) WriteFile(StagePath(1, n), FileBytes(PatternCells(n)));
    WriteFile(StagePath(1, 7), FileBytes(PatternCells(7)));
    LoadStageFiles(1);
    for (int n = 1; n <= 5; ++n) EXPECT_EQ(StageCells(n - 1), PatternCells(n));
    for (int stage = 5; stage < STAGE_COUNT; ++stage) EXPECT_EQ(StageCells(stage), Cells(MAP_CELLS, 0));

    // An all-zero file with a matching check word ends the set like a missing one.
    WriteFile(StagePath(1, 6), FileBytes(Cells(MAP_CELLS, 0)));
    LoadStageFiles(1);
    EXPECT_EQ(StageCells(4), PatternCells(5));
    EXPECT_EQ(StageCells(6), Cells(MAP_CELLS, 0));
}

TEST_F(StageFiles, TheCheckWordCoversExactlyTheFirst99Cells) {
    Cells cells = PatternCells(3);
    std::vector<uint8_t> bytes = FileBytes(cells);
    // Cell 99 (offset 400) and the last cell lie outside the sum: changing them keeps the file valid.
    bytes[4 + 4 * 99] ^= 0x10;
    bytes[4 + 4 * 441] = 0x7F;
    WriteFile(StagePath(1, 1), bytes);
    // Changing cell 98 (offset 396) breaks it.
    std::vector<uint8_t> broken = FileBytes(PatternCells(4));
    broken[4 + 4 * 98] ^= 0x01;
    WriteFile(StagePath(1, 2), broken);
    LoadStageFiles(1);
    Cells expected = cells;
    expected[99] ^= 0x10;
    expected[441] = 0x7F;
    EXPECT_EQ(StageCells(0), expected);
    EXPECT_EQ(StageCells(1), Cells(MAP_CELLS, 0));
}

TEST_F(StageFiles, OutOfRangeCellsLoadAsTheyAreAndSaveAsZero) {
    Cells cells = PatternCells(1);
    cells[5] = 250;
    cells[6] = -3;
    cells[300] = 100000;
    WriteFile(StagePath(1, 1), FileBytes(cells));
    LoadStageFiles(1);
    EXPECT_EQ(StageCells(0), cells);

    SaveStageFiles();
    Cells clamped = cells;
    clamped[5] = clamped[6] = clamped[300] = 0;
    EXPECT_EQ(ReadFile(StagePath(1, 1)), FileBytes(clamped));
    EXPECT_EQ(ReadFile(StagePath(1, 1)).size(), 1772u);
}

TEST_F(StageFiles, AShortFileKeepsTheRestOfThePreviousRead) {
    const Cells first = PatternCells(1);
    Cells second = PatternCells(2);
    WriteFile(StagePath(1, 1), FileBytes(first));
    std::vector<uint8_t> shortFile = FileBytes(second);
    shortFile.resize(4 + 4 * 120);  // check word and cells 0..119
    WriteFile(StagePath(1, 2), shortFile);
    LoadStageFiles(1);
    Cells expected = first;
    std::copy(second.begin(), second.begin() + 120, expected.begin());
    EXPECT_EQ(StageCells(1), expected);
}

TEST_F(StageFiles, SavingStopsAtTheFirstEmptyStageAndLeavesLaterFilesAlone) {
    gUserSlot = 3;
    for (int stage = 0; stage < 5; ++stage) SetStage(stage, PatternCells(stage));
    SetStage(6, PatternCells(6));
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

TEST_F(StageFiles, NothingIsWrittenBeforeASlotIsChosen) {
    SetStage(0, PatternCells(1));
    EXPECT_EQ(SaveStageFiles(), 1);
    for (int slot = 1; slot <= 3; ++slot) EXPECT_TRUE(fs::is_empty("user/s" + std::to_string(slot)));
}

TEST_F(StageFiles, AFileThatCannotBeOpenedIsSkippedAndTheRestStillSaved) {
    gUserSlot = 1;
    for (int stage = 0; stage < 3; ++stage) SetStage(stage, PatternCells(stage));
    fs::create_directory(StagePath(1, 2));  // a directory where file 002 should go
    SaveStageFiles();
    EXPECT_TRUE(fs::is_directory(StagePath(1, 2)));
    EXPECT_EQ(ReadFile(StagePath(1, 1)), FileBytes(PatternCells(0)));
    EXPECT_EQ(ReadFile(StagePath(1, 3)), FileBytes(PatternCells(2)));
}

TEST_F(StageFiles, AFailingWriteLeavesTheOldFileIntact) {
    const std::vector<uint8_t> old = FileBytes(PatternCells(40));
    WriteFile(StagePath(1, 1), old);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Files may not grow past 1000 bytes here, so every stage write fails half-way.
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{1000, 1000};
        setrlimit(RLIMIT_FSIZE, &limit);
        gUserSlot = 1;
        SetStage(0, PatternCells(1));
        SaveStageFiles();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(ReadFile(StagePath(1, 1)), old);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator("user/s1")) names.push_back(entry.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{"stage001.clb"}) << "no temporary file may be left behind";
}

TEST_F(StageFiles, SavedFilesReadBackToTheSameStages) {
    gUserSlot = 2;
    for (int stage = 0; stage < STAGE_COUNT; ++stage) SetStage(stage, PatternCells(stage));
    SaveStageFiles();
    std::memset(&gStageSet, 0, sizeof(gStageSet));
    LoadStageFiles(2);
    for (int stage = 0; stage < STAGE_COUNT; ++stage) EXPECT_EQ(StageCells(stage), PatternCells(stage));
    struct stat info {};
    ASSERT_EQ(stat(StagePath(2, 100).c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 1772);
}

}  // namespace
