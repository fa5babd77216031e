#include <gtest/gtest.h>

#include <filesystem>

#include "sim/Json.h"
#include "support/CommandRun.h"
#include "support/TestFiles.h"

namespace k400::test {
namespace {

class CanopenCommandTest : public ::testing::Test {
protected:
    TempFolder dir{"k400-canopen-cli"};

    std::vector<std::string> Configure(std::vector<std::string> extra) const
    {
        std::vector<std::string> args = {"configure", "--port", "sim", "--profile", "canopen", "--pace-ms", "0",
                                         "--output-dir", dir.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }
};

TEST_F(CanopenCommandTest, UsageErrors)
{
    EXPECT_EQ(RunK400({"configure", "--port", "sim"}).rc, ExitUsage);
    EXPECT_EQ(RunK400({"configure", "--port", "sim", "--profile", "profibus"}).rc, ExitUsage);
    EXPECT_EQ(RunK400(Configure({"--heartbeat", "100", "--guard-time", "10"})).rc, ExitUsage);
    EXPECT_EQ(RunK400(Configure({"--colour", "red"})).rc, ExitUsage);
    EXPECT_EQ(RunK400({"eds", "--profile", "canopen", "--firmware", "1.5", "--output-dir", dir.string()}).rc, ExitUsage);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(CanopenCommandTest, DryRunWritesNothingAndShowsTheImage)
{
    const auto run = RunK400(Configure({"--dry-run", "--heartbeat", "250"}));
    ASSERT_EQ(run.rc, ExitSuccess) << run.err;
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    EXPECT_NE(run.out.find("COPn3.eds"), std::string::npos) << run.out;
    // Heartbeat 250 ms: 0x04 << 24 | 250 << 8.
    EXPECT_NE(run.out.find("block 2 offset 0: " + std::to_string((4u << 24) | (250u << 8))), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("block 0 offset 72"), std::string::npos);
    EXPECT_EQ(run.out.find("Produce .EDS file is OK"), std::string::npos);
}

TEST_F(CanopenCommandTest, JsonResultOfAFinish)
{
    const auto run = RunK400(Configure({"--json", "--node-id", "7"}));
    ASSERT_EQ(run.rc, ExitSuccess) << run.err;
    std::string error;
    const auto parsed = ParseJson(run.out, error);
    ASSERT_TRUE(parsed.has_value()) << error << "\n" << run.out;
    const JsonValue* eds = parsed->find("eds_file");
    ASSERT_TRUE(eds && eds->isString());
    EXPECT_EQ(std::filesystem::path(eds->stringValue()), dir / "COPn7.eds");
    EXPECT_TRUE(std::filesystem::exists(dir / "COPn7.eds"));
    const JsonValue* header = parsed->find("header_image");
    ASSERT_TRUE(header && header->isArray());
    ASSERT_EQ(header->items().size(), 9u);
    EXPECT_EQ(header->items()[0].numberValue(), 0x01B40024);
    EXPECT_EQ(static_cast<std::uint32_t>(header->items()[2].numberValue()) >> 16, 7u);
    const JsonValue* receive = parsed->find("pdo_table") ? parsed->find("pdo_table")->find("receive") : nullptr;
    ASSERT_TRUE(receive && receive->isArray());
    const JsonValue* lastRx = parsed->find("last_rx_pdo");
    ASSERT_TRUE(lastRx && lastRx->isNumber());
    EXPECT_EQ(receive->items().size(), static_cast<std::size_t>(lastRx->numberValue()) + 1);
    const JsonValue* cob = receive->items()[0].find("cob_id");
    ASSERT_TRUE(cob);
    EXPECT_EQ(cob->stringValue(), "207");
}

TEST_F(CanopenCommandTest, RefusedValuesFailWithTheWindowsMessages)
{
    auto run = RunK400(Configure({"--guard-time", "65536"}));
    EXPECT_EQ(run.rc, ExitFailure);
    EXPECT_NE(run.err.find("Guard Time is overflow"), std::string::npos) << run.err;
    run = RunK400(Configure({"--node-id", "128"}));
    EXPECT_EQ(run.rc, ExitFailure);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

    run = RunK400({"configure", "--port", "sim", "--profile", "canopen", "--output-dir", (dir / "nope").string()});
    EXPECT_EQ(run.rc, ExitFailure);
    EXPECT_NE(run.err.find((dir / "nope").string()), std::string::npos) << run.err;
}

TEST_F(CanopenCommandTest, EdsOfPlannedModules)
{
    auto run = RunK400({"eds", "--profile", "canopen", "--modules", "M38@3,M33@26", "--node-id", "1",
                        "--heartbeat", "250", "--firmware", "2.10-20100315", "--output-dir", dir.string()});
    ASSERT_EQ(run.rc, ExitSuccess) << run.err;
    EXPECT_NE(run.out.find("0x3-M38:08~12"), std::string::npos) << run.out;
    const std::string eds = ReadFile(dir / "COPn1.eds");
    EXPECT_NE(eds.find("\r\nDefaultValue=0x201\r\n"), std::string::npos);
    EXPECT_NE(eds.find("[1017]\r\nParameterName=Producer Heartbeat Time\r\n"), std::string::npos);
    EXPECT_NE(eds.find("\r\nDefaultValue=2.10-20100315\r\n"), std::string::npos);
    EXPECT_EQ(eds.find("[1800]"), std::string::npos) << "no inputs, no transmit PDOs";

    run = RunK400({"eds", "--profile", "canopen", "--modules", "M99@3", "--output-dir", dir.string()});
    EXPECT_EQ(run.rc, ExitFailure);
}

}  // namespace
}  // namespace k400::test
