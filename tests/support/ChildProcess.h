#pragma once
// A program run as a child process by an end-to-end test: its standard output
// read line by line, its error output collected, stopped when the test ends.
//
//   ChildProcess sim({K400GW_EXE, "sim"});
//   const auto device = sim.readLine(5000);          // first line: the pty path
//   const RunResult run = RunProcess({K400GW_EXE, "demo", "--port", *device}, 30000);
//   sim.terminate();

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace k400::test {

class ChildProcess {
public:
    // Starts argv[0] (a path) with the arguments; stdin is /dev/null.
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();  // terminates a child still running

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    // Why it did not start.
    const std::string& error() const { return error_; }

    // The next line of standard output without its line end; nothing when the
    // time runs out or the output ends first.
    std::optional<std::string> readLine(int timeoutMs);
    // All standard output / error output received so far (lines taken by
    // readLine are not in stdoutText).
    std::string stdoutText() const { return out_; }
    std::string stderrText() const { return err_; }

    // Sends a signal; false when the child is gone.
    bool signal(int sig);
    // Waits for the child to end: its exit code, or 128 + signal number when a
    // signal ended it; nothing on time-out. Output keeps being collected.
    std::optional<int> wait(int timeoutMs);
    // SIGTERM, then SIGKILL when it does not end within graceMs; the exit status.
    int terminate(int graceMs = 3000);

private:
    // Reads whatever the pipes hold, blocking up to timeoutMs for the first
    // byte; false when nothing came.
    bool collect(int timeoutMs);
    bool reap(bool block);

    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::string out_;
    std::string err_;
    std::string error_;
    std::optional<int> status_;
};

struct RunResult {
    int exitCode = -1;  // -1 when it timed out (then it was killed)
    std::string out;
    std::string err;
    bool timedOut = false;
};

// Runs a program to its end, at most timeoutMs.
RunResult RunProcess(const std::vector<std::string>& argv, int timeoutMs);

}  // namespace k400::test
