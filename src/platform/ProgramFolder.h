#pragma once
// The folder that holds the running program: EDS files go there by default.

#include <filesystem>

namespace k400 {

// The folder of the executable; the current folder when that cannot be read,
// or when the program is installed (/usr/bin, C:\Program Files, or any
// folder the user cannot write to), where files of the user's do not belong.
std::filesystem::path ProgramFolder();

}  // namespace k400
