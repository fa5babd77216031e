// The DeviceNet branches of `configure` and `eds`, run in-process.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/CommandRun.h"
#include "support/TestFiles.h"

namespace k400::test {
namespace {

namespace fs = std::filesystem;

class DeviceNetCommandsTest : public ::testing::Test {
protected:
    TempFolder dir{"k400-dn-cli"};

    std::vector<std::string> Eds(std::vector<std::string> extra)
    {
        std::vector<std::string> args{"eds", "--profile", "devicenet", "--modules", "M44@26,M27@3,M60@10",
                                      "--output-dir", dir.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }
};

TEST_F(DeviceNetCommandsTest, EdsForPlannedModulesWithSelections)
{
    const CommandRun run = RunK400(Eds({"--node-id", "7", "--poll-in", "1", "--poll-out", "1", "--cos-in", "2",
                                "--firmware", "2.10-20080101", "--description", "Hall 2"}));
    ASSERT_EQ(run.rc, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("   3  INPUT  03(DI,App.01)\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("   5  OUTPUT 05(AO,App.02)\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Input Instance"), std::string::npos);
    EXPECT_NE(run.out.find("TARNDNS 7.eds"), std::string::npos);

    const std::string eds = ReadFile(dir / "TARNDNS 7.eds");
    EXPECT_EQ(eds.rfind("$ NORVAK-DNS Gateway Electronic Data Sheet\r\n$ File Description Section :\r\n$ Hall 2\r\n", 0),
              0u);
    EXPECT_NE(eds.find("            Default = 0x000D;        $ Poll/COS/Cyclic as default\r\n"), std::string::npos);
    EXPECT_NE(eds.find("            Revision   = 2.10; $ revision of EDS\r\n"), std::string::npos);
    EXPECT_NE(eds.find("\"20 04 24 67 30 03\""), std::string::npos);
}

TEST_F(DeviceNetCommandsTest, RefusalsAndTheirExitCodes)
{
    // Node IDs above 63 fail the DeviceNet "Setting" check.
    CommandRun run = RunK400(Eds({"--node-id", "64"}));
    EXPECT_EQ(run.rc, 1);
    EXPECT_NE(run.err.find("Node ID is not supported!(1~63)"), std::string::npos) << run.err;

    // The analog input assembly (12 bytes) cannot feed the bit-strobe connection.
    run = RunK400(Eds({"--strobe-in", "2"}));
    EXPECT_EQ(run.rc, 1);
    EXPECT_NE(run.err.find("Error! The selected data length > 8 bytes"), std::string::npos) << run.err;

    // An index the selector does not have is a usage error.
    run = RunK400(Eds({"--poll-in", "7"}));
    EXPECT_EQ(run.rc, 2);
    EXPECT_NE(run.err.find("0..6"), std::string::npos) << run.err;
    run = RunK400(Eds({"--default-io", "sometimes"}));
    EXPECT_EQ(run.rc, 2);
    // The date needs all eight digits.
    EXPECT_EQ(RunK400(Eds({"--firmware", "1.0-2007111"})).rc, 2);

    EXPECT_FALSE(fs::exists(dir / "TARNDNS 1.eds"));
}

TEST_F(DeviceNetCommandsTest, DryRunPrintsTheImageAndWritesNothing)
{
    CommandRun dry = RunK400({"configure", "--port", "sim", "--pace-ms", "0", "--profile", "devicenet", "--node-id", "9",
                      "--poll-in", "2", "--cos-out", "3", "--dry-run", "--json"});
    ASSERT_EQ(dry.rc, 0) << dry.out << dry.err;
    EXPECT_NE(dry.out.find("\"connection_image\":[0,33817603,"), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find("/TARNDNS 9.eds\""), std::string::npos) << dry.out;  // folder included
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

}  // namespace
}  // namespace k400::test
