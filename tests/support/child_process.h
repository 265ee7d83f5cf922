// A program of the build run as a child process that the test talks to line
// by line through its standard input and output.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments) {
        int toChild[2], fromChild[2];
        if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(toChild[0], 0);
            dup2(fromChild[1], 1);
            std::vector<std::string> all{std::string(KORVEN_BIN_DIR) + "/" + program};
            all.insert(all.end(), arguments.begin(), arguments.end());
            std::vector<char*> argv;
            for (std::string& a : all) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        in_ = toChild[1];
        out_ = fromChild[0];
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() {
        Kill();
        if (in_ >= 0) close(in_);
        if (out_ >= 0) close(out_);
    }

    void Send(const std::string& line) {
        const std::string text = line + "\n";
        [[maybe_unused]] ssize_t written = write(in_, text.data(), text.size());
    }

    // The next line of output without its newline; "<timeout>" when none came
    // within the time, "<eof>" when the program ended.
    std::string ReadLine(int timeoutMs = 10000) {
        for (;;) {
            if (const size_t end = buffered_.find('\n'); end != std::string::npos) {
                std::string line = buffered_.substr(0, end);
                buffered_.erase(0, end + 1);
                return line;
            }
            pollfd fd{out_, POLLIN, 0};
            if (poll(&fd, 1, timeoutMs) <= 0) return "<timeout>";
            char chunk[4096];
            const ssize_t n = read(out_, chunk, sizeof(chunk));
            if (n <= 0) return "<eof>";
            buffered_.append(chunk, static_cast<size_t>(n));
        }
    }

    // Sends a command and returns its answer lines up to and including the
    // first line for which `last` holds.
    template <typename Last>
    std::vector<std::string> Ask(const std::string& command, Last last, int timeoutMs = 10000) {
        Send(command);
        std::vector<std::string> lines;
        do lines.push_back(ReadLine(timeoutMs));
        while (!last(lines.back()) && lines.back() != "<timeout>" && lines.back() != "<eof>");
        return lines;
    }
    std::string Ask(const std::string& command) { return Ask(command, [](const std::string&) { return true; })[0]; }

    void Kill() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    // Stops the process where it is, or lets it go on.
    void Pause(bool paused) { kill(pid_, paused ? SIGSTOP : SIGCONT); }

private:
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1;
    std::string buffered_;
};
