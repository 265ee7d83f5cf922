// quibstage render: pictures of stages drawn by the editor itself. The
// editor runs in this process on the framework's headless display, in a
// scratch workspace whose bitmaps are the ones asked for; a script pages it
// through the stages and the presented frames are captured, so the pictures
// hold exactly the pixels the editor shows.
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/app/app.h"
#include "platform/win/headless/png_image.h"
#include "tools/quibstage/commands.h"
#include "tools/quibstage/stage_file.h"

namespace fs = std::filesystem;

namespace {

const CommandSpec RENDER_SPEC = {
    "render",
    "usage: quibstage render [--bmp DIR] [--out FILE.png] SLOT-DIR [N]\n"
    "       quibstage render [--bmp DIR] [--out FILE.png] STAGE-FILE\n"
    "\n"
    "Draws stages the way the editor shows them, with the editor's own bitmaps, and\n"
    "writes a PNG picture. With a stage (N, 1..100, or a stageNNN.clb file) the\n"
    "picture is the editor's whole edit screen for it (default stageNNN.png); with\n"
    "a slot folder alone it is a contact sheet of every stage file in it, ten to a\n"
    "row, each with the top of the screen that shows its number (default\n"
    "stages.png). A stage is drawn from its cells even when its check word fails.\n"
    "\n"
    "  --bmp DIR       the editor's bitmaps (default: bmp/ here, else the installed\n"
    "                  ones)\n"
    "  --out FILE.png  where the picture goes\n"
    "\n"
    "Exit status: 0 done, 2 bad input or a failed write.\n",
    {},
    {"--bmp", "--out"},
    1,
    2,
};

// The bitmaps the edit screen draws from.
const char* const DRAWN_BITMAPS[] = {"back01.bmp", "Frame.bmp", "Block.bmp", "Block2.bmp", "Block3.bmp",
                                     "Font.bmp",   "Font2.bmp", "Font3.bmp", "Font4.bmp"};

// Where the menu's USER 1 button is, and a place that touches nothing.
constexpr int USER1_X = 292, USER1_Y = 222;
constexpr int AWAY_X = 635, AWAY_Y = 475;

// A sheet shows the left part of the screen: the stage number row and the map.
constexpr int SHEET_CELL_WIDTH = 420;
constexpr int SHEET_COLUMNS = 10;
constexpr int SHEET_GAP = 8;

std::string ExecutableFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) return ".";
    path[n] = 0;
    return fs::path(path).parent_path().string();
}

// The bitmaps folder: the one given, else bmp/ here, beside the installed
// program, or in the source tree the program was built from.
bool FindBitmaps(const CommandLine& line, std::string* folder, std::string* error) {
    std::vector<std::string> candidates;
    if (line.options.count("--bmp"))
        candidates.push_back(line.Option("--bmp", ""));
    else
        candidates = {"bmp", ExecutableFolder() + "/../share/quibedit/bmp", KORVEN_SOURCE_BITMAPS};
    for (const std::string& candidate : candidates) {
        bool complete = true;
        for (const char* name : DRAWN_BITMAPS) complete = complete && fs::is_regular_file(fs::path(candidate) / name);
        if (!complete) continue;
        *folder = fs::absolute(candidate).lexically_normal().string();
        return true;
    }
    if (line.options.count("--bmp")) {
        *error = candidates[0] + ": not a bitmaps folder (it needs";
        for (const char* name : DRAWN_BITMAPS) *error += std::string(" ") + name;
        *error += ")";
    } else {
        *error = "no editor bitmaps found; give their folder with --bmp DIR";
    }
    return false;
}

struct RenderRequest {
    std::string folder;
    std::vector<int> stages;  // to capture, in order
    bool sheet = false;
};

