// A noisy line or a dead gateway: first the procedures on the in-process
// simulated gateway with a fake clock, so that every time-out is instant;
// then the real executable against `k400gw sim` over a pseudo-terminal,
// with the scenarios in tests/data/faults.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "SimulatorProcess.h"
#include "canopen/CanopenConfiguration.h"
#include "devicenet/DeviceNetConfiguration.h"
#include "gateway/ConnectSequence.h"
#include "gateway/ConsoleLink.h"
#include "platform/Messages.h"
#include "sim/SimulatedPort.h"
#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"
#include "support/TestFiles.h"

namespace k400::test {
namespace {

namespace fs = std::filesystem;

enum class Profile { Canopen, DeviceNet };

constexpr const char* OldEdsText = "an EDS file of an earlier, successful Finish\r\n";

std::string EdsName(Profile profile)
{
    return profile == Profile::Canopen ? "COPn3.eds" : "TARNDNS 3.eds";  // node 3: the built-in gateway's
}

Scenario WithFault(FaultRule rule)
{
    Scenario scenario = BuiltInScenario();
    scenario.faults.push_back(std::move(rule));
    return scenario;
}

// One simulated gateway with everything the procedures need around it.
struct Rig {
    explicit Rig(Scenario scenario, LinkTiming timing = {})
        : port(std::move(scenario), clock), link(port, clock, ui, timing)
    {
    }

    ConnectOutcome Connect() { return RunConnectSequence(state, link); }

    FinishOutcome Finish(Profile profile, const fs::path& folder)
    {
        const auto finish = [&](auto configuration) {
            configuration.Load();
            return configuration.Finish(link, clock.localTime(), folder).outcome;
        };
        return profile == Profile::Canopen ? finish(CanopenConfiguration(state, ui))
                                           : finish(DeviceNetConfiguration(state, ui));
    }

    const std::vector<std::string>& Lines() const { return port.console().receivedLines(); }
    const EepromImage& Eeprom() const { return port.console().eeprom(); }

