#include "platform/TextFile.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <system_error>

#include "platform/Messages.h"

namespace k400 {

namespace {

std::string FolderOf(const std::filesystem::path& path)
{
    auto folder = path.parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

std::string Describe(const std::filesystem::path& path, int code)
{
    return msg::CannotWriteFile(path.filename().string(), FolderOf(path), std::strerror(code));
}

// The temporary files of `name` are "." + name + "." + writer's PID + ".XXXXXX".
std::string TempPrefix(const std::string& name)
{
    return "." + name + ".";
}

// Removes the temporary files of `name` whose writer no longer runs.
void RemoveStaleTempFiles(const std::filesystem::path& folder, const std::string& name)
{
    const std::string prefix = TempPrefix(name);
    std::error_code error;
    std::filesystem::directory_iterator it(folder.empty() ? std::filesystem::path(".") : folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string file = it->path().filename().string();
        if (file.rfind(prefix, 0) != 0)
            continue;
        const std::string rest = file.substr(prefix.size());
        const std::size_t dot = rest.find('.');
        if (dot == 0 || dot == std::string::npos || rest.size() - dot - 1 != 6 ||
            rest.find_first_not_of("0123456789") != dot)
            continue;
        const long pid = std::strtol(rest.substr(0, dot).c_str(), nullptr, 10);
        if (pid <= 0 || pid == static_cast<long>(::getpid()))
            continue;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
            continue;  // that writer may still be at work
        std::error_code ignored;
        std::filesystem::remove(it->path(), ignored);
    }
}

// Where a write of `path` lands: the end of a chain of symbolic links, or
// the path itself.
std::filesystem::path WriteTarget(const std::filesystem::path& path)
{
    std::filesystem::path target = path;
    std::error_code error;
    // As many links as the system itself follows before it gives up.
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(target, error); ++hops) {
        const std::filesystem::path next = std::filesystem::read_symlink(target, error);
        if (error)
            break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

}  // namespace

TextFileResult WriteTextFile(const std::filesystem::path& path, std::string_view text)
{
    TextFileResult result;
    result.path = path;
    if (path.filename().empty()) {
        result.error = msg::NoFileName(FolderOf(path));
        return result;
    }

    const std::filesystem::path target = WriteTarget(path);
    const std::string name = target.filename().string();
    RemoveStaleTempFiles(target.parent_path(), name);

    // mkstemp wants a writable template; keep it in the target's folder so the
    // rename stays on one file system and is atomic.
    std::string pattern =
        (target.parent_path() / (TempPrefix(name) + std::to_string(::getpid()) + ".XXXXXX")).string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        result.error = Describe(target, errno);
        return result;
    }

    auto fail = [&](int code) {
        ::close(fd);
        ::unlink(pattern.c_str());
        result.error = Describe(target, code);
        return result;
    };

    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0)
        return fail(errno);
    // mkstemp creates the file 0600; an EDS file is for other tools to read.
    ::fchmod(fd, 0644);
    if (::close(fd) != 0) {
        int code = errno;
        ::unlink(pattern.c_str());
        result.error = Describe(target, code);
        return result;
    }
    if (std::rename(pattern.c_str(), target.c_str()) != 0) {
        int code = errno;
        ::unlink(pattern.c_str());
        result.error = Describe(target, code);
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace k400