bool ReadRequest(const CommandLine& line, RenderRequest* request, std::string* error) {
    const std::string& first = line.operands[0];
    if (line.operands.size() == 1 && !fs::is_directory(first)) {
        const int number = StageNumberOfPath(first);
        if (number == 0) {
            *error = first + ": neither a slot folder nor a stage file named stage001.clb .. stage100.clb";
            return false;
        }
        request->folder = fs::path(first).parent_path().string();
        if (request->folder.empty()) request->folder = ".";
        request->stages = {number};
        return true;
    }
    if (!fs::is_directory(first)) {
        *error = first + ": not a folder";
        return false;
    }
    request->folder = first;
    if (line.operands.size() == 2) {
        const std::string& n = line.operands[1];
        const int number = n.find_first_not_of("0123456789") == std::string::npos && n.size() <= 3 ? std::stoi(n) : 0;
        if (number < 1 || number > STAGE_COUNT) {
            *error = n + ": a stage number is 1.." + std::to_string(STAGE_COUNT);
            return false;
        }
        request->stages = {number};
        return true;
    }
    request->sheet = true;
    for (int number = 1; number <= STAGE_COUNT; ++number)
        if (fs::exists(StageFilePath(first, number))) request->stages.push_back(number);
    if (request->stages.empty()) {
        *error = first + ": no stage files";
        return false;
    }
    return true;
}

// The scratch slot the editor loads: the stages to show with check words that
// hold, and a one-block stand-in wherever a stage before the last one shown is
// missing or empty, so the editor loads them all.
bool WriteScratchSlot(const RenderRequest& request, const std::string& slot, std::vector<int>* shown,
                      std::string* error) {
    const int last = request.stages.back();
    for (int number = 1; number <= last; ++number) {
        const bool wanted = std::find(request.stages.begin(), request.stages.end(), number) != request.stages.end();
        StageFile file;
        std::string readError;
        bool usable = false;
        if (wanted) {
            usable = ReadWholeStageFile(StageFilePath(request.folder, number), &file, &readError);
            if (!usable && !request.sheet) {
                *error = readError;
                return false;
            }
            if (!usable) ReportError(readError + "; left out");
        }
        if (usable) shown->push_back(number);
        const bool empty = std::all_of(std::begin(file.cells), std::end(file.cells), [](int32_t v) { return v == 0; });
        if (usable && empty && number == last) break;  // shown empty: past the loaded stages
        if (!usable || empty) {
            file = StageFile();
            file.cells[0] = 1;
        }
        if (!WriteStageCells(StageFilePath(slot, number), StageCheckWord(file.cells), file.cells, error)) return false;
    }
    return true;
}

std::string FrameName(int number) {
    char name[32];
    std::snprintf(name, sizeof(name), "stage%03d.png", number);
    return name;
}

// Chooses USER 1, then pages forward with F3, which loads the next stage into
// the edit screen and rebuilds it. The frame after each page (pointer off
// every button, the pen marker not yet blinking) is captured when wanted.
std::string RenderScript(const std::vector<int>& shown) {
    std::string script = "0 move " + std::to_string(USER1_X) + " " + std::to_string(USER1_Y) + "\n";
    for (int number = 1; number <= shown.back(); ++number) {
        const int press = 3 * number - 2;
        const char* key = number == 1 ? "lbutton" : "F3";
        script += std::to_string(press) + " press " + key + "\n";
        script += std::to_string(press + 1) + " release " + key + "\n";
        if (number == 1)
            script += "2 move " + std::to_string(AWAY_X) + " " + std::to_string(AWAY_Y) + "\n";
        if (std::find(shown.begin(), shown.end(), number) != shown.end())
            script += std::to_string(press + 1) + " capture " + FrameName(number) + "\n";
    }
    return script;
}

