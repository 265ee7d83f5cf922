// quibstage check: what the editor will make of stage files, told before it
// happens: check words, cells a save will zero, values that draw nothing,
// where a slot's loaded stages end and which files a save leaves stale.
#include <dirent.h>
#include <sys/stat.h>

#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/quibstage/commands.h"
#include "tools/quibstage/stage_file.h"

namespace {

const CommandSpec CHECK_SPEC = {
    "check",
    "usage: quibstage check [--quiet] [--json] [DIR|FILE...]\n"
    "\n"
    "Tells what the editor will make of stage files. DIR is a slot folder (user/s1)\n"
    "or a workspace holding user/s1..s3; FILE is one stage file. Without arguments\n"
    "the workspace in the current folder is checked.\n"
    "\n"
    "Reported per file: its check word and the sum of its first 99 cells, cells\n"
    "outside 0..200 (the next save writes 0 there), values that draw nothing (100\n"
    "and values off both block sheets), a wrong size; per slot: the stage at which\n"
    "the editor stops loading (missing, empty or failing its check), the files after\n"
    "it that it does not load and that a later save leaves stale.\n"
    "\n"
    "  --quiet   print nothing; the exit status tells\n"
    "  --json    print the report as JSON\n"
    "\n"
    "Exit status: 0 clean, 1 findings, 2 unreadable input.\n",
    {"--quiet", "--json"},
    {},
    0,
    SIZE_MAX,
};

// The editor's block sheets hold 10 x 10 tiles; a value whose tile falls off
// its sheet draws nothing (the editor takes values below 100 from the first
// sheet and the rest from the second, tile column w / 10 and row w % 10).
constexpr int SHEET_TILES = 10;
constexpr int SAMPLE_STAGES = 8;

bool DrawsNothing(int32_t value) {
    if (value == 0) return false;
    const int64_t w = value < 100 ? int64_t{value} : int64_t{value} - 101;
    const int64_t column = w / 10, row = w % 10;
    return column < 0 || column >= SHEET_TILES || row < 0 || row >= SHEET_TILES;
}

struct Finding {
    const char* kind;
    std::string message;
};

struct FileReport {
    StageFile file;
    int stage = 0;  // 0 for a file checked on its own
    bool loaded = false;
    std::vector<Finding> findings;
};

struct InputReport {
    std::string path;
    bool slot = false;
    bool unreadable = false;
    std::string error;
    int loadedStages = 0;
    bool samples = false;
    std::string note;
    std::vector<Finding> findings;
    std::vector<FileReport> files;
};

std::string Number3(int n) {
    char text[16];
    std::snprintf(text, sizeof(text), "%03d", n);
    return text;
}

std::string CellName(int k) {
    return "cell (" + std::to_string(CellColumn(k)) + ", " + std::to_string(CellRow(k)) + ")";
}

void AddSizeFinding(FileReport* report) {
    const StageFile& f = report->file;
    if (f.WholeRecord()) return;
    const std::string size = std::to_string(f.size) + " bytes, not " + std::to_string(STAGE_FILE_BYTES);
    if (f.size < STAGE_FILE_BYTES)
        report->findings.push_back({"size", size + ": the words it lacks come from the file read before it"});
    else
        report->findings.push_back({"size", size + ": only the first " + std::to_string(STAGE_FILE_BYTES) +
                                                " are read, and a save cuts it there"});
}

void AddCellFindings(FileReport* report) {
    const StageFile& f = report->file;
    for (int k = 0; k < MAP_CELLS; ++k) {
        const int32_t v = f.cells[k];
        const std::string cell = CellName(k) + " = " + std::to_string(v);
        if (v < 0 || v > CELL_MAX)
            report->findings.push_back({"out-of-range", cell + " is outside 0.." + std::to_string(CELL_MAX) +
                                                            ": the next save writes 0 there"});
        else if (DrawsNothing(v))
            report->findings.push_back({"draws-nothing", cell + " draws nothing"});
    }
}

std::string CheckWordFinding(const StageFile& f) {
    return "check word " + std::to_string(f.checkWord) + " is not the sum of the first 99 cells, " +
           std::to_string(StageCheckWord(f.cells));
}

// A stage file given on its own: its record, without a slot around it.
InputReport CheckLooseFile(const std::string& path) {
    InputReport input;
    input.path = path;
    FileReport report;
    report.file = ReadStageFile(path, OpenMode::READ_ONLY);
    if (!report.file.opened) {
        input.unreadable = true;
        input.error = path + (report.file.exists ? ": cannot be read" : ": no such file or folder");
        return input;
    }
    AddSizeFinding(&report);
    if (!report.file.CheckWordMatches()) report.findings.push_back({"check-word", CheckWordFinding(report.file)});
    bool empty = true;
    for (int32_t v : report.file.cells) empty = empty && v == 0;
    if (empty) report.findings.push_back({"empty", "all cells are 0: a slot ends at such a file"});
    AddCellFindings(&report);
    input.files.push_back(std::move(report));
    return input;
}

// Why stage `number` ends the loaded stages, for a file that is there.
std::string EndReason(const StageFile& f) {
    if (!f.opened) return "cannot be opened for reading and writing";
    if (!f.CheckWordMatches()) return CheckWordFinding(f);
    return "all cells are 0";
}

// A slot folder, read stage by stage in the editor's order and judged by the
// editor's own rule (StoreRecordToStage), so even a short file borrows the
// words of the file before it as it does in the editor.
InputReport CheckSlot(const std::string& folder) {
    InputReport input;
    input.path = folder;
    input.slot = true;
    if (DIR* dir = opendir(folder.c_str())) {
        closedir(dir);
    } else {
        input.unreadable = true;
        input.error = folder + ": cannot be read";
        return input;
    }
    int endStage = 0;  // the first stage not loaded
    std::string endWhy;
    for (int number = 1; number <= STAGE_COUNT; ++number) {
        FileReport report;
        report.stage = number;
        report.file = ReadStageFile(StageFilePath(folder, number), OpenMode::AS_EDITOR);
        const bool rejected = !report.file.opened || StoreRecordToStage(number - 1) == 1;
        if (endStage == 0 && rejected) {
            endStage = number;
            endWhy = report.file.exists ? EndReason(report.file) : "missing";
        }
        if (!report.file.exists) continue;
        report.loaded = endStage == 0;
        input.files.push_back(std::move(report));
    }
    if (endStage == 0) endStage = STAGE_COUNT + 1;
    input.loadedStages = endStage - 1;
    input.samples = input.loadedStages == 0;
    const std::string end = "stage " + Number3(endStage) + " (" + endWhy + ")";

    if (input.files.empty()) {
        input.note = "no stage files: the editor starts this slot with the eight sample stages";
        return input;
    }
    if (input.samples)
        input.findings.push_back({"samples", "the editor loads nothing from this slot (" + end +
                                                 ") and starts it with the eight sample stages"});
    for (FileReport& report : input.files) {
        if (report.loaded) {
            AddSizeFinding(&report);
            AddCellFindings(&report);
        } else if (input.samples && report.stage <= SAMPLE_STAGES) {
            report.findings.push_back({"overwritten", std::string(report.stage == endStage ? "not loaded: " + endWhy
                                                                                          : "not loaded") +
                                                          "; a save writes sample stage " +
                                                          std::to_string(report.stage) + " over it"});
        } else if (report.stage == endStage) {
            report.findings.push_back({"ends-slot", endWhy + ": the editor stops loading here, and a save "
                                                             "leaves this file stale"});
        } else {
            report.findings.push_back({"not-loaded", "not loaded: the slot ends at " + end +
                                                         "; a save leaves this file stale"});
        }
    }
    return input;
}

std::vector<InputReport> CheckInput(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return {CheckLooseFile(path)};
    const std::string user = path == "." ? "user" : path + (path.back() == '/' ? "" : "/") + "user";
    if (stat(user.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return {CheckSlot(path)};
    std::vector<InputReport> slots;
    for (int slot = 1; slot <= USER_SLOT_COUNT; ++slot) {
        const std::string folder = user + "/s" + std::to_string(slot);
        if (stat(folder.c_str(), &info) == 0) slots.push_back(CheckSlot(folder));
    }
    if (slots.empty()) {
        InputReport missing;
        missing.path = path;
        missing.unreadable = true;
        missing.error = user + ": holds none of the slot folders s1, s2, s3";
        slots.push_back(missing);
    }
    return slots;
}

void PrintText(const std::vector<InputReport>& inputs) {
    for (const InputReport& input : inputs) {
        if (input.unreadable) continue;
        if (input.slot) {
            std::printf("%s: %s\n", input.path.c_str(),
                        input.note.empty()
                            ? (std::to_string(input.loadedStages) + " stages loaded").c_str()
                            : input.note.c_str());
        }
        for (const Finding& finding : input.findings)
            std::printf("%s: %s\n", input.path.c_str(), finding.message.c_str());
        for (const FileReport& report : input.files) {
            const StageFile& f = report.file;
            if (f.opened)
                std::printf("%s: check word %" PRId32 ", cell sum %" PRId32 "%s\n", f.path.c_str(), f.checkWord,
                            StageCheckWord(f.cells), f.CheckWordMatches() ? " (matches)" : " (differs)");
            for (const Finding& finding : report.findings)
                std::printf("%s: %s\n", f.path.c_str(), finding.message.c_str());
        }
    }
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof(escape), "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string JsonFindings(const std::vector<Finding>& findings) {
    std::string out = "[";
    for (size_t i = 0; i < findings.size(); ++i)
        out += std::string(i ? ", " : "") + "{\"kind\": " + JsonString(findings[i].kind) +
               ", \"message\": " + JsonString(findings[i].message) + "}";
    return out + "]";
}

void PrintJson(const std::vector<InputReport>& inputs, int findings, int unreadable) {
    std::printf("{\n  \"findings\": %d,\n  \"unreadable\": %d,\n  \"inputs\": [", findings, unreadable);
    for (size_t i = 0; i < inputs.size(); ++i) {
        const InputReport& input = inputs[i];
        std::printf("%s\n    {\"path\": %s, \"kind\": \"%s\"", i ? "," : "", JsonString(input.path).c_str(),
                    input.unreadable ? "unreadable" : input.slot ? "slot" : "file");
        if (input.unreadable) std::printf(", \"error\": %s", JsonString(input.error).c_str());
        if (input.slot && !input.unreadable)
            std::printf(", \"loadedStages\": %d, \"sampleStages\": %s", input.loadedStages,
                        input.samples ? "true" : "false");
        std::printf(", \"findings\": %s, \"files\": [", JsonFindings(input.findings).c_str());
        for (size_t j = 0; j < input.files.size(); ++j) {
            const FileReport& report = input.files[j];
            const StageFile& f = report.file;
            std::printf("%s\n      {\"path\": %s, \"stage\": %d, \"size\": %" PRIu64 ", \"opened\": %s", j ? "," : "",
                        JsonString(f.path).c_str(), report.stage, f.size, f.opened ? "true" : "false");
            if (f.opened)
                std::printf(", \"checkWord\": %" PRId32 ", \"cellSum\": %" PRId32, f.checkWord, StageCheckWord(f.cells));
            if (input.slot) std::printf(", \"loaded\": %s", report.loaded ? "true" : "false");
            std::printf(", \"findings\": %s}", JsonFindings(report.findings).c_str());
        }
        std::printf("%s]}", input.files.empty() ? "" : "\n    ");
    }
    std::printf("\n  ]\n}\n");
}

}  // namespace

int RunCheck(const Arguments& args) {
    CommandLine line;
    int status = 0;
    if (HandleCommandLine(CHECK_SPEC, args, &line, &status)) return status;
    std::vector<std::string> paths = line.operands;
    if (paths.empty()) paths.push_back(".");

    std::vector<InputReport> inputs;
    for (const std::string& path : paths)
        for (InputReport& input : CheckInput(path)) inputs.push_back(std::move(input));

    int findings = 0, unreadable = 0;
    for (const InputReport& input : inputs) {
        if (input.unreadable) ++unreadable;
        findings += static_cast<int>(input.findings.size());
        for (const FileReport& report : input.files) findings += static_cast<int>(report.findings.size());
    }
    for (const InputReport& input : inputs)
        if (input.unreadable && !line.Has("--quiet")) ReportError(input.error);
    if (line.Has("--json"))
        PrintJson(inputs, findings, unreadable);
    else if (!line.Has("--quiet"))
        PrintText(inputs);
    return unreadable ? EXIT_BAD_INPUT : findings ? EXIT_FINDINGS : EXIT_DONE;
}
