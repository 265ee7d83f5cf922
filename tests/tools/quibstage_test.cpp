// The stage tool run as users run it, in a workspace with the editor's
// bitmaps: what check reports (and that it agrees with the editor's own load),
// dump and load byte for byte, the moves and their refusals, and pictures
// that match the editor's own frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <sstream>
#include <utility>

#include "tests/editor/editor_session.h"
#include "tests/editor/stage_file_bytes.h"
#include "tests/support/golden_frames.h"
#include "tests/support/same_values.h"

namespace fs = std::filesystem;

namespace {

// Stage cells without the value 100, which draws nothing.
Cells TileCells(int seed) {
    Cells cells = PatternCells(seed);
    std::replace(cells.begin(), cells.end(), 100, 101);
    return cells;
}

// Each text must appear in the output.
void ExpectInOutput(const RunResult& r, std::initializer_list<const char*> texts) {
    for (const char* text : texts)
        EXPECT_NE(r.output.find(text), std::string::npos) << "missing: " << text << "\n" << r.output;
}

class QuibStage : public EditorSession {
protected:
    RunResult Tool(const std::string& arguments) { return RunProgram("quibstage", arguments, "", dir_); }

    void Put(int slot, int number, const std::vector<uint8_t>& bytes) { WriteFile(dir_ / StagePath(slot, number), bytes); }
    std::vector<uint8_t> Get(int slot, int number) { return ReadFile(dir_ / StagePath(slot, number)); }

    // Stage files of slot 1: 001..005 valid with a few odd cells, 006 fails
    // its check, 007 valid (not loaded, left stale by a save).
    void WriteMixedSlot() {
        for (int n = 1; n <= 7; ++n) {
            Cells cells = TileCells(n);
            if (n == 2) cells[CellIndex(4, 20)] = 250;   // outside 0..200, check word still matching
            if (n == 3) cells[CellIndex(12, 33)] = 100;  // no tile
            if (n == 5) cells[CellIndex(0, 0)] = -7;
            std::vector<uint8_t> bytes = FileBytes(cells);
            if (n == 6) bytes[0] ^= 1;
            Put(1, n, bytes);
        }
    }
};

TEST_F(QuibStage, CheckNamesEachKindOfFindingAndExitsByWhatItFound) {
    WriteMixedSlot();
    RunResult r = Tool("check user/s1");
    EXPECT_EQ(r.exitCode, 1) << r.output;
    ExpectInOutput(r, {"user/s1: 5 stages loaded",
                       "user/s1/stage002.clb: cell (4, 20) = 250 is outside 0..200: the next save writes 0",
                       "user/s1/stage003.clb: cell (12, 33) = 100 draws nothing",
                       "user/s1/stage005.clb: cell (0, 0) = -7 is outside 0..200", "user/s1/stage006.clb: check word",
                       "the editor stops loading here", "user/s1/stage007.clb: not loaded: the slot ends at stage 006",
                       "a save leaves this file stale"});

    r = Tool("check --quiet user/s1");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.output, "");

    r = Tool("check --json user/s1");
    EXPECT_EQ(r.exitCode, 1);
    ExpectInOutput(r, {"\"findings\": 5", "\"loadedStages\": 5", "\"kind\": \"out-of-range\"",
                       "\"kind\": \"draws-nothing\"", "\"kind\": \"ends-slot\"", "\"kind\": \"not-loaded\""});

    // A slot that loads nothing gets the samples written over its files.
    std::vector<uint8_t> failing = FileBytes(TileCells(1));
    failing[0] ^= 1;
    Put(3, 1, failing);
    Put(3, 2, FileBytes(TileCells(2)));
    Put(3, 9, FileBytes(TileCells(9)));
    r = Tool("check user/s3");
    EXPECT_EQ(r.exitCode, 1);
    ExpectInOutput(r, {"starts it with the eight sample stages",
                       "stage002.clb: not loaded; a save writes sample stage 2 over it",
                       "stage009.clb: not loaded: the slot ends at stage 001"});

    // A whole workspace of clean slots, and inputs that are not there.
    for (const char* slot : {"user/s1", "user/s3"}) {
        fs::remove_all(dir_ / slot);
        fs::create_directories(dir_ / slot);
    }
    Put(2, 1, FileBytes(TileCells(1)));
    r = Tool("check");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    ExpectInOutput(r, {"user/s1: no stage files: the editor starts this slot with the eight sample stages"});
    r = Tool("check user/s9 user/s2");
    EXPECT_EQ(r.exitCode, 2) << r.output;
    ExpectInOutput(r, {"quibstage: user/s9: no such file or folder"});
}

