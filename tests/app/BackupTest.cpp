// The backup file read back as written, refused when it is none, and which
// image words a comparison counts.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/Backup.h"

namespace k400 {
namespace {

// A CANopen configuration of node 5 with one module, as a backup holds it.
GatewayBackup Sample()
{
    GatewayBackup b;
    b.StoredImageValid = true;
    b.Modules = {{3, "M38", {0x40}, 6, 0}};
    b.Canopen = CanopenChoices{ErrorControlMode::NodeGuarding, 100, 3, 0};
    b.Image = {{0x01B40024, 16, 0x00050003, 0x07D80118, 0x0D2D0A00, 0x000300C8, 0, 0x00020000, 0, 0xFFFFFFFF},
               std::vector<std::uint32_t>(7, 0),
               {0x00006403, 0, 0x01010000, 0x00040E03}};
    std::string error;
    return ParseBackup(BackupText(b), error).value();  // with the settings the words give
}

TEST(BackupFile, ReadsBackWhatItWrote)
{
    const GatewayBackup b = Sample();
    EXPECT_EQ(b.Settings.NodeId, 5);
    std::string error;
    EXPECT_EQ(BackupText(ParseBackup(BackupText(b), error).value()), BackupText(b)) << error;
}

TEST(BackupFile, RefusesWhatIsNoBackup)
{
    const struct {
        const char* pointer;
        nlohmann::json value;
        const char* error;
    } cases[] = {
        {"/backup", 2, "backup: "},
        {"/image/connection", {0, 0}, "image.connection: expected 7 long words"},
        {"/modules/0/type_codes", nlohmann::json::array(), "one or two type codes"},
        {"/canopen/error_control", "polling", "\"polling\" is not heartbeat or node guarding"},
        {"/extra", 1, "unknown member \"extra\""},
    };
    for (const auto& c : cases) {
        auto file = nlohmann::json::parse(BackupText(Sample()));
        file[nlohmann::json::json_pointer(c.pointer)] = c.value;
        std::string error;
        EXPECT_FALSE(ParseBackup(file.dump(), error)) << c.pointer;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.pointer << ": " << error;
    }
}

TEST(CompareBackups, CountsWhatTheConfigurationHolds)
{
    const struct {
        const char* name;
        std::vector<std::uint32_t> StoredImage::*area;
        std::uint32_t index, value;
        bool deviceNet, counts;  // deviceNet: the gateway's configuration has the connection area
    } cases[] = {
        {"node ID", &StoredImage::Header, 2, 0x00060003, false, true},
        {"Finish date", &StoredImage::Header, 3, 0x07E80101, false, false},
        {"Finish time", &StoredImage::Header, 4, 0x01020300, false, false},
        {"offset 76", &StoredImage::Header, 9, 0, false, false},
        {"CANopen connection word", &StoredImage::Connection, 1, 0x01040000, false, false},
        {"DeviceNet connection word", &StoredImage::Connection, 1, 0x01040000, true, true},
        {"module entry", &StoredImage::Application, 3, 0x00040F03, false, true},
    };
    for (const auto& c : cases) {
        const GatewayBackup file = Sample();
        GatewayBackup gateway = file;
        (gateway.Image.*c.area)[c.index] = c.value;
        if (c.deviceNet)
            gateway.Image.Header[1] = (28u << 16) | 16;
        const BackupComparison comparison = CompareBackups(file, gateway);
        ASSERT_FALSE(comparison.Words.empty()) << c.name;
        EXPECT_EQ(comparison.Words.back().NotCounted == nullptr, c.counts) << c.name;
        EXPECT_EQ(comparison.Equal(), !c.counts && !c.deviceNet) << c.name;
    }
}

}  // namespace
}  // namespace k400
