#pragma once
// Whole-file text output that never leaves a half-written file behind: the
// text goes to a temporary file in the same folder, which then replaces the
// target in one rename. An older file of the same name survives any failure.
// A symbolic link at the name is followed: its target is what gets replaced,
// so the link stays. The temporary file carries the writer's process ID; one
// left beside the file by a run that was killed is removed at the next write.

#include <filesystem>
#include <string>
#include <string_view>

namespace k400 {

struct TextFileResult {
    bool ok = false;
    std::filesystem::path path;  // the file written (or meant to be written)
    std::string error;           // on failure: what went wrong, naming the file or folder

    explicit operator bool() const { return ok; }
};

// Writes the text byte for byte (no line-end translation).
TextFileResult WriteTextFile(const std::filesystem::path& path, std::string_view text);

}  // namespace k400
