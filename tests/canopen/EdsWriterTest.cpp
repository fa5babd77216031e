#include <gtest/gtest.h>

#include <filesystem>

#include "canopen/EdsWriter.h"
#include "canopen/ModuleFixture.h"
#include "canopen/PdoMapping.h"
#include "gateway/ProgramState.h"
#include "support/TestFiles.h"

namespace k400::test {
namespace {

const struct GoldenCase {
    const char* file;
    LocalDateTime now;
    void (*setup)(ProgramState&);
} GoldenCases[] = {
    {"all_kinds_node1.eds",
     {2008, 1, 24, 13, 45, 10},
     [](ProgramState& s) {
         PlaceModules(s, {{"M38", 3, 13}, {"M33", 26, 0, 4}, {"M44", 1, 0, 0, 16}, {"M17", 5, 0, 0, 0, 5}});
         s.NodeId = 1;
         s.CanBaudIndex = 3;
         s.GuardTime = 1000;
         s.LifeTimeFactor = 3;
         s.HeartbeatTime = 777;  // node guarding: not written
     }},
    {"heartbeat_outputs_node5.eds",
     {2009, 12, 31, 0, 30, 0},
     [](ProgramState& s) {
         PlaceModules(s, {{"M38", 3, 13}, {"M33", 26, 0, 4}});
         s.NodeId = 5;
         s.ErrorControlFlags = HeartbeatBit;
         s.GuardTime = 1000;  // heartbeat: not written
         s.HeartbeatTime = 500;
         s.EdsInfoText = {"Test rig", "QA"};
     }},
    {"no_modules_node127.eds",
     {2010, 6, 1, 12, 7, 59},
     [](ProgramState& s) {
         s.NodeId = 127;
         s.CanBaudIndex = 7;
         s.FirmwareVersion = {2, 10};
         s.FirmwareDate = {2010, 3, 15};
     }},
};

TEST(CanopenEds, MatchesTheGoldenFiles)
{
    for (const GoldenCase& c : GoldenCases) {
        ProgramState state;
        state.FirmwareVersion = {1, 5};
        state.FirmwareDate = {2007, 11, 26};
        c.setup(state);
        ASSERT_TRUE(BuildCanopenPdoMapping(state));
        const std::string golden = ReadFile(std::filesystem::path(K400_TEST_DATA_DIR) / "canopen" / c.file);
        ASSERT_FALSE(golden.empty()) << c.file;
        EXPECT_EQ(CanopenEdsText(state, c.now), golden) << c.file;  // gtest shows the differing lines
    }
}

TEST(CanopenEds, LaterPdosUseHexSectionsAndUserTextsStayOnTheirLines)
{
    // Ten digital output bytes reach receive PDO 4; 20 analog channels reach PDO 11.
    ProgramState state;
    PlaceModules(state, {{"D32", 1, 32}, {"D32", 2, 32}, {"D16", 3, 16}, {"A20", 4, 0, 20}});
    state.NodeId = 3;
    state.EdsInfoText = {"Hall 3\r\n[DeviceInfo]", "Ann\nLee"};
    ASSERT_TRUE(BuildCanopenPdoMapping(state));
    const std::string text = CanopenEdsText(state, {});
    const std::string entry = "\r\nObjectType=0x7\r\nDataType=0x0007\r\nAccessType=rw\r\nDefaultValue=";
    const std::string cobId = "\r\nParameterName=COB-ID used by PDO" + entry;
    const std::string mapping = "\r\nParameterName=PDO mapping for the application object" + entry;
    // PDO 4 maps digital bytes 9 and 10; the analog overflow continues at PDO 5 with channel 13.
    for (const std::string& part :
         {"[1404sub1]" + cobId + "0xC0000000\r\n", "[1403sub1]" + cobId + "0x503\r\n", std::string("=0x140A\r\n"),
          std::string("=0x161F\r\n"), "[1604sub2]" + mapping + "0x62000A08\r\n",
          "[1605sub1]" + mapping + "0x64110D10\r\n",
          std::string("[6411sub14]\r\nParameterName=Analogue Outputs 20\r\n"),
          std::string("[6200subA]\r\nParameterName=Number of Outputs 49h to 50h\r\n"),
          std::string("\r\nDescription=Hall 3  [DeviceInfo]\r\n"), std::string("\r\nCreatedBy=Ann Lee\r\n")})
        EXPECT_NE(text.find(part), std::string::npos) << part;
    for (std::size_t i = text.find_first_of("\r\n"); i != std::string::npos; i = text.find_first_of("\r\n", i + 2))
        ASSERT_EQ(text.compare(i, 2, "\r\n"), 0) << "a line break that is not CR LF at " << i;
}

}  // namespace
}  // namespace k400::test