// Runs the editor headless in workspace; its captures go to frames. Its log
// lines go to a file there and are shown only when it fails.
bool RunEditor(const fs::path& workspace, const fs::path& frames, std::string* error) {
    const fs::path script = workspace / "render.script";
    const fs::path log = workspace / "editor.log";
    std::string scriptArg = "--script=" + script.string();
    std::string captureArg = "--capture-dir=" + frames.string();
    std::string program = "quibstage", headless = "--headless";
    char* argv[] = {program.data(), headless.data(), scriptArg.data(), captureArg.data(), nullptr};
    const fs::path home = fs::current_path();
    std::fflush(stderr);
    const int savedStderr = dup(2);
    const int logFd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (logFd >= 0) {
        dup2(logFd, 2);
        close(logFd);
    }
    fs::current_path(workspace);
    const int status = KorvenMain(4, argv);
    fs::current_path(home);
    std::fflush(stderr);
    if (savedStderr >= 0) {
        dup2(savedStderr, 2);
        close(savedStderr);
    }
    if (status == 0) return true;
    std::ifstream in(log);
    *error = "the editor did not run (status " + std::to_string(status) + "): " +
             std::string(std::istreambuf_iterator<char>(in), {});
    return false;
}

bool WriteSheet(const std::vector<RgbImage>& frames, const std::string& out, std::string* error) {
    const int count = static_cast<int>(frames.size());
    const int columns = std::min(count, SHEET_COLUMNS);
    const int rows = (count + SHEET_COLUMNS - 1) / SHEET_COLUMNS;
    const int cellHeight = frames[0].height;
    RgbImage sheet;
    sheet.width = columns * SHEET_CELL_WIDTH + (columns - 1) * SHEET_GAP;
    sheet.height = rows * cellHeight + (rows - 1) * SHEET_GAP;
    sheet.rgb.assign(static_cast<size_t>(sheet.width) * sheet.height * 3, 0);
    for (int i = 0; i < count; ++i) {
        const int left = (i % SHEET_COLUMNS) * (SHEET_CELL_WIDTH + SHEET_GAP);
        const int top = (i / SHEET_COLUMNS) * (cellHeight + SHEET_GAP);
        for (int y = 0; y < cellHeight; ++y)
            std::copy_n(&frames[i].rgb[static_cast<size_t>(y) * frames[i].width * 3], SHEET_CELL_WIDTH * 3,
                        &sheet.rgb[(static_cast<size_t>(top + y) * sheet.width + left) * 3]);
    }
    return WritePng(out, sheet, error);
}

}  // namespace

int RunRender(const Arguments& args) {
    CommandLine line;
    int status = 0;
    if (HandleCommandLine(RENDER_SPEC, args, &line, &status)) return status;
    RenderRequest request;
    std::string bitmaps, error;
    if (!ReadRequest(line, &request, &error) || !FindBitmaps(line, &bitmaps, &error)) {
        ReportError(error);
        return EXIT_BAD_INPUT;
    }
    const std::string out =
        line.Option("--out", request.sheet ? "stages.png" : FrameName(request.stages[0]));

    char pattern[] = "/tmp/quibstage-XXXXXX";
    const char* scratch = mkdtemp(pattern);
    if (!scratch) {
        ReportError("cannot make a scratch folder in /tmp");
        return EXIT_BAD_INPUT;
    }
    const fs::path workspace = scratch;
    const fs::path frames = workspace / "frames";
    std::vector<int> shown;
    std::error_code ignored;
    fs::create_directories(workspace / "user" / "s1", ignored);
    fs::create_directories(frames, ignored);
    fs::create_directory_symlink(bitmaps, workspace / "bmp", ignored);
    bool ok = WriteScratchSlot(request, (workspace / "user" / "s1").string(), &shown, &error);
    if (ok && shown.empty()) {
        error = request.folder + ": none of its stage files can be drawn";
        ok = false;
    }
    if (ok) {
        std::ofstream(workspace / "render.script") << RenderScript(shown);
        ok = RunEditor(workspace, frames, &error);
    }
    std::vector<RgbImage> pictures(shown.size());
    for (size_t i = 0; ok && i < shown.size(); ++i) ok = ReadPng((frames / FrameName(shown[i])).string(), &pictures[i], &error);
    if (ok) ok = request.sheet ? WriteSheet(pictures, out, &error) : WritePng(out, pictures[0], &error);
    fs::remove_all(workspace, ignored);
    if (ok) return EXIT_DONE;
    ReportError(error);
    return EXIT_BAD_INPUT;
}
