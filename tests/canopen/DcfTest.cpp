// The DCF read back as a strict master tool reads it: only keys the device
// file format defines, counts that match, identity as [DeviceInfo] says,
// and the configured node, bit rate and stored values.

#include <gtest/gtest.h>

#include <set>

#include "canopen/DcfWriter.h"
#include "support/CommandRun.h"
#include "support/TestFiles.h"

namespace k400::test {
namespace {

std::uint32_t Number(const std::string& text)
{
    return static_cast<std::uint32_t>(std::stoul(text, nullptr, 0));
}

const std::set<std::string> ObjectKeys = {"ParameterName", "ObjectType",     "DataType",  "AccessType", "DefaultValue",
                                          "PDOMapping",    "SubNumber",      "LowLimit",  "HighLimit",  "ObjFlags",
                                          "CompactSubObj", "ParameterValue", "Denotation"};

struct DcfCase {
    std::vector<std::string> options;
    int node;
    int kbps;
    std::map<std::string, std::uint32_t> stored;  // section: ParameterValue
};

class Dcf : public ::testing::TestWithParam<DcfCase> {};

TEST_P(Dcf, ReadsBackAsConfigured)
{
    const DcfCase& c = GetParam();
    TempFolder folder("k400-dcf");
    std::vector<std::string> args{"eds",          "--profile",    "canopen", "--modules", "M38@3,M33@26,M45@7",
                                  "--output-dir", folder.string()};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const CommandRun run = RunK400(args);
    ASSERT_EQ(run.rc, 0) << run.err;

    const std::string stem = "COPn" + std::to_string(c.node);
    const DeviceFile eds = ParseDeviceFile(ReadFile(folder / (stem + ".eds")));
    const DeviceFile dcf = ParseDeviceFile(ReadFile(folder / (stem + ".dcf")));

    const DeviceFileSection* commissioning = FindSection(dcf, "DeviceComissioning");
    ASSERT_NE(commissioning, nullptr);
    EXPECT_EQ(Number(*commissioning->find("NodeID")), static_cast<std::uint32_t>(c.node));
    EXPECT_EQ(*commissioning->find("Baudrate"), std::to_string(c.kbps));
    EXPECT_EQ(*FindSection(dcf, "FileInfo")->find("LastEDS"), stem + ".eds");

    // Every object of the EDS, with the keys the format defines and counts that match.
    std::size_t objects = 0;
    for (std::size_t i = 0; i < dcf.size(); ++i) {
        const DeviceFileSection& s = dcf[i];
        if (s.name.find_first_not_of("0123456789ABCDEFsub") != std::string::npos)
            continue;
        ++objects;
        ASSERT_NE(FindSection(eds, s.name), nullptr) << s.name;
        for (const auto& [key, value] : s.keys)
            EXPECT_TRUE(ObjectKeys.count(key)) << s.name << ": " << key;
        if (const std::string* subs = s.find("SubNumber")) {
            std::size_t following = 0;
            while (i + 1 + following < dcf.size() && dcf[i + 1 + following].name.rfind(s.name + "sub", 0) == 0)
                ++following;
            EXPECT_EQ(std::stoul(*subs), following) << s.name;
        }
    }
    EXPECT_EQ(objects, static_cast<std::size_t>(std::count_if(eds.begin(), eds.end(), [](const auto& s) {
                  return s.name.find_first_not_of("0123456789ABCDEFsub") == std::string::npos;
              })));
    for (const char* list : {"MandatoryObjects", "OptionalObjects", "ManufacturerObjects"}) {
        const DeviceFileSection* s = FindSection(dcf, list);
        ASSERT_NE(s, nullptr) << list;
        EXPECT_EQ(*s->find("SupportedObjects"), std::to_string(s->keys.size() - 1)) << list;
    }

    const DeviceFileSection* info = FindSection(dcf, "DeviceInfo");
    EXPECT_EQ(Number(*FindSection(dcf, "1018sub1")->find("DefaultValue")), Number(*info->find("VendorNumber")));
    EXPECT_EQ(Number(*FindSection(dcf, "1018sub2")->find("DefaultValue")), Number(*info->find("ProductNumber")));
    EXPECT_EQ(Number(*FindSection(dcf, "1018sub3")->find("DefaultValue")), Number(*info->find("RevisionNumber")));

    for (const auto& [section, value] : c.stored) {
        const DeviceFileSection* s = FindSection(dcf, section);
        ASSERT_NE(s, nullptr) << section;
        ASSERT_NE(s->find("ParameterValue"), nullptr) << section;
        EXPECT_EQ(Number(*s->find("ParameterValue")), value) << section;
    }
    // Nothing the gateway does not hold claims a configured value.
    for (const DeviceFileSection& s : dcf) {
        if (s.find("ParameterValue") == nullptr)
            continue;
        EXPECT_TRUE(s.name.rfind("100C", 0) == 0 || s.name.rfind("100D", 0) == 0 || s.name.rfind("1017", 0) == 0 ||
                    (s.name >= "1400" && s.name < "1C00"))
            << s.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Configurations, Dcf,
    ::testing::Values(DcfCase{{"--node-id", "5", "--can-baud", "250", "--heartbeat", "500"},
                              5,
                              250,
                              {{"1017", 500}, {"1400sub1", 0x205}, {"1401sub1", 0x305}, {"1800sub1", 0x185}}},
                      DcfCase{{"--node-id", "127", "--can-baud", "1000", "--guard-time", "1000", "--life-factor", "3"},
                              127,
                              1000,
                              {{"100C", 1000}, {"100D", 3}, {"1400sub1", 0x27F}, {"1800sub1", 0x1FF}}}),
    [](const auto& info) { return "Node" + std::to_string(info.param.node); });

TEST(Dcf, NoDcfLeavesOnlyTheEds)
{
    TempFolder folder("k400-nodcf");
    const CommandRun run =
        RunK400({"eds", "--profile", "canopen", "--modules", "M38@3", "--no-dcf", "--output-dir", folder.string()});
    ASSERT_EQ(run.rc, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(folder / "COPn1.eds"));
    EXPECT_FALSE(std::filesystem::exists(folder / "COPn1.dcf"));
}

}  // namespace
}  // namespace k400::test
