#include "platform/TextFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

}  // namespace

TextFileResult WriteTextFile(const std::filesystem::path& path, std::string_view text)
{
    TextFileResult result;
    result.path = path;
    if (path.filename().empty()) {
        result.error = msg::NoFileName(FolderOf(path));
        return result;
    }

    // mkstemp wants a writable template; keep it in the target's folder so the
    // rename stays on one file system and is atomic.
    std::string pattern = (path.parent_path() / ("." + path.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        result.error = Describe(path, errno);
        return result;
    }

    auto fail = [&](int code) {
        ::close(fd);
        ::unlink(pattern.c_str());
        result.error = Describe(path, code);
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
        result.error = Describe(path, code);
        return result;
    }
    if (std::rename(pattern.c_str(), path.c_str()) != 0) {
        int code = errno;
        ::unlink(pattern.c_str());
        result.error = Describe(path, code);
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace k400
