// The quibstage commands. Each takes the arguments after its name and
// returns the process's exit status (command_line.h).
#pragma once

#include <string>
#include <vector>

#include "tools/quibstage/command_line.h"

using Arguments = std::vector<std::string>;

int RunCheck(const Arguments& args);
int RunRender(const Arguments& args);
int RunDump(const Arguments& args);
int RunLoad(const Arguments& args);
int RunCopy(const Arguments& args);
int RunMove(const Arguments& args);
int RunSwap(const Arguments& args);

// Parses args for spec; prints the help and returns true with *status set
// when there is nothing more to do (--help, or a wrong command line).
bool HandleCommandLine(const CommandSpec& spec, const Arguments& args, CommandLine* line, int* status);

// "quibstage: message" on standard error.
void ReportError(const std::string& message);
