// quibstage: the stage designer's command-line companion to the editor. It
// reads and writes stage files through the editor's own stage-file code and
// draws stages through the editor itself.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/quibstage/commands.h"

namespace {

const char USAGE[] =
    "usage: quibstage COMMAND [OPTIONS] [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  check [DIR|FILE...]          what the editor will make of stage files\n"
    "  render SLOT-DIR [N]          stages drawn as the editor draws them, to PNG\n"
    "  dump SLOT-DIR                a slot's stage files as text\n"
    "  load SLOT-DIR [TEXT]         that text back into stage files\n"
    "  copy SRC DST                 a stage file to another place or slot\n"
    "  move SRC DST                 the same, removing SRC\n"
    "  swap A B                     two stage files exchanged\n"
    "\n"
    "'quibstage COMMAND --help' tells more about each.\n";

struct Command {
    const char* name;
    int (*run)(const Arguments&);
};

const Command COMMANDS[] = {{"check", RunCheck}, {"render", RunRender}, {"dump", RunDump}, {"load", RunLoad},
                            {"copy", RunCopy},   {"move", RunMove},     {"swap", RunSwap}};

}  // namespace

void ReportError(const std::string& message) { std::fprintf(stderr, "quibstage: %s\n", message.c_str()); }

bool HandleCommandLine(const CommandSpec& spec, const Arguments& args, CommandLine* line, int* status) {
    std::string error;
    if (!ParseCommandLine(spec, args, line, &error)) {
        ReportError(std::string(spec.name) + ": " + error + " (see 'quibstage " + spec.name + " --help')");
        *status = EXIT_BAD_INPUT;
        return true;
    }
    if (!line->Has("--help")) return false;
    std::fputs(spec.help, stdout);
    *status = EXIT_DONE;
    return true;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(USAGE, stderr);
        return EXIT_BAD_INPUT;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        std::fputs(USAGE, stdout);
        return EXIT_DONE;
    }
    for (const Command& command : COMMANDS)
        if (name == command.name) return command.run(Arguments(argv + 2, argv + argc));
    ReportError("no command '" + name + "'");
    std::fputs(USAGE, stderr);
    return EXIT_BAD_INPUT;
}
