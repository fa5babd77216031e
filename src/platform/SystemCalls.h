#pragma once
// The operating-system calls of the core, with a POSIX implementation
// (SystemCallsPosix.cpp) and a Windows one (SystemCallsWindows.cpp), so that
// nothing else in the core includes <unistd.h> or <windows.h>. Failures come
// back as std::error_code, whose message() is the system's own text.

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace k400 {

// An open file: a descriptor on POSIX, a HANDLE on Windows.
using FileHandle = std::intptr_t;
inline constexpr FileHandle NoFile = -1;

// Creates and opens for writing a file that did not exist before, named
// `path` (a folder and the start of a file name) followed by six random
// characters; `path` becomes its full name. The file is readable by others:
// what is written is meant for other tools.
FileHandle CreateUniqueFile(std::filesystem::path& path, std::error_code& error);

// Writes all of `data`, however many calls that takes.
std::error_code WriteAll(FileHandle file, std::string_view data);

// Writes all of `data` to a serial device or socket opened non-blocking,
// waiting while its queue is full (at most timeoutMs each time); a socket whose
// peer has gone gives an error, not SIGPIPE. POSIX only: Windows serial
// ports and sockets take overlapped writes, and this says "not supported".
std::error_code WriteToDevice(FileHandle device, std::string_view data, bool socket, int timeoutMs);

// Returns once the written data is on the disk (fsync, FlushFileBuffers).
std::error_code FlushToDisk(FileHandle file);

std::error_code CloseFile(FileHandle file);

// Puts `from` in the place of `to` in one step: a reader sees the old file or
// the new one, never neither and never a mix. Both must be on one volume.
std::error_code ReplaceFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to);

// The running executable's full path; empty when the system does not say.
std::filesystem::path ExecutablePath();

// A folder that holds programs for everybody (/usr/..., C:\Program Files) or
// one the user cannot write to: an installed program's folder.
bool IsSharedProgramFolder(const std::filesystem::path& folder);

// The local calendar time of `time` (localtime_r, localtime_s: thread-safe).
std::tm LocalCalendarTime(std::time_t time);

long CurrentProcessId();
// False only when no process `pid` exists; one of another user counts as running.
bool ProcessRunning(long pid);

}  // namespace k400
