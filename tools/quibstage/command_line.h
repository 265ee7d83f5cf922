// The command line of a quibstage command: its operands, its switches
// (--quiet, --force, ...) and its options with a value (--bmp DIR), checked
// against what the command accepts.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

// What one command accepts and its --help text.
struct CommandSpec {
    const char* name;
    const char* help;
    std::vector<std::string> switches;  // "--quiet"
    std::vector<std::string> options;   // "--bmp", given as "--bmp DIR" or "--bmp=DIR"
    size_t minOperands;
    size_t maxOperands;
};

struct CommandLine {
    std::vector<std::string> operands;
    std::set<std::string> switches;
    std::map<std::string, std::string> options;

    bool Has(const std::string& name) const { return switches.count(name) != 0; }
    std::string Option(const std::string& name, const std::string& fallback) const {
        const auto it = options.find(name);
        return it == options.end() ? fallback : it->second;
    }
};

// Parses the arguments after the command's name. "--" ends the switches.
// On a word the command does not accept, returns false with the reason.
bool ParseCommandLine(const CommandSpec& spec, const std::vector<std::string>& args, CommandLine* line,
                      std::string* error);

// Exit statuses of every command.
constexpr int EXIT_DONE = 0;
constexpr int EXIT_FINDINGS = 1;  // check found something; copy, move, swap or load refused to overwrite
constexpr int EXIT_BAD_INPUT = 2; // unreadable or malformed input, a wrong command line, a failed write
