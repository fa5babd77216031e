// Golden console transcripts: the whole dialogue of a connect and of each
// profile's Finish with the simulated demo gateway, one step a line (kind,
// command, the marker it waited for, outcome; no times). A changed, dropped
// or reordered command, a different typed image word or a different marker
// fails the test. After an intended change of the dialogue, regenerate the
// files and review their diff before committing:
//   K400_UPDATE_GOLDEN=1 build/tests/test_app --gtest_filter='Transcript.*'

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "canopen/CanopenConfiguration.h"
#include "devicenet/DeviceNetConfiguration.h"
#include "gateway/ConnectSequence.h"
#include "support/SimulatedGateway.h"

namespace k400::test {
namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class Transcript : public ::testing::Test {
protected:
    void Connect()
    {
        gateway.state = ProgramState{};
        ASSERT_EQ(RunConnectSequence(gateway.state, gateway.link), ConnectOutcome::Succeeded);
    }
    // Quoted, so that the empty command shows; a command never holds a line
    // end, so one step stays one line.
    void Record()
    {
        gateway.link.StepObserver = [this](const LinkStep& step) {
            static const char* const kinds[] = {"expect", "ignored", "scan", "value"};
            recorded += std::string(kinds[static_cast<int>(step.kind)]) + " \"" + step.command + "\" \"" + step.marker +
                        (step.ok ? "\" ok\n" : "\" failed\n");
        };
    }
    template <typename Configuration>
    void Finish(const std::string& name)
    {
        ASSERT_NO_FATAL_FAILURE(Connect());
        Configuration configuration(gateway.state, gateway.ui);
        ASSERT_TRUE(configuration.Load());
        Record();
        ASSERT_TRUE(configuration.Finish(gateway.link, gateway.clock.local, gateway.folder).done());
        ExpectGolden(name);
    }
    void ExpectGolden(const std::string& name)
    {
        const auto path = std::filesystem::path(K400_TEST_DATA_DIR) / "transcripts" / (name + ".txt");
        const char* update = std::getenv("K400_UPDATE_GOLDEN");
        if (update && std::string(update) == "1")
            WriteFile(path, recorded);
        ASSERT_TRUE(std::filesystem::exists(path)) << path << " is missing; K400_UPDATE_GOLDEN=1 writes it";
        const auto golden = Lines(ReadFile(path)), steps = Lines(recorded);
        const auto [g, s] = std::mismatch(golden.begin(), golden.end(), steps.begin(), steps.end());
        if (g != golden.end() || s != steps.end())
            ADD_FAILURE() << name << " transcript differs from " << path << " at step " << g - golden.begin() + 1
                          << " of " << golden.size() << " (" << steps.size()
                          << " recorded)\n  golden:   " << (g != golden.end() ? *g : "(end)")
                          << "\n  recorded: " << (s != steps.end() ? *s : "(end)");
    }

    SimulatedGateway gateway{"transcript"};
    std::string recorded;
};

TEST_F(Transcript, Connect)
{
    Record();
    ASSERT_NO_FATAL_FAILURE(Connect());
    ExpectGolden("connect");
}

TEST_F(Transcript, CanopenFinish)
{
    Finish<CanopenConfiguration>("canopen-finish");
}

TEST_F(Transcript, DeviceNetFinish)
{
    Finish<DeviceNetConfiguration>("devicenet-finish");
}

}  // namespace
}  // namespace k400::test
