#pragma once
// Files for tests: a whole file read back, and a scratch folder of the
// running test that is gone again afterwards.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace k400::test {

inline std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// An empty folder named after the prefix, the process and the running test,
// so parallel test processes never share one.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix)
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = test ? test->name() : "none";
        // Parameterised tests are named "Case/3": one folder, not a folder in a folder left behind.
        std::replace(name.begin(), name.end(), '/', '_');
        path_ = std::filesystem::temp_directory_path() / (prefix + "-" + std::to_string(::getpid()) + "-" + name);
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    operator const std::filesystem::path&() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    std::string string() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

}  // namespace k400::test
