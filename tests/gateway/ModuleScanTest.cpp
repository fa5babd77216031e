#include <gtest/gtest.h>

#include "gateway/ConsoleLink.h"
#include "gateway/ModuleScan.h"
#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"
#include "support/ScriptedPort.h"

namespace k400::test {
namespace {

// The listing parser, with every module answering its configuration query.
class Listing : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(port.open().ok());
        port.setFallback([this](std::string_view line) -> std::optional<std::string> {
            queries.emplace_back(line);
            if (line.size() >= 4 && line[0] == '$')
                return "!" + std::string(line.substr(1, 2)) + "400600\r\n[COM2:]";
            return std::nullopt;
        });
    }

    ScanOutcome Parse(const std::string& listing) { return ParseScanListing(state, link, listing); }

    FakeClock clock;
    ScriptedPort port{clock};
    RecordingUserInterface ui;
    ConsoleLink link{port, clock, ui};
    ProgramState state;
    std::vector<std::string> queries;
};

TEST_F(Listing, NamesWithAndWithoutMarks)
{
    ASSERT_EQ(Parse("Scanning\r\n!01M28R{T08}\r\n!0FM23D{T40}\r\n!05M28{x}\r\n2 found"), ScanOutcome::Done);
    EXPECT_EQ(state.ModuleTable[0].Address, "1");
    EXPECT_EQ(state.ModuleTable[0].Name, "M28R");
    EXPECT_EQ(state.ModuleTable[1].Address, "15");
    EXPECT_EQ(state.ModuleTable[1].Name, "M23");
    EXPECT_EQ(state.ModuleTable[2].Name, "M28");
    EXPECT_EQ(state.CurrentModuleIndex, 3);
    EXPECT_EQ(queries, (std::vector<std::string>{"$012", "$0F2", "$052"}));
}

TEST_F(Listing, ChecksumCharactersAreDropped)
{
    state.ScanChecksumIndex = 1;
    ASSERT_EQ(Parse("!05M28A3{}!0aM38C1D{}"), ScanOutcome::Done);
    EXPECT_EQ(state.ModuleTable[0].Name, "M28");
    EXPECT_EQ(state.ModuleTable[1].Name, "M38");
    EXPECT_EQ(state.ModuleTable[1].Address, "10");  // lower-case hex digits
}

TEST_F(Listing, NoModulesIsNoError)
{
    EXPECT_EQ(Parse("Scanning 00 to 0F\r\n0 module(s) found\r\n"), ScanOutcome::Done);
    EXPECT_EQ(state.CurrentModuleIndex, 0);
    BuildModuleOrder(state);
    EXPECT_EQ(state.ModuleCount, 0);
}

TEST_F(Listing, AddressZeroStopsEvenWithModulesAfterIt)
{
    EXPECT_EQ(Parse("!01M28{}!00M28{}!02M28{}"), ScanOutcome::NotConfigured);
    EXPECT_EQ(queries.size(), 1u);
    const auto texts = ScanFailureTexts(ScanOutcome::NotConfigured);
    EXPECT_EQ(texts.message, "Some module isn't configured yet! Please use TARN Utility to configure it.");
    EXPECT_EQ(texts.status, "Scanning Process Stop");
}

TEST_F(Listing, UnknownOrUnreadableNamesAreNotSupported)
{
    EXPECT_EQ(Parse("!01Q29W{}"), ScanOutcome::NotSupported);
    EXPECT_EQ(state.ModuleTable[0].Address, "");
    EXPECT_TRUE(queries.empty());
    // With the checksum on, an entry too short for its checksum has no name.
    state.ScanChecksumIndex = 1;
    EXPECT_EQ(Parse("!01D{}"), ScanOutcome::NotSupported);
    const auto texts = ScanFailureTexts(ScanOutcome::NotSupported);
    EXPECT_EQ(texts.message, "This modules is not supported!");
    EXPECT_EQ(texts.status, "Timeout");
}

TEST_F(Listing, BangWithoutBraceEndsTheListingKeepingEarlierModules)
{
    EXPECT_EQ(Parse("!01M28{T08}\r\n!02M38\r\nScan done!"), ScanOutcome::Done);
    BuildModuleOrder(state);
    EXPECT_EQ(state.ModuleCount, 1);
    EXPECT_EQ(state.ModuleTable[0].Name, "M28");
    // A "{" before the "!" does not count as its end.
    state = ProgramState{};
    EXPECT_EQ(Parse("{!01M28"), ScanOutcome::Done);
    BuildModuleOrder(state);
    EXPECT_EQ(state.ModuleCount, 0);
}

TEST_F(Listing, NonHexAddressIsRefused)
{
    EXPECT_EQ(Parse("!0GM28{}"), ScanOutcome::BadAddress);
    EXPECT_EQ(Parse("!1{}"), ScanOutcome::BadAddress);
    EXPECT_TRUE(queries.empty());
}

TEST_F(Listing, MoreEntriesThanTheTableHoldsAreRefused)
{
    std::string listing;
    for (int i = 1; i <= 16; ++i) {
        char entry[16];
        std::snprintf(entry, sizeof entry, "!%02XM28{}", i);
        listing += entry;
    }
    EXPECT_EQ(Parse(listing), ScanOutcome::TooManyModules);
    EXPECT_EQ(queries.size(), 15u);
    EXPECT_EQ(state.TotalAIBytes, 15 * 16);
}

// The commands that set up and run the scan.
class ScanDialogue : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(port.open().ok()); }

    FakeClock clock;
    ScriptedPort port{clock};
    RecordingUserInterface ui;
    ConsoleLink link{port, clock, ui};
    ProgramState state;
};

TEST_F(ScanDialogue, SendsTheScanParameters)
{
    state.ScanChecksumIndex = 1;
    state.ScanTimeoutMs = 150;
    state.ScanBaudIndex = 7;
    port.expectLine("use com2").reply("[COM2:]");
    port.expectLine("/s1").reply("Checksum enabled\r\n[COM2:]");
    port.expectLine("").reply("[COM2:]");
    port.expectLine("/timeout 150").reply("Module timeout 150 ms\r\n[COM2:]");
    port.expectLine("").reply("[COM2:]");
    port.expectLine("").reply("[COM2:]");
    port.expectLine("").reply("[COM2:]");
    port.expectLine("/baud 115200").reply("Baud rate 115200 bps\r\n[COM2:]");
    port.expectLine("/start 0").reply("[COM2:]");
    port.expectLine("/end 15").reply("[COM2:]");
    port.expectLine("/scan").replyPieces({"!01M28", "{T08}\r\n", "1 module(s) found\r\n[COM2:]"}, 4000);
    ASSERT_EQ(RunScanDialogue(state, link), ScanOutcome::Done);
    EXPECT_TRUE(port.scriptFollowed()) << port.report();
    EXPECT_EQ(link.ReplyText.find("!01M28{T08}"), 0u);
    EXPECT_EQ(ui.progress, (std::vector<int>{3, 5}));
    EXPECT_EQ(ui.status, "Scaning...");
}

}  // namespace
}  // namespace k400::test