    FakeClock clock;
    RecordingUserInterface ui;
    SimulatedPort port;
    ConsoleLink link;
    ProgramState state;
};

// A connect and a Finish that must succeed: the lines sent, the time each
// took, and the EEPROM and the EDS file they leave.
struct Finished {
    std::vector<std::string> lines;
    std::size_t connectLines = 0;
    std::int64_t connectMs = 0, finishMs = 0;
    EepromImage eeprom{};
    std::string eds;
};

Finished ConnectAndFinish(Profile profile, Scenario scenario = BuiltInScenario(), LinkTiming timing = {})
{
    Finished run;
    Rig rig(std::move(scenario), timing);
    const TempFolder folder("k400-faults-run");
    std::int64_t start = rig.clock.nowMs();
    EXPECT_EQ(rig.Connect(), ConnectOutcome::Succeeded);
    EXPECT_EQ(rig.state.ModuleCount, 6);
    run.connectMs = rig.clock.nowMs() - start;
    run.connectLines = rig.Lines().size();
    start = rig.clock.nowMs();
    EXPECT_EQ(rig.Finish(profile, folder), FinishOutcome::Done);
    run.finishMs = rig.clock.nowMs() - start;
    run.lines = rig.Lines();
    run.eeprom = rig.Eeprom();
    run.eds = ReadFile(folder / EdsName(profile));
    EXPECT_FALSE(run.eds.empty());
    return run;
}

// Runs body(profile, folder) for each profile, each with an empty folder of its own.
template <typename Body>
void ForBothProfiles(Body body)
{
    for (const Profile profile : {Profile::Canopen, Profile::DeviceNet}) {
        SCOPED_TRACE(profile == Profile::Canopen ? "CANopen" : "DeviceNet");
        const TempFolder folder(profile == Profile::Canopen ? "k400-faults-canopen" : "k400-faults-devicenet");
        body(profile, folder);
    }
}

TEST(FaultInjection, EveryConnectStepWithheld)
{
    Rig clean(BuiltInScenario());
    ASSERT_EQ(clean.Connect(), ConnectOutcome::Succeeded);
    const std::vector<std::string> lines = clean.Lines();
    ASSERT_GT(lines.size(), 60u);

    // Ignored: the five recovery commands, and the three empty lines of the
    // scan set-up that only provoke a prompt (the second of the three after
    // "/timeout" must see its prompt).
    const auto com2 = static_cast<std::size_t>(std::find(lines.begin(), lines.end(), "use com2") - lines.begin());
    ASSERT_EQ(lines[com2 + 2], "/timeout 200");
    const std::vector<std::size_t> ignored = {1, 2, 3, 4, 5, com2 + 2, com2 + 4, com2 + 6};

    for (std::size_t n = 1; n <= lines.size(); ++n) {
        const std::string& line = lines[n - 1];
        SCOPED_TRACE("line " + std::to_string(n) + " \"" + line + "\"");
        Rig rig(WithFault(FaultRule::NoAnswerTo(CommandMatch::Nth(static_cast<int>(n)))));
        const ConnectOutcome outcome = rig.Connect();
        EXPECT_FALSE(rig.port.isOpen());
        EXPECT_FALSE(rig.state.GatewayBusy);
        EXPECT_FALSE(rig.ui.progressVisible);
        if (std::find(ignored.begin(), ignored.end(), n) != ignored.end()) {
            EXPECT_EQ(outcome, ConnectOutcome::Succeeded);
            EXPECT_EQ(rig.state.ModuleCount, clean.state.ModuleCount);
            EXPECT_EQ(rig.state.NodeId, clean.state.NodeId);
            continue;
        }
        EXPECT_EQ(outcome, ConnectOutcome::Failed);
        EXPECT_FALSE(rig.state.Connected);
        ASSERT_EQ(rig.ui.messages.size(), 1u);
        // A module that does not answer its query is reported as unsupported.
        EXPECT_EQ(rig.ui.messages[0].text, line[0] == '$' ? msg::ModuleNotSupported : msg::Timeout);
        EXPECT_EQ(rig.ui.messages[0].title, msg::ErrorTitle);
        EXPECT_EQ(rig.ui.status, msg::StatusTimeout);
    }
}

// Every line of a Finish withheld in turn; the first three (leaving whatever
// mode the console was in) are recovery steps whose answer is not needed.
TEST(FaultInjection, EveryFinishStepWithheld)
{
    ForBothProfiles([](Profile profile, const TempFolder& folder) {
        const Finished clean = ConnectAndFinish(profile);
        const std::size_t finishLines = clean.lines.size() - clean.connectLines;
        ASSERT_GT(finishLines, profile == Profile::Canopen ? 25u : 35u);
        const fs::path eds = folder / EdsName(profile);
        for (std::size_t k = 1; k <= finishLines; ++k) {
            const std::size_t n = clean.connectLines + k;
            SCOPED_TRACE("line " + std::to_string(n) + " \"" + clean.lines[n - 1] + "\"");
            Rig rig(WithFault(FaultRule::NoAnswerTo(CommandMatch::Nth(static_cast<int>(n)))));
            ASSERT_EQ(rig.Connect(), ConnectOutcome::Succeeded);
            WriteFile(eds, OldEdsText);
            fs::remove(folder / "COPn3.dcf");
            rig.ui.messages.clear();

            const FinishOutcome outcome = rig.Finish(profile, folder);
            EXPECT_FALSE(rig.port.isOpen());
            EXPECT_FALSE(rig.state.GatewayBusy);
            // Nothing but the EDS file (and, once CANopen finished, its DCF) ever appears in the folder.
            std::vector<std::string> files{EdsName(profile)};
            if (profile == Profile::Canopen && outcome == FinishOutcome::Done)
                files.insert(files.begin(), "COPn3.dcf");
            EXPECT_EQ(FolderEntries(folder), files);
            if (k <= 3) {
                EXPECT_EQ(outcome, FinishOutcome::Done);
                EXPECT_EQ(rig.ui.status, msg::StatusFinishDone);
                EXPECT_TRUE(ReadFile(eds) == clean.eds);
                EXPECT_TRUE(rig.Eeprom() == clean.eeprom);
                continue;
            }
            EXPECT_EQ(outcome, FinishOutcome::Timeout);
            ASSERT_EQ(rig.ui.messages.size(), 1u);
            // Once the first word is typed the box also says the configuration is incomplete.
            const std::string& text = rig.ui.messages[0].text;
            EXPECT_TRUE(text == msg::Timeout || text == std::string(msg::Timeout) + "\n" + msg::EepromIncomplete)
                << text;
            EXPECT_EQ(rig.ui.messages[0].title, "");
            EXPECT_EQ(rig.ui.status, msg::StatusTimeout);
            EXPECT_EQ(ReadFile(eds), OldEdsText);
        }
    });
}

// Replies that trickle in one byte per millisecond, or come with line noise
// before every prompt, configure the gateway exactly as a clean line does.
TEST(FaultInjection, TrickledAndNoisyRepliesGiveTheSameResult)
{
    ForBothProfiles([](Profile profile, const TempFolder&) {
        const Finished clean = ConnectAndFinish(profile);
        Scenario trickled = BuiltInScenario();
        trickled.splitBytes = 1;
        trickled.splitGapMs = 1;
        const Scenario noisy = WithFault(FaultRule::GarbageBeforePrompt(CommandMatch::Any(), "~ line noise ~"));
        for (const Scenario& rough : {trickled, noisy}) {
            const Finished run = ConnectAndFinish(profile, rough);
            EXPECT_TRUE(run.eeprom == clean.eeprom);
            EXPECT_TRUE(run.eds == clean.eds);
        }
    });
}

// Recovery steps the console has answered end once the line is quiet;
// strict timing waits out every time-out, with the same result.
TEST(FaultInjection, AnsweredRecoveryStepsEndEarly)
{
    ForBothProfiles([](Profile profile, const TempFolder&) {
        const Finished clean = ConnectAndFinish(profile);
        const Finished strict = ConnectAndFinish(profile, BuiltInScenario(), LinkTiming{.StrictTiming = true});
        EXPECT_TRUE(strict.eeprom == clean.eeprom);
        // At the top level "." never shows "[EEPROM:]" (connect); "/q" never
        // shows "]" and "." never shows "[EEPROM:]" (Finish).
        EXPECT_GE(strict.connectMs - clean.connectMs, 900);
        EXPECT_GE(strict.finishMs - clean.finishMs, 1800);
    });
}

// --- The real executable against `k400gw sim` over a pseudo-terminal ---

RunResult Configure(const std::string& port, const fs::path& folder, const char* paceMs)
{
    return RunK400(
        {"configure", "--port", port, "--profile", "canopen", "--output-dir", folder.string(), "--pace-ms", paceMs});
}

TEST(FaultInjectionOverAPseudoTerminal, FinishTimeoutOrVanishedDeviceWritesNoEdsFile)
{
    const TempFolder folder("k400-faults-pty");
    WriteFile(folder / "COPn1.eds", OldEdsText);
    for (const char* scenario : {"finish-no-answer.json", "vanish-during-scan.json"}) {
        SCOPED_TRACE(scenario);
        SimulatorProcess sim({"--scenario", TestData("faults/") + scenario});
        ASSERT_FALSE(sim.port.empty()) << sim.child.stderrText();
        const auto start = std::chrono::steady_clock::now();
        const RunResult run = Configure(sim.port, folder, "1");
        EXPECT_EQ(run.exitCode, 1) << run.err;
        EXPECT_NE(run.err.find(msg::Timeout), std::string::npos) << run.err;
        EXPECT_EQ(run.out.find(msg::StatusFinishDone), std::string::npos);
        EXPECT_EQ(ReadFile(folder / "COPn1.eds"), OldEdsText);
        EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"COPn1.eds"});
        if (std::string(scenario).starts_with("vanish")) {
            // A hung-up line ends the scan at once, not after its 15 s of silence.
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
            EXPECT_EQ(sim.child.wait(SimStartMs), 0) << "the simulator ends cleanly";
        }
    }
}

// A burst loses characters, a paced line does not; the paced run also shows
// that recovery brings back a console the burst left in any mode.
TEST(FaultInjectionOverAPseudoTerminal, PaceAgainstAConsoleThatDropsFastCharacters)
{
    const TempFolder folder("k400-faults-pty");
    SimulatorProcess sim({"--scenario", TestData("faults/drops-fast-characters.json")});
    ASSERT_FALSE(sim.port.empty()) << sim.child.stderrText();
    const RunResult burst = Configure(sim.port, folder, "0");
    EXPECT_EQ(burst.exitCode, 1) << burst.err;
    EXPECT_NE(burst.err.find(msg::Timeout), std::string::npos) << burst.err;
    EXPECT_TRUE(FolderEntries(folder).empty());

    // Generous pace: the simulator judges arrival by its own reads, and a busy
    // machine may delay those; a run the machine spoiled is tried again.
    RunResult paced;
    for (int attempt = 0; attempt < 3 && paced.exitCode != 0; ++attempt)
        paced = Configure(sim.port, folder, "25");
    EXPECT_EQ(paced.exitCode, 0) << paced.err;
    EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{"COPn1.dcf", "COPn1.eds"}));
}

}  // namespace
}  // namespace k400::test
