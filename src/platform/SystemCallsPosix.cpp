#ifndef _WIN32

#include "platform/SystemCalls.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace k400 {

namespace {

std::error_code LastError()
{
    return {errno, std::generic_category()};
}

}  // namespace

FileHandle CreateUniqueFile(std::filesystem::path& path, std::error_code& error)
{
    std::string pattern = path.string() + "XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        error = LastError();
        return NoFile;
    }
    // mkstemp creates the file 0600.
    ::fchmod(fd, 0644);
    path = pattern;
    error.clear();
    return fd;
}

std::error_code WriteAll(FileHandle file, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = ::write(static_cast<int>(file), data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return LastError();
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

std::error_code WriteToDevice(FileHandle device, std::string_view data, bool socket, int timeoutMs)
{
    const int fd = static_cast<int>(device);
    while (!data.empty()) {
        const ssize_t n = socket ? ::send(fd, data.data(), data.size(), MSG_NOSIGNAL)
                                 : ::write(fd, data.data(), data.size());
        if (n >= 0) {
            data.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return LastError();
        pollfd waiting{fd, POLLOUT, 0};
        const int ready = ::poll(&waiting, 1, timeoutMs);
        if (ready < 0 && errno != EINTR)
            return LastError();
        if (ready == 0)
            return std::make_error_code(std::errc::timed_out);
    }
    return {};
}

std::error_code FlushToDisk(FileHandle file)
{
    return ::fsync(static_cast<int>(file)) == 0 ? std::error_code() : LastError();
}

std::error_code CloseFile(FileHandle file)
{
    return ::close(static_cast<int>(file)) == 0 ? std::error_code() : LastError();
}

std::error_code ReplaceFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0 ? std::error_code() : LastError();
}

std::filesystem::path ExecutablePath()
{
    std::error_code error;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : exe;
}

bool IsSharedProgramFolder(const std::filesystem::path& folder)
{
    const std::string text = folder.string();
    return text.rfind("/usr/", 0) == 0 || text.rfind("/bin", 0) == 0 || text.rfind("/sbin", 0) == 0 ||
           ::access(folder.c_str(), W_OK) != 0;
}

std::tm LocalCalendarTime(std::time_t time)
{
    std::tm calendar{};
    ::localtime_r(&time, &calendar);
    return calendar;
}

long CurrentProcessId()
{
    return static_cast<long>(::getpid());
}

bool ProcessRunning(long pid)
{
    // kill() with 0 or a negative number would ask about a process group.
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH);
}

}  // namespace k400

#endif