// The stages check says the editor loads are the ones the editor's load keeps,
// whatever ends the slot: a missing, empty, failing, short or long file.
TEST_F(QuibStage, CheckAgreesWithTheEditorsOwnLoad) {
    for (int ending = 0; ending < 5; ++ending) {
        fs::remove_all(dir_ / "user/s1");
        fs::create_directories(dir_ / "user/s1");
        for (int n = 1; n <= 6; ++n) Put(1, n, FileBytes(TileCells(n)));
        std::vector<uint8_t> fourth = FileBytes(TileCells(4));
        if (ending == 0) fs::remove(dir_ / StagePath(1, 4));
        if (ending == 1) Put(1, 4, FileBytes(Cells(MAP_CELLS, 0)));
        if (ending == 2) fourth[5] ^= 1;
        if (ending == 3) fourth.resize(1000);  // borrows the rest of file 003
        if (ending == 4) fourth.push_back(9);
        if (ending >= 2) Put(1, 4, fourth);

        const fs::path home = fs::current_path();
        fs::current_path(dir_);
        std::memset(&gStageRecord, 0, sizeof(gStageRecord));
        LoadStageFiles(1);
        fs::current_path(home);
        int loaded = 0;
        while (loaded < STAGE_COUNT && gStageSet.stages[loaded].cells[0] != 0) ++loaded;

        const RunResult r = Tool("check user/s1");
        EXPECT_NE(r.output.find("user/s1: " + std::to_string(loaded) + " stages loaded"), std::string::npos)
            << "ending " << ending << ": the editor loads " << loaded << "\n" << r.output;
    }
}

TEST_F(QuibStage, DumpAndLoadGiveBackEveryFileByteForByte) {
    WriteMixedSlot();
    Put(1, 9, FileBytes(Cells(MAP_CELLS, 0)));
    Cells extreme = TileCells(10);
    extreme[CellIndex(6, 6)] = INT32_MIN;
    extreme[CellIndex(7, 7)] = INT32_MAX;
    Put(1, 10, FileBytes(extreme));
    ASSERT_EQ(Tool("dump user/s1 > slot.txt").exitCode, 0);
    ASSERT_EQ(Tool("load user/s2 slot.txt").exitCode, 0);
    for (int n = 1; n <= STAGE_COUNT; ++n)
        EXPECT_EQ(std::pair(fs::exists(dir_ / StagePath(1, n)), Get(1, n)),
                  std::pair(fs::exists(dir_ / StagePath(2, n)), Get(2, n))) << "stage " << n;

    // Loading again refuses without --force and writes nothing.
    fs::remove(dir_ / StagePath(2, 9));
    RunResult r = Tool("load user/s2 slot.txt");
    EXPECT_EQ(r.exitCode, 1);
    ExpectInOutput(r, {"user/s2/stage001.clb: already there; --force replaces it"});
    EXPECT_FALSE(fs::exists(dir_ / StagePath(2, 9)));

    // An edited cell gets a fresh check word; a kept check word stays.
    std::stringstream dumped;
    dumped << std::ifstream(dir_ / "slot.txt").rdbuf();
    std::string text = dumped.str();
    const size_t header = text.find("stage 001\n");
    ASSERT_NE(header, std::string::npos);
    text.replace(header + 10, 3, " 77");
    std::ofstream(dir_ / "edited.txt") << text;
    r = Tool("load --force user/s3 edited.txt");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    Cells edited = TileCells(1);
    edited[0] = 77;
    EXPECT_EQ(Get(3, 1), FileBytes(edited));
    EXPECT_EQ(Get(3, 6), Get(1, 6));  // its own, failing check word
}

TEST_F(QuibStage, FaultsInTheTextAreReportedWithTheirLineAndColumn) {
    const std::string rows = [] {
        std::string all;
        for (int r = 0; r < MAP_ROWS; ++r) all += "0 0 0 0 0 0 0 0 0 0 0 0 0\n";
        return all;
    }();
    const struct { std::string text; const char* error; } cases[] = {
        {"stage 1\n1 2 x\n", "t.txt:2:5: expected the number of column 2 in row 0 of stage 1"},
        {"stage 1\n" + rows.substr(0, 26 * 5), "t.txt:7:1: stage 1 ends after 5 of its 34 rows"},
        {"stage 1\n1 2 3\n", "t.txt:2:6: expected the number of column 3 in row 0 of stage 1, found the end"},
        {"stage 101\n", "t.txt:1:7: stage number 101 is outside 1..100"},
        {"stage 1\n" + rows + "stage 1\n" + rows, "t.txt:36:7: stage 1 is given twice"},
        {"# slot\n  level 1\n", "t.txt:2:3: expected 'stage NNN', found 'level'"},
        {"stage 2 check 99999999999\n", "t.txt:1:15: expected a check word"},
        {"stage 2\n" + rows.substr(0, 26) + "0 0 0 0 0 0 0 0 0 0 0 0 0 0\n", "t.txt:3:27: unexpected '0' after 13 numbers"},
    };
    for (const auto& c : cases) {
        std::ofstream(dir_ / "t.txt") << c.text;
        const RunResult r = Tool("load user/s1 t.txt");
        EXPECT_EQ(r.exitCode, 2) << c.text;
        ExpectInOutput(r, {c.error});
        EXPECT_TRUE(fs::is_empty(dir_ / "user/s1"));
    }
}

