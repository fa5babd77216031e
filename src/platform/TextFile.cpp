#include "platform/TextFile.h"

#include <cstdlib>

#include "platform/Messages.h"
#include "platform/SystemCalls.h"

namespace k400 {

namespace {

std::string FolderOf(const std::filesystem::path& path)
{
    auto folder = path.parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

std::string Describe(const std::filesystem::path& path, const std::error_code& error)
{
    return msg::CannotWriteFile(path.filename().string(), FolderOf(path), error.message());
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
        if (pid <= 0 || pid == CurrentProcessId() || ProcessRunning(pid))
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

    // Through a symbolic link to the file it names, so the link stays a link.
    const std::filesystem::path target = WriteTarget(path);
    const std::string name = target.filename().string();
    RemoveStaleTempFiles(target.parent_path(), name);

    // The temporary file sits in the target's folder so that the replace
    // stays on one file system and is atomic; its name carries our process ID
    // so that a later run can tell a killed writer's leftover from a live one.
    std::filesystem::path temp = target.parent_path() / (TempPrefix(name) + std::to_string(CurrentProcessId()) + ".");
    std::error_code error;
    const FileHandle file = CreateUniqueFile(temp, error);
    if (file == NoFile) {
        result.error = Describe(target, error);
        return result;
    }
    error = WriteAll(file, text);
    if (!error)
        error = FlushToDisk(file);
    const std::error_code closed = CloseFile(file);
    if (!error)
        error = closed;
    if (!error)
        error = ReplaceFileAtomically(temp, target);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        result.error = Describe(target, error);
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace k400
