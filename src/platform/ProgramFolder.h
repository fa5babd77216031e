#pragma once
// The folder that holds the running program: EDS files go there by default.

#include <filesystem>

namespace k400 {

// The folder of the executable (from /proc/self/exe); the current folder when
// that cannot be read.
std::filesystem::path ProgramFolder();

}  // namespace k400