TEST_F(QuibStage, CopyMoveAndSwapTakeFilesWholeAndNeverOverwriteUnasked) {
    const std::vector<uint8_t> a = FileBytes(TileCells(1)), b = FileBytes(TileCells(2));
    Put(1, 1, a);
    Put(1, 2, b);
    ASSERT_EQ(Tool("copy user/s1/stage001.clb user/s2/stage005.clb").exitCode, 0);
    EXPECT_EQ(Get(2, 5), a);

    RunResult r = Tool("copy user/s1/stage002.clb user/s2/stage005.clb");
    EXPECT_EQ(r.exitCode, 1);
    ExpectInOutput(r, {"user/s2/stage005.clb: already there; --force replaces it"});
    EXPECT_EQ(Get(2, 5), a);
    ASSERT_EQ(Tool("copy --force user/s1/stage002.clb user/s2/stage005.clb").exitCode, 0);
    EXPECT_EQ(Get(2, 5), b);

    ASSERT_EQ(Tool("move user/s2/stage005.clb user/s3/stage100.clb").exitCode, 0);
    EXPECT_FALSE(fs::exists(dir_ / StagePath(2, 5)));
    EXPECT_EQ(Get(3, 100), b);

    ASSERT_EQ(Tool("swap user/s1/stage001.clb user/s1/stage002.clb").exitCode, 0);
    EXPECT_EQ(Get(1, 1), b);
    EXPECT_EQ(Get(1, 2), a);

    WriteFile(dir_ / "user/s1/stage003.clb", std::vector<uint8_t>(100, 1));
    const struct { const char* arguments; const char* error; } refused[] = {
        {"copy user/s1/stage009.clb user/s2/stage001.clb", "user/s1/stage009.clb: no such file"},
        {"copy user/s1/stage003.clb user/s2/stage001.clb", "user/s1/stage003.clb: 100 bytes; a stage file has 1772"},
        {"copy user/s1/stage001.clb user/s2/level1.clb", "user/s2/level1.clb: not a stage file name"},
        {"copy user/s1/stage001.clb user/s7/stage001.clb", "no folder user/s7/"},
        {"move --force user/s1/stage001.clb user/s1/../s1/stage001.clb", "are the same file"},
        {"swap user/s1/stage001.clb user/s1/stage101.clb", "user/s1/stage101.clb: no such file"},
        {"copy user/s1/stage001.clb", "copy: too few arguments (see 'quibstage copy --help')"},
        {"swap --force a b", "swap: unknown option --force"},
        {"paint", "quibstage: no command 'paint'"},
    };
    for (const auto& c : refused) {
        r = Tool(c.arguments);
        EXPECT_EQ(r.exitCode, 2) << c.arguments;
        ExpectInOutput(r, {c.error});
    }
    EXPECT_EQ(Get(1, 1), b);
}

TEST_F(QuibStage, EveryCommandExplainsItselfWithHelp) {
    for (const char* command : {"check", "render", "dump", "load", "copy", "move", "swap"}) {
        const RunResult r = Tool(std::string(command) + " --help");
        EXPECT_EQ(r.exitCode, 0) << command;
        EXPECT_EQ(r.output.rfind(std::string("usage: quibstage ") + command, 0), 0u) << r.output;
    }
    EXPECT_EQ(Tool("--help").exitCode, 0);
}

// A rendered stage is the editor's own frame: the editor, run on the same
// slot and paged to the stage with its stage key, presents the same pixels.
TEST_F(QuibStage, RenderedStagesAreTheFramesTheEditorShows) {
    for (int n = 1; n <= 3; ++n) Put(1, n, FileBytes(TileCells(n)));
    ASSERT_EQ(Tool("render user/s1 2 --bmp bmp --out two.png").exitCode, 0);
    ASSERT_EQ(Tool("render user/s1 --out sheet.png").exitCode, 0);

    EditorScript script;
    script.Move(OFF_MAP).ChooseSlot(1).Move({635, 475}).StageKey("F3");
    const int shown = script.builtAt() + 1;
    script.Line(shown, "move 635 475").Line(shown, "capture editor.png");
    Run(script);

    const RgbImage tool = ReadPicture(dir_ / "two.png"), editor = ReadPicture(dir_ / "editor.png");
    const RgbImage sheet = ReadPicture(dir_ / "sheet.png");
    ASSERT_EQ(tool.width, editor.width);
    EXPECT_TRUE(SameValues(tool.rgb, editor.rgb)) << "byte 3n is pixel n";

    // The sheet: three stages side by side, the second being that frame's left part.
    ASSERT_EQ(sheet.width, 3 * 420 + 2 * 8);
    ASSERT_EQ(sheet.height, 480);
    for (int y = 0; y < 480; y += 7)
        ASSERT_EQ(0, std::memcmp(&sheet.rgb[(y * sheet.width + 428) * 3], &editor.rgb[y * 640 * 3], 420 * 3)) << y;

    const RunResult r = Tool("render user/s1 4");
    EXPECT_EQ(r.exitCode, 2);
    ExpectInOutput(r, {"user/s1/stage004.clb: no such file"});
}

}  // namespace
