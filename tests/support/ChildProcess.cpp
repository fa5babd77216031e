#include "support/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace k400::test {

namespace {

using SteadyClock = std::chrono::steady_clock;

int MsLeft(SteadyClock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

void CloseFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv)
{
    if (argv.empty()) {
        error_ = "no program given";
        return;
    }
    int outPipe[2];
    int errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0) {
        error_ = std::string("pipe: ") + std::strerror(errno);
        return;
    }
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        error_ = std::string("pipe: ") + std::strerror(errno);
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return;
    }
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid == 0) {
        const int devNull = ::open("/dev/null", O_RDONLY);
        if (devNull >= 0)
            ::dup2(devNull, STDIN_FILENO);
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::dup2(errPipe[1], STDERR_FILENO);
        ::execv(args[0], args.data());
        const char message[] = "exec failed\n";
        (void)!::write(STDERR_FILENO, message, sizeof message - 1);
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    if (pid < 0) {
        error_ = std::string("fork: ") + std::strerror(errno);
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        return;
    }
    pid_ = pid;
    outFd_ = outPipe[0];
    errFd_ = errPipe[0];
}

ChildProcess::~ChildProcess()
{
    if (pid_ > 0 && !status_)
        terminate(1000);
    CloseFd(outFd_);
    CloseFd(errFd_);
}

bool ChildProcess::collect(int timeoutMs)
{
    pollfd fds[2];
    nfds_t count = 0;
    for (int fd : {outFd_, errFd_}) {
        if (fd >= 0)
            fds[count++] = {fd, POLLIN, 0};
    }
    if (count == 0)
        return false;
    if (::poll(fds, count, timeoutMs) <= 0)
        return false;
    for (nfds_t i = 0; i < count; ++i) {
        if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0)
            continue;
        char buffer[4096];
        const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
        const bool isOut = fds[i].fd == outFd_;
        if (n > 0)
            (isOut ? out_ : err_).append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || (errno != EINTR && errno != EAGAIN))
            CloseFd(isOut ? outFd_ : errFd_);
    }
    return true;
}

std::optional<std::string> ChildProcess::readLine(int timeoutMs)
{
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const std::size_t end = out_.find('\n');
        if (end != std::string::npos) {
            std::string line = out_.substr(0, end);
            out_.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return line;
        }
        const int left = MsLeft(deadline);
        if (left == 0 || outFd_ < 0)
            return std::nullopt;
        collect(left);
    }
}

bool ChildProcess::signal(int sig)
{
    if (pid_ <= 0 || status_)
        return false;
    return ::kill(pid_, sig) == 0;
}

bool ChildProcess::reap(bool block)
{
    if (status_)
        return true;
    int raw = 0;
    const pid_t result = ::waitpid(pid_, &raw, block ? 0 : WNOHANG);
    if (result != pid_)
        return false;
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return true;
}

std::optional<int> ChildProcess::wait(int timeoutMs)
{
    if (pid_ <= 0)
        return std::nullopt;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (reap(false)) {
            // Take what is still in the pipes (a grandchild may keep them open).
            while ((outFd_ >= 0 || errFd_ >= 0) && collect(100)) {
            }
            return status_;
        }
        const int left = MsLeft(deadline);
        if (left == 0)
            return std::nullopt;
        if (outFd_ >= 0 || errFd_ >= 0)
            collect(std::min(left, 50));
        else
            ::usleep(static_cast<useconds_t>(std::min(left, 20)) * 1000);
    }
}

int ChildProcess::terminate(int graceMs)
{
    if (pid_ <= 0)
        return -1;
    if (status_)
        return *status_;
    signal(SIGTERM);
    if (const auto status = wait(graceMs))
        return *status;
    ::kill(pid_, SIGKILL);
    reap(true);
    return status_.value_or(-1);
}

RunResult RunProcess(const std::vector<std::string>& argv, int timeoutMs)
{
    RunResult result;
    ChildProcess child(argv);
    if (!child.started()) {
        result.err = child.error();
        return result;
    }
    if (const auto status = child.wait(timeoutMs)) {
        result.exitCode = *status;
    } else {
        result.timedOut = true;
        child.terminate(1000);
    }
    result.out = child.stdoutText();
    result.err = child.stderrText();
    return result;
}

}  // namespace k400::test
