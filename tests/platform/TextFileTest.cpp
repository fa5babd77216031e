// Whole-file output through each platform's system calls (Linux, and Windows cross-compiled).

#include <gtest/gtest.h>

#include "platform/SystemCalls.h"
#include "platform/TextFile.h"
#include "support/TestFiles.h"

namespace k400 {
namespace {

struct WriteCase {
    const char* name;
    const char* before;  // the target's text beforehand; nullptr: none; "/": a folder
    bool ok;
};

// Line ends and a NUL must arrive unchanged, with no text-mode translation.
const std::string Text("[File]\r\nA=1\n\0end", 17);

TEST(TextFile, WritesWholeOrLeavesTheFolderAsItWas)
{
    const WriteCase cases[] = {{"new", nullptr, true},
                               {"replaces", "older and longer text than the new one", true},
                               {"folder in the way", "/", false}};
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder folder("k400-textfile");
        const auto target = folder / "COPn5.eds";
        if (c.before && std::string(c.before) == "/")
            std::filesystem::create_directory(target);
        else if (c.before)
            test::WriteFile(target, c.before);

        const TextFileResult result = WriteTextFile(target, Text);
        EXPECT_EQ(result.ok, c.ok) << result.error;
        EXPECT_EQ(result.error.empty(), c.ok);
        if (c.ok) {
            EXPECT_EQ(test::ReadFile(target), Text);
        }
        // Nothing but the target is left, whatever happened.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), c.before || c.ok ? 1 : 0);
    }
}

TEST(TextFile, MissingFolderIsNamedInTheError)
{
    const TextFileResult result = WriteTextFile(std::filesystem::path("no-such-folder") / "x.eds", Text);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("no-such-folder"), std::string::npos) << result.error;
}

TEST(SystemCalls, TheRunningProcessIsRunning)
{
    EXPECT_TRUE(ProcessRunning(CurrentProcessId()));
    EXPECT_FALSE(ProcessRunning(0));
}

}  // namespace
}  // namespace k400
