#include "platform/TextFile.h"

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

}  // namespace

TextFileResult WriteTextFile(const std::filesystem::path& path, std::string_view text)
{
    TextFileResult result;
    result.path = path;
    if (path.filename().empty()) {
        result.error = msg::NoFileName(FolderOf(path));
        return result;
    }

    // The temporary file sits in the target's folder so that the replace
    // stays on one file system and is atomic.
    std::filesystem::path temp = path.parent_path() / ("." + path.filename().string() + ".");
    std::error_code error;
    const FileHandle file = CreateUniqueFile(temp, error);
    if (file == NoFile) {
        result.error = Describe(path, error);
        return result;
    }
    error = WriteAll(file, text);
    if (!error)
        error = FlushToDisk(file);
    const std::error_code closed = CloseFile(file);
    if (!error)
        error = closed;
    if (!error)
        error = ReplaceFileAtomically(temp, path);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        result.error = Describe(path, error);
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace k400
