// The editor as a whole program on the headless backend: scripted sessions
// whose outcome is read from the stage files written at the end and from
// captured frames.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/platform.h"
#include "tests/editor/editor_session.h"
#include "tests/editor/sample_stage_rows.h"
#include "tests/editor/stage_file_bytes.h"
#include "tests/support/golden_frames.h"
#include "tests/support/same_values.h"

namespace fs = std::filesystem;

namespace {

void Set(Cells& cells, std::initializer_list<std::pair<int, int>> places, int value) {
    for (auto [c, r] : places) cells[34 * c + r] = value;
}

void SetRectangle(Cells& cells, int c1, int r1, int c2, int r2, int value) {
    for (int c = c1; c <= c2; ++c)
        for (int r = r1; r <= r2; ++r) cells[34 * c + r] = value;
}

class Editor : public EditorSession {
protected:
    // The file of a stage must be the bytes of these cells (byte 4 + 4k starts
    // cell k, at column k / 34 and row k % 34).
    void ExpectStageFile(int slot, int number, const Cells& cells) const {
        EXPECT_TRUE(SameValues(ReadFile(dir_ / StagePath(slot, number)), FileBytes(cells))) << "stage " << number;
    }
    bool SlotIsEmpty(int slot) const { return fs::is_empty(dir_ / ("user/s" + std::to_string(slot))); }
    // Slot 1 holds 100 stages, each a pattern of its own.
    void WriteHundredStages() const {
        for (int n = 1; n <= STAGE_COUNT; ++n) WriteFile(dir_ / StagePath(1, n), FileBytes(PatternCells(n)));
    }
    void ExpectSlotFiles(int slot, const std::vector<Cells>& stages) const {
        for (size_t i = 0; i < stages.size(); ++i) ExpectStageFile(slot, static_cast<int>(i) + 1, stages[i]);
        EXPECT_FALSE(fs::exists(dir_ / StagePath(slot, static_cast<int>(stages.size()) + 1)));
    }
    std::vector<Cells> Samples() const {
        std::vector<Cells> stages;
        for (const auto& rows : SAMPLE_STAGE_ROWS) stages.push_back(CellsFromRows(rows));
        return stages;
    }
    // The map area (x 15..404, y 65..472) of a captured frame.
    RgbImage MapArea(const std::string& capture) const {
        const RgbImage frame = ReadPicture(dir_ / capture);
        RgbImage map;
        if (frame.width != 640) return map;
        map.width = 390;
        map.height = 408;
        for (int y = 65; y < 473; ++y)
            map.rgb.insert(map.rgb.end(), frame.rgb.begin() + 3 * (640 * y + 15), frame.rgb.begin() + 3 * (640 * y + 405));
        return map;
    }
};

// A slot folder that is missing is named once at exit and not made.
TEST_F(Editor, AnEmptySlotStartsWithTheSamplesQuittingWritesTheSetAndAMissingFolderIsNamedOnce) {
    EditorScript script;
    // USER 2 lies over cell (9, 15) of sample stage 1: the choosing click paints nothing.
    script.ChooseSlot(2).Click(Palette1Point(17)).WaitForMap().Click(MapPoint(3, 30)).Key("esc");
    Run(script);
    ExpectSlotFiles(2, Samples());
    EXPECT_TRUE(SlotIsEmpty(1));
    EXPECT_TRUE(SlotIsEmpty(3));

    fs::remove(dir_ / "user/s3");
    Run(EditorScript().ChooseSlot(3).Key("esc"));
    const std::string line = ShiftJisToUtf8("フォルダ[./user/s3]がないため、ステージは保存されません");
    const size_t at = output_.find(line);
    EXPECT_NE(at, std::string::npos) << output_;
    EXPECT_EQ(output_.find(ShiftJisToUtf8("保存"), at + line.size()), std::string::npos) << output_;
    EXPECT_FALSE(fs::exists(dir_ / "user/s3"));
}

TEST_F(Editor, ToolsPaintCellsRectanglesAndLines) {
    EditorScript script;
    script.ChooseSlot(1).Click(Palette1Point(17)).Click(SQAR).WaitForMap();
    // Press off the map, release on it: the rectangle starts at (0, 0) when no anchor was set yet.
    script.Drag(OFF_MAP, {MapPoint(1, 2)});
    script.Drag(MapPoint(2, 3), {MapPoint(4, 2), MapPoint(5, 1)});
    // A release off the map leaves only the pressed cell.
    script.Drag(MapPoint(3, 28), {OFF_MAP});
    script.Click(LINE).Drag(MapPoint(0, 22), {MapPoint(2, 26)});
    // Press off the map: the line starts at the last anchor, (0, 22).
    script.Drag(OFF_MAP, {MapPoint(12, 27)});
    script.Click(MapPoint(6, 30));
    // DOTS paints only the cells under the pointer in each frame.
    script.Click(DOTS).Drag(MapPoint(0, 32), {MapPoint(2, 32), MapPoint(4, 32)});
    // With pen 0 a rectangle clears.
    script.Click(Palette1Point(0)).Click(SQAR).Drag(MapPoint(2, 5), {MapPoint(10, 5)});
    script.Confirm(SAVE, YES);
    Run(script);

    std::vector<Cells> stages = Samples();
    Cells& expected = stages[0];
    SetRectangle(expected, 0, 0, 1, 2, 17);
    SetRectangle(expected, 2, 1, 5, 3, 17);
    Set(expected, {{3, 28}, {0, 22}, {1, 23}, {1, 24}, {1, 25}, {2, 26}, {6, 30}, {0, 32}, {2, 32}, {4, 32}}, 17);
    Set(expected,
        {{1, 22}, {2, 23}, {3, 23}, {4, 24}, {5, 24}, {6, 24}, {7, 25}, {8, 25}, {9, 26}, {10, 26}, {11, 27}, {12, 27}},
        17);
    SetRectangle(expected, 2, 5, 10, 5, 0);
    ExpectSlotFiles(1, stages);
}

// Taps pressed and released within one frame are not missed; the right
// button picks the cell under the pointer; the exit log names a stored stage
// that follows an empty one.
TEST_F(Editor, TapsAndRightButtonPicksPaintAndTheExitLogNamesStagesAfterAnEmptyOne) {
    EditorScript script;
    script.Tap(USER_POINTS[0]);
    for (int k = 0; k < 5; ++k) script.TapKey("F3");  // to stage 6
    script.Wait(15).Tap(Palette1Point(17)).Tap(MapPoint(5, 19));
    script.Click(MapPoint(12, 9), "rbutton").Click(MapPoint(5, 20));
    // Holding the right button picks each cell passed over: (0, 0) holds 38, (1, 0) holds 8.
    script.Drag(MapPoint(0, 0), {MapPoint(1, 0)}, "rbutton").Click(MapPoint(5, 21)).Tap(SAVE).Tap(YES);
    for (int k = 0; k < 4; ++k) script.StageKey("F3");  // to stage 10, past the empty stage 9
    script.WaitForMap().Click(MapPoint(5, 22)).Confirm(SAVE, YES);
    Run(script);
    std::vector<Cells> stages = Samples();
    Set(stages[5], {{5, 19}}, 17);
    Set(stages[5], {{5, 20}}, 137);
    Set(stages[5], {{5, 21}}, 8);
    ExpectSlotFiles(1, stages);
    EXPECT_NE(output_.find(ShiftJisToUtf8("ステージ10は、前のステージ9が空のため保存されません")), std::string::npos)
        << output_;
    EXPECT_EQ(output_.find(ShiftJisToUtf8("ステージ11は")), std::string::npos) << output_;
}

// Paging stops at the first and last stages; stage keys store the buffer, page and reload.
TEST_F(Editor, PagingAndStageKeysStopAtTheFirstAndLastStages) {
    WriteHundredStages();
    EditorScript script;
    script.ChooseSlot(1);
    auto press = [&](Point button, int times) -> EditorScript& {
        for (int k = 0; k < times; ++k) script.Click(button);
        return script;
    };
    // Each SAVE stores stage 1's buffer where the paging arrived.
    press(BACK1, 1);                                                          // stays on stage 1
    press(FORWARD1, 2).Confirm(SAVE, YES);                                    // stage 3
    press(FORWARD10, 8), press(FORWARD1, 8), press(FORWARD10, 1).Confirm(SAVE, YES);  // stays on 91
    press(BACK1, 1), press(FORWARD10, 1);                                     // 90 -> 100
    press(FORWARD1, 1).Confirm(SAVE, YES);                                    // stays on 100
    press(BACK10, 10).Confirm(SAVE, YES);                                     // stays on 10
    press(FORWARD1, 1), press(BACK10, 1);                                     // 11 -> 1
    press(FORWARD1, 3).Confirm(SAVE, YES);                                    // stage 4
    Run(script);
    const std::set<int> copied = {1, 3, 4, 10, 91, 100};
    for (int n = 1; n <= STAGE_COUNT; ++n) ExpectStageFile(1, n, PatternCells(copied.count(n) ? 1 : n));

    WriteHundredStages();
    script = EditorScript();
    std::vector<Cells> stages;
    for (int n = 1; n <= STAGE_COUNT; ++n) stages.push_back(PatternCells(n));
    // Paints pen 17 at (c, 33) of the stage being edited, which the next key stores.
    auto paint = [&](int c, int stage) {
        script.WaitForMap().Click(MapPoint(c, 33));
        stages[stage - 1][34 * c + 33] = 17;
    };
    script.ChooseSlot(1).Click(Palette1Point(17));
    paint(0, 1);
    script.StageKey("F3").StageKey("F2").StageKey("F2").StageKey("F4");  // 2, 1, stays at 1, 11
    paint(1, 11);
    script.StageKey("F1");                                                // 1
    for (int k = 0; k < 10; ++k) script.StageKey("F4");                   // 91, and stays there
    paint(2, 91);
    for (int k = 0; k < 10; ++k) script.StageKey("F3");                   // 100, and stays there
    paint(3, 100);
    script.StageKey("F1");                                                // 90
    for (int k = 0; k < 9; ++k) script.StageKey("F1");                    // 10, and stays there
    paint(4, 10);
    script.StageKey("F3");
    Run(script);
    for (int n = 1; n <= STAGE_COUNT; ++n) ExpectStageFile(1, n, stages[n - 1]);
}

// After each rebuild the left button is held from the 14th frame on, on cell
// A, and moved to cell B in the 15th: only B is painted. SAVE and LOAD copy
// only on YES; ">" moves only the index, so the buffer is saved as stage 3 too.
TEST_F(Editor, TheMapIgnoresThePointerForFifteenFramesAfterEachRebuildAndConfirmationsCopyOnlyOnYes) {
    EditorScript script;
    std::vector<Cells> stages = Samples();
    auto probe = [&](int row, int stage) {
        const int at = script.builtAt();
        script.MoveAt(at + 14, MapPoint(0, row)).Line(at + 14, "press lbutton").MoveAt(at + 15, MapPoint(1, row));
        script.Line(at + 16, "release lbutton").Wait(at + 18 - script.frame());
        stages[stage - 1][34 * 1 + row] = 17;
    };
    script.ChooseSlot(1).Click(Palette1Point(17));
    probe(24, 1);
    script.StageKey("F3");  // stores stage 1, edits stage 2
    script.Confirm(LOAD, YES);
    probe(25, 2);
    script.Confirm(SAVE, NO);
    probe(26, 2);
    script.Confirm(SAVE, YES);
    probe(27, 2);
    script.StageKey("F2");  // stores stage 2, edits stage 1
    probe(28, 1);
    script.Confirm(SAVE, YES);
    script.WaitForMap().Click(MapPoint(0, 30)).Confirm(SAVE, NO).Confirm(LOAD, YES);  // the painted cell is dropped
    script.WaitForMap().Click(MapPoint(1, 30)).Confirm(LOAD, NO).Confirm(SAVE, YES);
    script.Click(FORWARD1).Click(FORWARD1).Confirm(SAVE, YES);
    Run(script);
    Set(stages[0], {{1, 30}}, 17);
    stages[2] = stages[0];
    ExpectSlotFiles(1, stages);
}

// Cells whose values lie off both sheets (as any 32-bit value may, read from a
// file) draw nothing; picked as the pen they draw neither a tile nor a marker
// that far away. The map must look as if those cells held 100, which has no tile.
// The same session then checks that SQAR and LINE previews show what the release paints.
TEST_F(Editor, ValuesOffBothSheetsDrawNothingAndPreviewsShowWhatTheReleasePaints) {
    const int extremes[] = {INT32_MAX, INT32_MIN, 2147483547, -12345678, 1000000000, 100, -1};
    Cells cells = PatternCells(1), emptied = cells;
    for (int i = 0; i < 7; ++i) {
        cells[34 * (3 + i) + 20] = extremes[i];  // columns 3.., outside the check word's cells
        emptied[34 * (3 + i) + 20] = 100;
    }
    EditorScript script;
    script.ChooseSlot(1).WaitForMap().Move(OFF_MAP).Capture("map.png").Wait(1);
    for (int i = 0; i < 7; ++i) script.Click(MapPoint(3 + i, 20), "rbutton").Move(MapPoint(3 + i, 22)).Wait(1);
    script.Click(Palette1Point(23)).Click(SQAR).Move(OFF_MAP).Capture("before.png").Wait(1);
    script.Move(MapPoint(2, 20)).Line(script.frame(), "press lbutton").Wait(1);
    script.Move(MapPoint(6, 26)).Capture("sqar-held.png").Wait(1);
    script.Line(script.frame(), "release lbutton").Wait(1).Move(OFF_MAP).Capture("sqar-done.png").Wait(1);
    script.Click(LINE).Move(MapPoint(1, 28)).Line(script.frame(), "press lbutton").Wait(1);
    script.Move(MapPoint(11, 31)).Capture("line-held.png").Wait(1);
    script.Line(script.frame(), "release lbutton").Wait(1).Move(OFF_MAP).Capture("line-done.png").Wait(1);
    WriteFile(dir_ / StagePath(1, 1), FileBytes(emptied));
    Run(script);
    const RgbImage reference = MapArea("map.png");
    WriteFile(dir_ / StagePath(1, 1), FileBytes(cells));
    Run(script);
    EXPECT_TRUE(SameRgb(MapArea("map.png"), reference));
    EXPECT_FALSE(MapArea("before.png").rgb == MapArea("sqar-held.png").rgb);
    EXPECT_TRUE(SameRgb(MapArea("sqar-held.png"), MapArea("sqar-done.png")));
    EXPECT_FALSE(MapArea("sqar-done.png").rgb == MapArea("line-held.png").rgb);
    EXPECT_TRUE(SameRgb(MapArea("line-held.png"), MapArea("line-done.png")));
}

// The four screens against committed pictures; KORVEN_UPDATE_GOLDENS=1 records them.
// A second run switches to a window and back (Alt+Enter twice) on the menu and
// on the edit screen: the screens keep their pictures.
class EditorScreens : public Editor, public ::testing::WithParamInterface<bool> {};

TEST_P(EditorScreens, MatchTheirGoldenFrames) {
    const bool switching = GetParam();
    EditorScript script;
    script.Move(USER_POINTS[0]).Wait(3);
    if (switching) script.SwitchScreen().SwitchScreen();
    script.Capture("menu.png").Wait(1);
    script.ChooseSlot(1);
    for (int k = 0; k < 5; ++k) script.StageKey("F3");
    script.WaitForMap().Click(MapPoint(12, 9), "rbutton").Click(SQAR).Move(MapPoint(4, 20)).Wait(4);
    script.Capture("edit.png");
    // The pen's marker blinks with a period of 40 frames.
    if (switching) script.SwitchScreen().SwitchScreen().Wait(40 - 6).Capture("edit-switched.png");
    script.Wait(1).Click(SAVE).Move(YES).Capture("save.png").Wait(1).Click(NO);
    script.Click(LOAD).Move(NO).Capture("load.png").Wait(1);
    Run(script);
    const fs::path golden = fs::path(KORVEN_SOURCE_DIR) / "tests/editor/golden";
    for (const char* name : {"menu.png", "edit.png", "save.png", "load.png"})
        ExpectFrameMatchesGolden(dir_ / name, golden / name);
    if (switching) ExpectFrameMatchesGolden(dir_ / "edit-switched.png", golden / "edit.png");
}

INSTANTIATE_TEST_SUITE_P(Editor, EditorScreens, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "AfterTwoScreenSwitches" : "Straight"; });

}  // namespace
