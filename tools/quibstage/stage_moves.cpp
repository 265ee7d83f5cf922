// quibstage copy, move and swap: stage files moved between places in one
// slot or across slots, byte for byte, each write replacing a file whole.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/quibstage/commands.h"
#include "tools/quibstage/stage_file.h"

namespace {

#define STAGE_OPERANDS                                                                   \
    "SRC and DST are stage files, user/s1/stage003.clb for instance, in one slot\n"      \
    "folder or two; DST must be named stage001.clb .. stage100.clb. The file is taken\n" \
    "byte for byte, its check word included.\n"

const CommandSpec COPY_SPEC = {
    "copy",
    "usage: quibstage copy [--force] SRC DST\n"
    "\n"
    "Copies stage file SRC to DST.\n" STAGE_OPERANDS
    "\n"
    "  --force   replace DST when it is already there\n"
    "\n"
    "Exit status: 0 done, 1 refused to overwrite, 2 bad input or a failed write.\n",
    {"--force"},
    {},
    2,
    2,
};

const CommandSpec MOVE_SPEC = {
    "move",
    "usage: quibstage move [--force] SRC DST\n"
    "\n"
    "Moves stage file SRC to DST: DST is written, then SRC removed.\n" STAGE_OPERANDS
    "Moving a stage out of the middle of a slot ends the slot there for the editor\n"
    "('quibstage check' tells).\n"
    "\n"
    "  --force   replace DST when it is already there\n"
    "\n"
    "Exit status: 0 done, 1 refused to overwrite, 2 bad input or a failed write.\n",
    {"--force"},
    {},
    2,
    2,
};

const CommandSpec SWAP_SPEC = {
    "swap",
    "usage: quibstage swap A B\n"
    "\n"
    "Exchanges two stage files: A gets B's contents and B gets A's.\n" STAGE_OPERANDS
    "\n"
    "Exit status: 0 done, 2 bad input or a failed write.\n",
    {},
    {},
    2,
    2,
};

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// A destination the editor will read: named like a stage file, in a folder
// that is there, not the source itself.
bool CheckDestination(const std::string& source, const std::string& target) {
    if (StageNumberOfPath(target) == 0) {
        ReportError(target + ": not a stage file name (stage001.clb .. stage100.clb)");
        return false;
    }
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        ReportError(target + ": no folder " + folder);
        return false;
    }
    if (SameFile(source, target)) {
        ReportError(source + " and " + target + " are the same file");
        return false;
    }
    return true;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

// copy and move: SRC to DST, then for a move SRC removed.
int Transfer(const CommandSpec& spec, const Arguments& args, bool removeSource) {
    CommandLine line;
    int status = 0;
    if (HandleCommandLine(spec, args, &line, &status)) return status;
    const std::string& source = line.operands[0];
    const std::string& target = line.operands[1];
    StageFile file;
    std::string error;
    if (!ReadWholeStageFile(source, &file, &error)) {
        ReportError(error);
        return EXIT_BAD_INPUT;
    }
    if (!CheckDestination(source, target)) return EXIT_BAD_INPUT;
    if (Exists(target) && !line.Has("--force")) {
        ReportError(target + ": already there; --force replaces it");
        return EXIT_FINDINGS;
    }
    if (!WriteStageCells(target, file.checkWord, file.cells, &error)) {
        ReportError(error);
        return EXIT_BAD_INPUT;
    }
    if (removeSource && unlink(source.c_str()) != 0) {
        ReportError(source + ": copied to " + target + " but not removed (" + std::strerror(errno) + ")");
        return EXIT_BAD_INPUT;
    }
    return EXIT_DONE;
}

}  // namespace

int RunCopy(const Arguments& args) { return Transfer(COPY_SPEC, args, false); }

int RunMove(const Arguments& args) { return Transfer(MOVE_SPEC, args, true); }

int RunSwap(const Arguments& args) {
    CommandLine line;
    int status = 0;
    if (HandleCommandLine(SWAP_SPEC, args, &line, &status)) return status;
    const std::string& pathA = line.operands[0];
    const std::string& pathB = line.operands[1];
    StageFile a, b;
    std::string error;
    if (!ReadWholeStageFile(pathA, &a, &error) || !ReadWholeStageFile(pathB, &b, &error)) {
        ReportError(error);
        return EXIT_BAD_INPUT;
    }
    if (!CheckDestination(pathA, pathB) || !CheckDestination(pathB, pathA)) return EXIT_BAD_INPUT;
    if (!WriteStageCells(pathB, a.checkWord, a.cells, &error)) {
        ReportError(error);
        return EXIT_BAD_INPUT;
    }
    if (!WriteStageCells(pathA, b.checkWord, b.cells, &error)) {
        ReportError(error);
        // B is put back so that a failed swap leaves both files as they were.
        std::string restoreError;
        if (!WriteStageCells(pathB, b.checkWord, b.cells, &restoreError))
            ReportError(restoreError + "; it now holds the contents of " + pathA);
        return EXIT_BAD_INPUT;
    }
    return EXIT_DONE;
}
