#include "tools/quibstage/command_line.h"

#include <algorithm>

namespace {

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

bool ParseCommandLine(const CommandSpec& spec, const std::vector<std::string>& args, CommandLine* line,
                      std::string* error) {
    bool operandsOnly = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (operandsOnly || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            line->operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            operandsOnly = true;
            continue;
        }
        if (arg == "--help" || Contains(spec.switches, arg)) {
            line->switches.insert(arg);
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (!Contains(spec.options, name)) {
            *error = "unknown option " + arg;
            return false;
        }
        if (equals != std::string::npos) {
            line->options[name] = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            line->options[name] = args[++i];
        } else {
            *error = name + " needs a value";
            return false;
        }
    }
    if (line->Has("--help")) return true;
    if (line->operands.size() < spec.minOperands) {
        *error = "too few arguments";
        return false;
    }
    if (line->operands.size() > spec.maxOperands) {
        *error = "too many arguments: " + line->operands[spec.maxOperands] + " and after";
        return false;
    }
    return true;
}
