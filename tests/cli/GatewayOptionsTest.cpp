#include <gtest/gtest.h>

#include <sstream>

#include "app/Settings.h"
#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "cli/GatewayOptions.h"
#include "cli/JsonWriter.h"
#include "gateway/ConsoleLink.h"
#include "sim/SimulatedPort.h"
#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"

namespace k400::test {
namespace {

class Options : public ::testing::Test {
protected:
    std::optional<GatewayOptions> Take(std::vector<std::string> argv)
    {
        ArgList args(std::move(argv));
        auto options = TakeGatewayOptions(args, io, "configure");
        leftover = args.leftover().has_value();
        return options;
    }

    std::ostringstream out;
    std::ostringstream err;
    CommandIo io{out, err};
    bool leftover = false;
};

TEST_F(Options, ScanAndSettingsOptionsAreTaken)
{
    auto options = Take({"--scan-baud", "115200", "--scan-checksum=on", "--scan-timeout", "32767", "--node-id", "7",
                         "--can-baud", "250", "--com2-baud", "1200", "--com2-checksum", "off", "--com2-timeout",
                         "40", "--other"});
    ASSERT_TRUE(options) << err.str();
    EXPECT_EQ(options->scan.baudIndex, 7);
    EXPECT_EQ(options->scan.checksumIndex, 1);
    EXPECT_EQ(options->scan.timeoutMs, 32767);
    EXPECT_EQ(options->settings.nodeId, "7");
    EXPECT_EQ(options->settings.canBaudKbps, 250);
    EXPECT_EQ(options->settings.com2BaudIndex, 0);
    EXPECT_EQ(options->settings.com2Checksum, 0);
    EXPECT_EQ(options->settings.com2Timeout, "40");
    EXPECT_TRUE(leftover);  // --other is left for the command to report
}

TEST_F(Options, BadValuesAreUsageErrors)
{
    for (const std::vector<std::string>& argv :
         {std::vector<std::string>{"--scan-baud", "300"}, {"--scan-checksum", "1"}, {"--scan-timeout", "0"},
          {"--scan-timeout", "32768"}, {"--scan-timeout", "12ms"}, {"--can-baud", "125000"},
          {"--can-baud", "100"}, {"--com2-baud", "9600.0"}, {"--com2-checksum", "ON"}}) {
        err.str("");
        EXPECT_FALSE(Take(argv)) << argv[0] << " " << argv[1];
        EXPECT_NE(err.str().find(argv[0]), std::string::npos) << err.str();
    }
}

TEST(PlannedModules, ListsInOrder)
{
    std::string error;
    auto modules = ParsePlannedModules("M38@3,M33@26,Q29W@255", error);
    ASSERT_TRUE(modules) << error;
    ASSERT_EQ(modules->size(), 3u);
    EXPECT_EQ((*modules)[0].model, "M38");
    EXPECT_EQ((*modules)[0].address, 3);
    EXPECT_EQ((*modules)[1].address, 26);
    EXPECT_EQ((*modules)[2].model, "Q29W");  // the catalogue judges it later
}

TEST(PlannedModules, BadListsAreRefused)
{
    std::string sixteen;
    for (int i = 1; i <= 16; ++i)
        sixteen += (i > 1 ? "," : "") + std::string("M28@") + std::to_string(i);
    for (const std::string& text : {std::string("M38"), std::string("@3"), std::string("M38@0"),
                                    std::string("M38@256"), std::string("M38@3,M33@3"), std::string("M38@3,"),
                                    std::string(""), std::string("M38@x"), std::string("M38@3@4"), sixteen}) {
        std::string error;
        EXPECT_FALSE(ParsePlannedModules(text, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(PlannedModules, FillTheTablesLikeAScan)
{
    ProgramState state;
    state.ModuleTable[5].Address = "9";  // left from an earlier run
    state.TotalAIBytes = 40;
    std::string error;
    ASSERT_TRUE(ApplyPlannedModules(state, {{"M38", 3}, {"M33", 26}, {"M60", 4}}, error)) << error;
    EXPECT_EQ(state.ModuleCount, 3);
    EXPECT_EQ(state.CurrentModuleIndex, 3);
    EXPECT_EQ(state.ModuleOrder[2], 2);
    EXPECT_EQ(state.ModuleTable[1].Name, "M33");
    EXPECT_EQ(state.ModuleTable[1].Address, "26");
    EXPECT_EQ(state.ModuleTable[1].TypeCode, 0);
    EXPECT_EQ(state.TarnInfTable[1].Address, 26);
    EXPECT_EQ(state.TarnInfTable[1].IOType, 1);
    EXPECT_EQ(state.TotalDOBytes, 2 + 1);
    EXPECT_EQ(state.TotalAOBytes, 8);
    EXPECT_EQ(state.TotalAIBytes, 8);
    EXPECT_EQ(state.TotalDIBytes, 0);

    EXPECT_FALSE(ApplyPlannedModules(state, {{"M38", 3}, {"Q29W", 4}}, error));
    EXPECT_EQ(error, "This modules is not supported!");
}

class ConnectOptions : public ::testing::Test {
protected:
    bool Connect(const GatewayOptions& options, std::optional<std::uint8_t> application = std::nullopt)
    {
        port = std::make_unique<SimulatedPort>(scenario, clock);
        link = std::make_unique<ConsoleLink>(*port, clock, ui);
        return ConnectWithGatewayOptions(state, panel, *link, options, application);
    }

    Scenario scenario = BuiltInScenario();
    FakeClock clock;
    RecordingUserInterface ui;
    std::unique_ptr<SimulatedPort> port;
    std::unique_ptr<ConsoleLink> link;
    ProgramState state;
    ParameterPanel panel;
};

TEST_F(ConnectOptions, ScanOptionsAnswerTheScanDialog)
{
    scenario.eeprom[0][10] = 0;  // no stored image: the COM2 settings come from the scan
    GatewayOptions options;
    options.scan = {6, 1, 77};
    ASSERT_TRUE(Connect(options));
    EXPECT_TRUE(port->console().checksumOn());
    EXPECT_EQ(port->console().moduleTimeoutMs(), 77);
    EXPECT_EQ(port->console().com2Baud(), 57600);
    EXPECT_EQ(ui.scanRequests, 0);
    EXPECT_EQ(state.Com2BaudIndex, 6);
    EXPECT_EQ(state.Com2Checksum, 1);
    EXPECT_EQ(state.Com2Timeout, 77);
}

TEST_F(ConnectOptions, SettingsNotGivenKeepTheStoredOnes)
{
    GatewayOptions options;
    options.settings.com2Timeout = "500";
    ASSERT_TRUE(Connect(options));
    EXPECT_EQ(state.Com2Timeout, 500);
    EXPECT_EQ(state.Com2BaudIndex, 3);
    EXPECT_EQ(state.NodeId, 3);
    EXPECT_EQ(state.CanBaudIndex, 2);
    EXPECT_EQ(ui.status, "Setting Ok");
}

TEST_F(ConnectOptions, CanBaudIsLookedUpInTheConfiguredApplication)
{
    GatewayOptions options;
    options.settings.nodeId = "20";
    options.settings.canBaudKbps = 500;
    ASSERT_TRUE(Connect(options));
    EXPECT_EQ(state.NodeId, 20);
    EXPECT_EQ(state.CanBaudIndex, 5);
    EXPECT_EQ(state.ApplicationLayer, 0);

    ASSERT_TRUE(Connect(options, 1));
    EXPECT_EQ(state.CanBaudIndex, 2);
    EXPECT_EQ(state.ApplicationLayer, 1);

    options.settings.canBaudKbps = 1000;
    EXPECT_FALSE(Connect(options, 1));
    EXPECT_NE(ui.messages.back().text.find("1000"), std::string::npos);
}

TEST_F(ConnectOptions, SettingChecksRefuseOutOfRangeValues)
{
    GatewayOptions options;
    options.settings.nodeId = "100";
    EXPECT_FALSE(Connect(options, 1));
    EXPECT_EQ(ui.messages.back().text, "Node ID is not supported!(1~63)");
    EXPECT_TRUE(state.Connected);
    EXPECT_EQ(state.NodeId, 3);

    options.settings.nodeId.reset();
    options.settings.com2Timeout = "0";
    EXPECT_FALSE(Connect(options));
    EXPECT_EQ(ui.messages.back().text, "Timeout value is out of range!(1ms~32767ms)");
}

TEST(Json, NestingCommasAndEscapes)
{
    std::ostringstream out;
    JsonWriter json(out);
    json.beginObject();
    json.key("a").value(1);
    json.key("list").beginArray().value("x\"y\\z").value(true).null().beginObject().endObject().endArray();
    json.key("ctl").value(std::string("\x01\n"));
    json.key("n").value(4294967295.0);
    json.key("f").value(0.5);
    json.endObject();
    EXPECT_EQ(out.str(), "{\"a\":1,\"list\":[\"x\\\"y\\\\z\",true,null,{}],\"ctl\":\"\\u0001\\n\",\"n\":4294967295,"
                         "\"f\":0.5}\n");
}

}  // namespace
}  // namespace k400::test
