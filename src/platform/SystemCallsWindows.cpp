#ifdef _WIN32

#include "platform/SystemCalls.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <random>
#include <string>

namespace k400 {

namespace {

std::error_code LastError()
{
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

HANDLE AsHandle(FileHandle file)
{
    return reinterpret_cast<HANDLE>(file);
}

// The folder of an environment variable such as ProgramFiles; empty when unset.
std::filesystem::path FolderFromEnvironment(const wchar_t* name)
{
    wchar_t buffer[MAX_PATH];
    const DWORD n = ::GetEnvironmentVariableW(name, buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::filesystem::path(std::wstring(buffer, n)) : std::filesystem::path();
}

bool IsInside(const std::filesystem::path& folder, const std::filesystem::path& parent)
{
    if (parent.empty())
        return false;
    const std::wstring text = folder.lexically_normal().wstring();
    const std::wstring prefix = parent.lexically_normal().wstring();
    if (text.size() < prefix.size() ||
        ::CompareStringOrdinal(text.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                               static_cast<int>(prefix.size()), TRUE) != CSTR_EQUAL)
        return false;
    // "C:\Program Files" holds "C:\Program Files\k400gw", not "C:\Program Files2".
    return text.size() == prefix.size() || text[prefix.size()] == L'\\' || prefix.back() == L'\\';
}

}  // namespace

FileHandle CreateUniqueFile(std::filesystem::path& path, std::error_code& error)
{
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof letters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring suffix;
        for (int i = 0; i < 6; ++i)
            suffix += static_cast<wchar_t>(letters[pick(random)]);
        const std::filesystem::path candidate = path.wstring() + suffix;
        // CREATE_NEW fails on an existing name, as mkstemp's O_EXCL does.
        const HANDLE file =
            ::CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            path = candidate;
            error.clear();
            return reinterpret_cast<FileHandle>(file);
        }
        if (::GetLastError() != ERROR_FILE_EXISTS) {
            error = LastError();
            return NoFile;
        }
    }
    error = std::make_error_code(std::errc::file_exists);
    return NoFile;
}

std::error_code WriteAll(FileHandle file, std::string_view data)
{
    while (!data.empty()) {
        const DWORD chunk = data.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(data.size());
        DWORD written = 0;
        if (!::WriteFile(AsHandle(file), data.data(), chunk, &written, nullptr))
            return LastError();
        data.remove_prefix(written);
    }
    return {};
}

std::error_code WriteToDevice(FileHandle, std::string_view, bool, int)
{
    return std::make_error_code(std::errc::not_supported);
}

std::error_code FlushToDisk(FileHandle file)
{
    return ::FlushFileBuffers(AsHandle(file)) ? std::error_code() : LastError();
}

std::error_code CloseFile(FileHandle file)
{
    return ::CloseHandle(AsHandle(file)) ? std::error_code() : LastError();
}

std::error_code ReplaceFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to)
{
    // On one NTFS volume this is a rename that replaces the target in one step;
    // write-through returns only once the change is on the disk.
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? std::error_code()
               : LastError();
}

std::filesystem::path ExecutablePath()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return {};
        if (n < buffer.size())
            return std::filesystem::path(buffer.substr(0, n));
        buffer.resize(buffer.size() * 2);  // truncated: try a longer buffer
    }
}

bool IsSharedProgramFolder(const std::filesystem::path& folder)
{
    return IsInside(folder, FolderFromEnvironment(L"ProgramFiles")) ||
           IsInside(folder, FolderFromEnvironment(L"ProgramFiles(x86)"));
}

std::tm LocalCalendarTime(std::time_t time)
{
    std::tm calendar{};
    ::localtime_s(&calendar, &time);
    return calendar;
}

long CurrentProcessId()
{
    return static_cast<long>(::GetCurrentProcessId());
}

bool ProcessRunning(long pid)
{
    if (pid <= 0)
        return false;
    const HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr)
        return ::GetLastError() == ERROR_ACCESS_DENIED;  // exists, but belongs to someone else
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}

}  // namespace k400

#endif
