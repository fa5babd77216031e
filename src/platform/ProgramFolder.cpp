#include "platform/ProgramFolder.h"

#include <system_error>

#include "platform/SystemCalls.h"

namespace k400 {

std::filesystem::path ProgramFolder()
{
    const std::filesystem::path exe = ExecutablePath();
    if (exe.has_parent_path() && !IsSharedProgramFolder(exe.parent_path()))
        return exe.parent_path();
    std::error_code error;
    auto current = std::filesystem::current_path(error);
    return error ? std::filesystem::path(".") : current;
}

}  // namespace k400
