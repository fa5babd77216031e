// The scan listing parser and each module's configuration query. (The scan
// dialogue itself is pinned by the connect transcript and connect tests.)

#include <gtest/gtest.h>

#include "gateway/ConsoleLink.h"
#include "gateway/ModuleQuery.h"
#include "gateway/ModuleScan.h"
#include "modules/ModuleInfo.h"
#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"
#include "support/ScriptedPort.h"

namespace k400::test {
namespace {

struct Rig {
    Rig() { port.open(); }
    FakeClock clock;
    ScriptedPort port{clock};
    RecordingUserInterface ui;
    ConsoleLink link{port, clock, ui};
    ProgramState state;
};

TEST(ScanListing, ModulesOutcomesAndQueries)
{
    std::string sixteen;
    for (int i = 1; i <= 16; ++i)
        sixteen += "!" + TwoDigitHex(static_cast<unsigned>(i)) + "M28{}";
    using O = ScanOutcome;
    const struct {
        const char* what;
        std::string listing;
        bool checksum;
        ScanOutcome outcome;
        std::vector<std::string> modules;  // "address name" in display order
        std::size_t queries;
    } cases[] = {
        {"marks",
         "Scan\r\n!01M28R{T08}\r\n!0FM23D{T40}\r\n!05M28{x}\r\n3 found",
         false,
         O::Done,
         {"1 M28R", "15 M23", "5 M28"},
         3},
        {"checksum characters", "!05M28A3{}!0aM38C1D{}", true, O::Done, {"5 M28", "10 M38"}, 2},
        {"no modules", "Scanning 00 to 0F\r\n0 module(s) found\r\n", false, O::Done, {}, 0},
        {"a ! without { ends the listing", "!01M28{T08}\r\n!02M38\r\nScan done!", false, O::Done, {"1 M28"}, 1},
        {"a { before the ! is no end", "{!01M28", false, O::Done, {}, 0},
        {"address 0 stops the scan", "!01M28{}!00M28{}!02M28{}", false, O::NotConfigured, {}, 1},
        {"model not in the catalogue", "!01Q29W{}", false, O::NotSupported, {}, 0},
        {"too short for its checksum", "!01D{}", true, O::NotSupported, {}, 0},
        {"non-hex address", "!0GM28{}", false, O::BadAddress, {}, 0},
        {"one-digit address", "!1{}", false, O::BadAddress, {}, 0},
        {"sixteen modules", sixteen, false, O::TooManyModules, {}, 15},
    };
    for (const auto& c : cases) {
        Rig rig;
        std::vector<std::string> queries;
        rig.port.setFallback([&](std::string_view line) -> std::optional<std::string> {
            queries.emplace_back(line);
            return "!" + std::string(line.substr(1, 2)) + "400600\r\n[COM2:]";
        });
        rig.state.ScanChecksumIndex = c.checksum ? 1 : 0;
        EXPECT_EQ(ParseScanListing(rig.state, rig.link, c.listing), c.outcome) << c.what;
        EXPECT_EQ(queries.size(), c.queries) << c.what;
        if (c.outcome != ScanOutcome::Done)
            continue;
        BuildModuleOrder(rig.state);
        std::vector<std::string> modules;
        for (int i = 0; i < rig.state.ModuleCount; ++i) {
            const auto& m = rig.state.ModuleTable[rig.state.ModuleOrder[static_cast<std::size_t>(i)]];
            modules.push_back(m.Address + " " + m.Name);
        }
        EXPECT_EQ(modules, c.modules) << c.what;
    }
}

// "$AA2", and for type code 3F "$AA90" and "$AA91": each reply ends with the COM2 prompt.
TEST(ModuleQuery, ConfigurationRepliesFillBothTablesOrNothing)
{
    const struct {
        const char* what;
        const char* address;
        std::string aa;                    // as the queries name it
        std::vector<const char*> replies;  // nullptr: none
        bool ok;
        int typeCode, typeCode2, count, format, baud;
    } cases[] = {
        {"one type code", "1", "01", {"!0140060F\r\n"}, true, 0x40, 9, 1, 0x0F, 6},
        {"address in upper-case hex", "15", "0F", {"!0F08070a"}, true, 0x08, 9, 1, 0x0A, 7},
        {"per-channel type codes", "26", "1A", {"!1A3F0600", "!1A03", "!1A0C"}, true, 0x3, 0xC, 2, 0, 6},
        {"second channel fails", "2", "02", {"!023F0600", "!0205", "Timeout"}, false, 0x5, 9, 1, 0, 0},
        {"timeout text", "1", "01", {"Timeout"}, false, 0x77, 9, 1, 0x55, 0},
        {"no !", "1", "01", {"0140060F"}, false, 0x77, 9, 1, 0x55, 0},
        {"non-hex type code", "1", "01", {"!01G0060F"}, false, 0x77, 9, 1, 0x55, 0},
        {"reply too short", "1", "01", {"!014006"}, false, 0x77, 9, 1, 0x55, 0},
        {"no reply", "1", "01", {nullptr}, false, 0x77, 9, 1, 0x55, 0},
    };
    for (const auto& c : cases) {
        Rig rig;
        for (std::size_t i = 0; i < c.replies.size(); ++i) {
            auto& exchange = rig.port.expectLine("$" + c.aa + std::vector<const char*>{"2", "90", "91"}[i]);
            if (c.replies[i])
                exchange.reply(std::string(c.replies[i]) + "[COM2:]");
        }
        auto& s = rig.state.ModuleTable[3];
        s = {"M28", c.address, 0, 0, 0, 8, 1, 0x77, 9, 0x55};
        rig.state.CurrentModuleIndex = 3;
        EXPECT_EQ(ModuleOtherInfo(rig.state, rig.link), c.ok) << c.what;
        EXPECT_TRUE(rig.port.scriptFollowed()) << c.what << rig.port.report();
        EXPECT_EQ((std::array<int, 4>{s.TypeCode, s.TypeCode2, s.TypeCodeCount, s.DataFormat}),
                  (std::array<int, 4>{c.typeCode, c.typeCode2, c.count, c.format}))
            << c.what;
        const auto& t = rig.state.TarnInfTable[3];
        if (!c.ok)
            continue;
        EXPECT_EQ((std::array<int, 5>{t.TypeCode, t.TypeCode2, t.TypeCodeCount, t.DataFormat, t.Baud}),
                  (std::array<int, 5>{c.typeCode, c.count == 2 ? c.typeCode2 : 0, c.count, c.format, c.baud}))
            << c.what;
    }
}

}  // namespace
}  // namespace k400::test
