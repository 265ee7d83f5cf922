// quibstage dump and load: a slot as text and back. The text keeps every
// cell as it is, out-of-range ones included, and a check word only when the
// file's differs from its cells' sum, so dump | load gives the files back
// byte for byte while an edited text gets fresh check words.
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "tools/quibstage/commands.h"
#include "tools/quibstage/stage_file.h"
#include "tools/quibstage/stage_text.h"

namespace {

const CommandSpec DUMP_SPEC = {
    "dump",
    "usage: quibstage dump SLOT-DIR\n"
    "\n"
    "Prints the stage files of a slot folder (user/s1) as text: for each file\n"
    "\"stage NNN\", then its 34 rows of 13 numbers. A file whose check word is not\n"
    "the sum of its first 99 cells keeps it as \"stage NNN check W\". 'quibstage load'\n"
    "reads the text back; dump | load reproduces every file byte for byte.\n"
    "\n"
    "Exit status: 0 done, 2 a file that is not a whole stage file, or no folder.\n",
    {},
    {},
    1,
    1,
};

const CommandSpec LOAD_SPEC = {
    "load",
    "usage: quibstage load [--force] SLOT-DIR [TEXT-FILE|-]\n"
    "\n"
    "Writes the stages of a text made by 'quibstage dump' (read from TEXT-FILE, or\n"
    "from standard input) into the slot folder, one stageNNN.clb per block. Check\n"
    "words are computed from the cells unless a block gives its own. Nothing is\n"
    "written when the text has a fault, which is reported with its line and column.\n"
    "\n"
    "  --force   replace stage files that are already there (without it, load\n"
    "            refuses and writes nothing)\n"
    "\n"
    "Exit status: 0 done, 1 refused to overwrite, 2 a fault in the text or a failed write.\n",
    {"--force"},
    {},
    1,
    2,
};

bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

bool ReadText(const std::string& source, std::string* text, std::string* error) {
    if (source == "-") {
        *text = std::string(std::istreambuf_iterator<char>(std::cin), {});
        return true;
    }
    std::ifstream in(source, std::ios::binary);
    if (!in) {
        *error = source + ": cannot be read";
        return false;
    }
    *text = std::string(std::istreambuf_iterator<char>(in), {});
    return true;
}

}  // namespace

int RunDump(const Arguments& args) {
    CommandLine line;
    int status = 0;
    if (HandleCommandLine(DUMP_SPEC, args, &line, &status)) return status;
    const std::string& folder = line.operands[0];
    if (!IsFolder(folder)) {
        ReportError(folder + ": not a folder");
        return EXIT_BAD_INPUT;
    }
    std::string text = "# stages of " + folder + ": " + std::to_string(MAP_ROWS) + " rows of " +
                       std::to_string(MAP_COLUMNS) + " cells each (quibstage load reads this back)\n";
    bool failed = false;
    for (int number = 1; number <= STAGE_COUNT; ++number) {
        const std::string path = StageFilePath(folder, number);
        if (!Exists(path)) continue;
        StageFile file;
        std::string error;
        if (!ReadWholeStageFile(path, &file, &error)) {
            ReportError(error);
            failed = true;
            continue;
        }
        StageText stage;
        stage.number = number;
        stage.keepsCheckWord = !file.CheckWordMatches();
        stage.checkWord = file.checkWord;
        std::copy(std::begin(file.cells), std::end(file.cells), stage.cells);
        text += '\n';
        FormatStageText(stage, &text);
    }
    if (failed) return EXIT_BAD_INPUT;
    std::fwrite(text.data(), 1, text.size(), stdout);
    return EXIT_DONE;
}

int RunLoad(const Arguments& args) {
    CommandLine line;
    int status = 0;
    if (HandleCommandLine(LOAD_SPEC, args, &line, &status)) return status;
    const std::string& folder = line.operands[0];
    const std::string source = line.operands.size() > 1 ? line.operands[1] : "-";
    std::string text, error;
    std::vector<StageText> stages;
    if (!ReadText(source, &text, &error) ||
        !ParseStageText(text, source == "-" ? "<stdin>" : source, &stages, &error)) {
        ReportError(error);
        return EXIT_BAD_INPUT;
    }
    if (!IsFolder(folder)) {
        ReportError(folder + ": not a folder");
        return EXIT_BAD_INPUT;
    }
    if (!line.Has("--force")) {
        bool refused = false;
        for (const StageText& stage : stages) {
            const std::string path = StageFilePath(folder, stage.number);
            if (Exists(path)) {
                ReportError(path + ": already there; --force replaces it");
                refused = true;
            }
        }
        if (refused) return EXIT_FINDINGS;
    }
    for (const StageText& stage : stages) {
        const int32_t check = stage.keepsCheckWord ? stage.checkWord : StageCheckWord(stage.cells);
        if (!WriteStageCells(StageFilePath(folder, stage.number), check, stage.cells, &error)) {
            ReportError(error);
            return EXIT_BAD_INPUT;
        }
    }
    return EXIT_DONE;
}
