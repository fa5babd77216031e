#include "platform/ProgramFolder.h"

#include <system_error>

namespace k400 {

std::filesystem::path ProgramFolder()
{
    std::error_code error;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error && exe.has_parent_path())
        return exe.parent_path();
    auto current = std::filesystem::current_path(error);
    return error ? std::filesystem::path(".") : current;
}

}  // namespace k400
