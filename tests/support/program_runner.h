// Runs a program of the build on the headless backend and collects its
// output (standard error included) and exit status.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

struct RunResult {
    int exitCode = -1;
    std::string output;
};

inline RunResult RunProgram(const std::string& program, const std::string& arguments, const std::string& script = "",
                            const std::filesystem::path& workDir = std::filesystem::temp_directory_path()) {
    std::filesystem::path scriptFile;
    std::string command = "cd '" + workDir.string() + "' && '" + std::string(KORVEN_BIN_DIR) + "/" + program + "' " +
                          arguments;
    if (!script.empty()) {
        static int runs = 0;
        scriptFile = std::filesystem::temp_directory_path() /
                     (program + "-" + std::to_string(getpid()) + "-" + std::to_string(++runs) + ".script");
        std::ofstream(scriptFile) << script;
        command += " --script '" + scriptFile.string() + "'";
    }
    command += " 2>&1";
    RunResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof(buffer), pipe)) > 0;) result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (!scriptFile.empty()) std::filesystem::remove(scriptFile);
    return result;
}

