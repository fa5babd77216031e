// A noisy line, a dead gateway or a bad output folder: every console step of
// the connect sequence and of both Finish procedures has its answer withheld
// in turn, and the run must end with the right message, the port closed, the
// busy flag cleared and no EDS file (an older one left as it was). Runs on the
// in-process simulated gateway with a fake clock, so each time-out is instant.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "gateway/ProfileFinish.h"
#include "gateway/ProgramState.h"
#include "app/Settings.h"
#include "canopen/CanopenWindow.h"
#include "devicenet/DeviceNetWindow.h"
#include "gateway/ConnectSequence.h"
#include "gateway/ConsoleLink.h"
#include "sim/SimulatedPort.h"
#include "support/ChildProcess.h"
#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"

namespace k400::test {
namespace {

namespace fs = std::filesystem;

enum class Profile { Canopen, DeviceNet };

constexpr const char* OldEdsText = "an EDS file of an earlier, successful Finish\r\n";

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> FolderEntries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// One simulated gateway with everything the procedures need around it.
struct Rig {
    explicit Rig(Scenario scenario, int paceMs = -1)
    {
        port = std::make_unique<SimulatedPort>(std::move(scenario), clock);
        port->setPortName("COM1");
        link = std::make_unique<ConsoleLink>(*port, clock, ui);
        if (paceMs >= 0)
            link->PaceMs = paceMs;
    }

    ConnectOutcome Connect() { return RunConnectSequence(state, panel, *link); }

    // Opens the profile's window and runs Finish into folder.
    FinishOutcome Finish(Profile profile, const fs::path& folder)
    {
        if (profile == Profile::Canopen) {
            CanopenWindow window(state, ui);
            window.Load();
            const auto result = window.Finish(*link, clock, folder);
            frame1Enabled = window.view().Frame1Enabled;
            switch (result.status) {
            case CanopenFinishStatus::Done:
                return FinishOutcome::Done;
            case CanopenFinishStatus::Timeout:
                return FinishOutcome::Timeout;
            case CanopenFinishStatus::EdsFailed:
                return FinishOutcome::EdsFailed;
            case CanopenFinishStatus::PortNotOpened:
                return FinishOutcome::PortNotOpened;
            default:
                return FinishOutcome::Busy;
            }
        }
        DeviceNetWindow window(state, ui);
        window.Load();
        const auto result = window.Finish(*link, folder);
        frame1Enabled = window.Frame1Enabled();
        finishEnabled = window.FinishEnabled();
        return result.outcome;
    }

    const std::vector<std::string>& Lines() const { return port->console().receivedLines(); }

    FakeClock clock;
    RecordingUserInterface ui;
    std::unique_ptr<SimulatedPort> port;
    std::unique_ptr<ConsoleLink> link;
    ProgramState state;
    ParameterPanel panel;
    bool frame1Enabled = true;
    bool finishEnabled = true;
};

Scenario WithFault(Scenario scenario, FaultRule rule)
{
    scenario.faults.push_back(std::move(rule));
    return scenario;
}

class FaultInjection : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("k400-faults-" + std::to_string(::getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    static fs::path EdsName(Profile profile, int node)
    {
        return profile == Profile::Canopen ? "COPn" + std::to_string(node) + ".eds"
                                           : "TARNDNS " + std::to_string(node) + ".eds";
    }

    // A clean connect and Finish: the lines each sends and the EEPROM after it.
    struct Reference {
        std::vector<std::string> lines;
        std::size_t connectLines = 0;
        EepromImage eeprom{};
        std::string eds;
    };
    Reference CleanRun(Profile profile, const Scenario& scenario)
    {
        Reference ref;
        Rig rig(scenario);
        EXPECT_EQ(rig.Connect(), ConnectOutcome::Succeeded);
        ref.connectLines = rig.Lines().size();
        const fs::path clean = folder / "clean";
        fs::create_directories(clean);
        EXPECT_EQ(rig.Finish(profile, clean), FinishOutcome::Done);
        ref.lines = rig.Lines();
        ref.eeprom = rig.port->console().eeprom();
        ref.eds = ReadFile(clean / EdsName(profile, rig.state.NodeId));
        fs::remove_all(clean);
        return ref;
    }

    // Every line of a Finish withheld in turn; the first three (leaving
    // whatever mode the console was in) are recovery steps whose answer is not needed.
    void WithholdEveryFinishStep(Profile profile)
    {
        const Scenario scenario = BuiltInScenario();
        const Reference ref = CleanRun(profile, scenario);
        const std::size_t finishLines = ref.lines.size() - ref.connectLines;
        ASSERT_GT(finishLines, profile == Profile::Canopen ? 25u : 35u);
        const fs::path eds = folder / EdsName(profile, 3);

        for (std::size_t k = 1; k <= finishLines; ++k) {
            const std::size_t n = ref.connectLines + k;
            SCOPED_TRACE("line " + std::to_string(n) + " \"" + ref.lines[n - 1] + "\"");
            Rig rig(WithFault(scenario, FaultRule::NoAnswerTo(CommandMatch::Nth(static_cast<int>(n)))));
            ASSERT_EQ(rig.Connect(), ConnectOutcome::Succeeded);
            ASSERT_EQ(rig.state.NodeId, 3);
            { std::ofstream(eds, std::ios::binary) << OldEdsText; }
            rig.ui.messages.clear();

            const FinishOutcome outcome = rig.Finish(profile, folder);
            EXPECT_FALSE(rig.port->isOpen());
            EXPECT_FALSE(rig.state.GatewayBusy);
            // Nothing but the EDS file ever appears in the folder.
            EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{eds.filename().string()});
            if (k <= 3) {
                EXPECT_EQ(outcome, FinishOutcome::Done);
                EXPECT_EQ(rig.ui.status, FinishDoneStatus);
                EXPECT_TRUE(ReadFile(eds) == ref.eds);
                EXPECT_TRUE(rig.port->console().eeprom() == ref.eeprom);
                continue;
            }
            EXPECT_EQ(outcome, FinishOutcome::Timeout);
            ASSERT_EQ(rig.ui.messages.size(), 1u);
            EXPECT_EQ(rig.ui.messages[0].text, "Timeout");
            EXPECT_EQ(rig.ui.messages[0].title, "");
            EXPECT_EQ(rig.ui.status, "Timeout");
            EXPECT_EQ(ReadFile(eds), OldEdsText);
            EXPECT_FALSE(rig.frame1Enabled);
            if (profile == Profile::DeviceNet) {
                EXPECT_FALSE(rig.finishEnabled);
            }
        }
    }

    fs::path folder;
};

TEST_F(FaultInjection, EveryConnectStepWithheld)
{
    const Scenario scenario = BuiltInScenario();
    Rig clean(scenario);
    ASSERT_EQ(clean.Connect(), ConnectOutcome::Succeeded);
    const std::vector<std::string> lines = clean.Lines();
    ASSERT_GT(lines.size(), 60u);

    // Ignored: the five recovery commands, and the three empty lines of the
    // scan set-up that only provoke a prompt (the second of the three after
    // "/timeout" must see its prompt).
    const auto com2 = std::find(lines.begin(), lines.end(), "use com2") - lines.begin();
    ASSERT_EQ(lines[static_cast<std::size_t>(com2) + 2], "/timeout 200");
    const std::vector<std::size_t> ignored = {1, 2, 3, 4, 5, static_cast<std::size_t>(com2) + 2,
                                              static_cast<std::size_t>(com2) + 4, static_cast<std::size_t>(com2) + 6};

    for (std::size_t n = 1; n <= lines.size(); ++n) {
        const std::string& line = lines[n - 1];
        SCOPED_TRACE("line " + std::to_string(n) + " \"" + line + "\"");
        Rig rig(WithFault(scenario, FaultRule::NoAnswerTo(CommandMatch::Nth(static_cast<int>(n)))));
        const ConnectOutcome outcome = rig.Connect();
        EXPECT_FALSE(rig.port->isOpen());
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
        EXPECT_EQ(rig.ui.messages[0].text, line[0] == '$' ? "This modules is not supported!" : "Timeout");
        EXPECT_EQ(rig.ui.messages[0].title, "Error");
        EXPECT_EQ(rig.ui.status, "Timeout");
    }
}

TEST_F(FaultInjection, EveryCanopenFinishStepWithheld)
{
    WithholdEveryFinishStep(Profile::Canopen);
}

TEST_F(FaultInjection, EveryDeviceNetFinishStepWithheld)
{
    WithholdEveryFinishStep(Profile::DeviceNet);
}

// Replies that trickle in one byte per millisecond, or with line noise before
// every prompt, configure the gateway exactly as a clean line does.
TEST_F(FaultInjection, TrickledAndNoisyRepliesGiveTheSameResult)
{
    Scenario trickled = BuiltInScenario();
    trickled.splitBytes = 1;
    trickled.splitGapMs = 1;
    const Scenario noisy =
        WithFault(BuiltInScenario(), FaultRule::GarbageBeforePrompt(CommandMatch::Any(), "~ line noise ~"));

    for (const Profile profile : {Profile::Canopen, Profile::DeviceNet}) {
        const Reference ref = CleanRun(profile, BuiltInScenario());
        for (const Scenario& scenario : {trickled, noisy}) {
            Rig rig(scenario);
            ASSERT_EQ(rig.Connect(), ConnectOutcome::Succeeded);
            EXPECT_EQ(rig.state.ModuleCount, 6);
            EXPECT_FALSE(rig.state.StoredImageInvalid);
            ASSERT_EQ(rig.Finish(profile, folder), FinishOutcome::Done);
            EXPECT_TRUE(rig.port->console().eeprom() == ref.eeprom);
            EXPECT_TRUE(ReadFile(folder / EdsName(profile, 3)) == ref.eds);
        }
    }
}

// Recovery steps that the console has answered end once the line is quiet
// instead of waiting out the time-out; the gateway ends up configured the
// same, and a console left in any mode is still brought back.
TEST_F(FaultInjection, AnsweredRecoveryStepsEndEarly)
{
    struct Timing {
        std::int64_t connectMs = 0;
        std::int64_t finishMs = 0;
        EepromImage eeprom{};
    };
    const auto run = [&](bool strict, Profile profile) {
        Rig rig(BuiltInScenario());
        rig.link->StrictTiming = strict;
        Timing t;
        std::int64_t start = rig.clock.nowMs();
        EXPECT_EQ(rig.Connect(), ConnectOutcome::Succeeded);
        t.connectMs = rig.clock.nowMs() - start;
        start = rig.clock.nowMs();
        EXPECT_EQ(rig.Finish(profile, folder), FinishOutcome::Done);
        t.finishMs = rig.clock.nowMs() - start;
        t.eeprom = rig.port->console().eeprom();
        return t;
    };
    for (const Profile profile : {Profile::Canopen, Profile::DeviceNet}) {
        const Timing strict = run(true, profile);
        const Timing fast = run(false, profile);
        // At the top level "." never shows "[EEPROM:]" (connect); "/q" never
        // shows "]" and "." never shows "[EEPROM:]" (Finish).
        EXPECT_GE(strict.connectMs - fast.connectMs, 900);
        EXPECT_GE(strict.finishMs - fast.finishMs, 1800);
        EXPECT_TRUE(strict.eeprom == fast.eeprom);
    }

    // Left in the value editor, in a running scan, in the COM2 sub-mode.
    for (const char* left : {"use eeprom\rblock 0\rel 40\r", "use com2\r/scan\r", "use com2\r"}) {
        SCOPED_TRACE(left);
        Rig rig(BuiltInScenario());
        const EepromImage before = rig.port->console().eeprom();
        rig.port->open();
        rig.port->write(left);
        rig.clock.advance(30);
        rig.port->readAll();
        ASSERT_EQ(rig.Connect(), ConnectOutcome::Succeeded);
        EXPECT_EQ(rig.state.ModuleCount, 6);
        EXPECT_FALSE(rig.state.StoredImageInvalid);
        EXPECT_TRUE(rig.port->console().eeprom() == before);
    }
}

// A console that loses a character arriving right behind the one before:
// sent as a burst, commands arrive garbled and nothing is recognised; the
// default pace gives it the time it needs.
TEST_F(FaultInjection, PacingIsNeededAgainstAConsoleThatDropsFastCharacters)
{
    Scenario slowConsole = BuiltInScenario();
    slowConsole.dropWithinMs = 3;

    Rig burst(slowConsole, 0);
    EXPECT_EQ(burst.Connect(), ConnectOutcome::Failed);
    EXPECT_EQ(burst.ui.status, "Timeout");
    EXPECT_FALSE(burst.port->isOpen());

    Rig paced(slowConsole);
    ASSERT_EQ(paced.Connect(), ConnectOutcome::Succeeded);
    EXPECT_EQ(paced.state.ModuleCount, 6);
    EXPECT_EQ(paced.Finish(Profile::Canopen, folder), FinishOutcome::Done);
    EXPECT_TRUE(fs::exists(folder / EdsName(Profile::Canopen, 3)));
}

TEST_F(FaultInjection, DeviceVanishingMidDialogue)
{
    Rig duringScan(WithFault(BuiltInScenario(), FaultRule::VanishAt(CommandMatch::Line("/scan"))));
    EXPECT_EQ(duringScan.Connect(), ConnectOutcome::Failed);
    EXPECT_EQ(duringScan.ui.status, "Timeout");
    EXPECT_FALSE(duringScan.state.GatewayBusy);
    EXPECT_FALSE(duringScan.port->isOpen());

    for (const Profile profile : {Profile::Canopen, Profile::DeviceNet}) {
        // "block 2" is sent once by the connect (reading a valid image) and
        // once by Finish.
        Rig rig(WithFault(BuiltInScenario(), FaultRule::VanishAt(CommandMatch::Line("block 2", 2))));
        ASSERT_EQ(rig.Connect(), ConnectOutcome::Succeeded);
        { std::ofstream(folder / EdsName(profile, 3), std::ios::binary) << OldEdsText; }
        EXPECT_EQ(rig.Finish(profile, folder), FinishOutcome::Timeout);
        EXPECT_EQ(rig.ui.status, "Timeout");
        EXPECT_FALSE(rig.state.GatewayBusy);
        EXPECT_FALSE(rig.port->isOpen());
        EXPECT_EQ(ReadFile(folder / EdsName(profile, 3)), OldEdsText);
    }
}

// The image reaches the gateway, the file cannot: an error, never the success text.
TEST_F(FaultInjection, OutputFolderThatCannotBeWritten)
{
    const fs::path notAFolder = folder / "plain-file";
    { std::ofstream(notAFolder) << "x"; }
    for (const Profile profile : {Profile::Canopen, Profile::DeviceNet}) {
        Rig rig(BuiltInScenario());
        ASSERT_EQ(rig.Connect(), ConnectOutcome::Succeeded);
        rig.ui.messages.clear();
        EXPECT_EQ(rig.Finish(profile, notAFolder / "eds"), FinishOutcome::EdsFailed);
        ASSERT_EQ(rig.ui.messages.size(), 1u);
        EXPECT_FALSE(rig.ui.messages[0].text.empty());
        EXPECT_NE(rig.ui.status, FinishDoneStatus);
        EXPECT_FALSE(rig.state.GatewayBusy);
        EXPECT_FALSE(rig.port->isOpen());
        EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"plain-file"});
    }
}

// A connect that cannot open the port leaves the earlier connection and its
// data alone; one that fails later starts from scratch and is not connected.
TEST_F(FaultInjection, FailedReconnectKeepsOrDropsTheEarlierConnection)
{
    Rig rig(BuiltInScenario());
    ASSERT_EQ(rig.Connect(), ConnectOutcome::Succeeded);
    rig.port->failNextOpen({PortOpenError::Kind::Occupied, "in use"});
    EXPECT_EQ(rig.Connect(), ConnectOutcome::PortNotOpened);
    EXPECT_TRUE(rig.state.Connected);
    EXPECT_EQ(rig.state.ModuleCount, 6);
    EXPECT_EQ(rig.ui.status, "COM 1 has been occupied");
    EXPECT_FALSE(rig.state.GatewayBusy);

    // The same gateway, now silent from the next line on.
    Rig silent(WithFault(BuiltInScenario(), FaultRule::VanishAt(CommandMatch::Nth(70))));
    ASSERT_EQ(silent.Connect(), ConnectOutcome::Succeeded);
    ASSERT_LT(silent.Lines().size(), 70u);
    EXPECT_EQ(silent.Connect(), ConnectOutcome::Failed);
    EXPECT_FALSE(silent.state.Connected);
    EXPECT_FALSE(silent.state.GatewayBusy);
    EXPECT_FALSE(silent.port->isOpen());
}

// A listing the module table cannot hold, or an address that is no number:
// the connect stops with its message instead of overrunning the table or
// storing a wrong module.
TEST_F(FaultInjection, ListingsTheModuleTableCannotTake)
{
    Scenario fifteen = BuiltInScenario();
    fifteen.modules.clear();
    for (int address = 1; address <= 15; ++address) {
        SimModule m;
        m.address = address;
        m.model = "M44";
        m.typeCode = 0x40;
        fifteen.modules.push_back(m);
    }
    const auto listing = [](Scenario scenario, const char* extra) {
        return WithFault(std::move(scenario), FaultRule::GarbageBeforePrompt(CommandMatch::Line("/scan"), extra));
    };

    Rig sixteen(listing(fifteen, "!10M44{T40 B06 F00}\r\n"));
    EXPECT_EQ(sixteen.Connect(), ConnectOutcome::Failed);
    ASSERT_EQ(sixteen.ui.messages.size(), 1u);
    EXPECT_EQ(sixteen.ui.messages[0].title, "Error");
    EXPECT_EQ(sixteen.ui.status, "Scanning Process Stop");
    EXPECT_FALSE(sixteen.state.Connected);
    EXPECT_FALSE(sixteen.port->isOpen());

    Rig garbled(listing(BuiltInScenario(), "!G1M44{T40 B06 F00}\r\n"));
    EXPECT_EQ(garbled.Connect(), ConnectOutcome::Failed);
    EXPECT_EQ(garbled.ui.status, "Scanning Process Stop");
    EXPECT_FALSE(garbled.state.GatewayBusy);
}

// The EDS file's name is taken by a folder: the rename fails, the error is
// shown, and the temporary file does not stay behind.
TEST_F(FaultInjection, EdsNameTakenByAFolder)
{
    for (const Profile profile : {Profile::Canopen, Profile::DeviceNet}) {
        fs::create_directory(folder / EdsName(profile, 3));
        Rig rig(BuiltInScenario());
        ASSERT_EQ(rig.Connect(), ConnectOutcome::Succeeded);
        rig.ui.messages.clear();
        EXPECT_EQ(rig.Finish(profile, folder), FinishOutcome::EdsFailed);
        ASSERT_EQ(rig.ui.messages.size(), 1u);
        EXPECT_NE(rig.ui.status, FinishDoneStatus);
        EXPECT_FALSE(rig.state.GatewayBusy);
        EXPECT_TRUE(fs::is_directory(folder / EdsName(profile, 3)));
        fs::remove(folder / EdsName(profile, 3));
        EXPECT_TRUE(FolderEntries(folder).empty());
    }
}

// --- The real executable against `k400gw sim` over a pseudo-terminal ---

constexpr int SimStartMs = 10000;
constexpr int RunLimitMs = 90000;

std::string FaultScenario(const char* name)
{
    return std::string(K400_TEST_DATA_DIR) + "/faults/" + name;
}

class SimOverPty {
public:
    explicit SimOverPty(const std::string& scenario)
        : child_({K400GW_EXE, "sim", "--scenario", scenario})
    {
        if (auto line = child_.readLine(SimStartMs))
            device_ = *line;
    }
    const std::string& device() const { return device_; }
    ChildProcess& child() { return child_; }

private:
    ChildProcess child_;
    std::string device_;
};

RunResult Configure(const std::string& device, const fs::path& folder, std::vector<std::string> extra = {})
{
    std::vector<std::string> argv = {K400GW_EXE, "configure", "--port", device, "--profile", "canopen",
                                     "--output-dir", folder.string()};
    argv.insert(argv.end(), extra.begin(), extra.end());
    return RunProcess(argv, RunLimitMs);
}

TEST_F(FaultInjection, CommandLineFinishTimeoutKeepsTheOlderEdsFile)
{
    SimOverPty sim(FaultScenario("finish-no-answer.json"));
    ASSERT_FALSE(sim.device().empty()) << sim.child().stderrText();
    const fs::path eds = folder / "COPn1.eds";
    { std::ofstream(eds, std::ios::binary) << OldEdsText; }

    const RunResult run = Configure(sim.device(), folder, {"--pace-ms", "1"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.err.find("Timeout"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find(FinishDoneStatus), std::string::npos);
    EXPECT_EQ(ReadFile(eds), OldEdsText);
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"COPn1.eds"});
}

TEST_F(FaultInjection, CommandLineSurvivesTheDeviceVanishing)
{
    SimOverPty sim(FaultScenario("vanish-during-scan.json"));
    ASSERT_FALSE(sim.device().empty()) << sim.child().stderrText();

    const RunResult run = Configure(sim.device(), folder, {"--pace-ms", "1"});
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.err.find("Timeout"), std::string::npos) << run.err;
    EXPECT_TRUE(FolderEntries(folder).empty());
    EXPECT_EQ(sim.child().wait(SimStartMs), 0);
}

// Over a real line: a burst loses characters, a paced line does not. The
// second run also shows that recovery brings back a console left in any mode.
TEST_F(FaultInjection, CommandLinePaceAgainstAConsoleThatDropsFastCharacters)
{
    SimOverPty sim(FaultScenario("drops-fast-characters.json"));
    ASSERT_FALSE(sim.device().empty()) << sim.child().stderrText();

    const RunResult burst = Configure(sim.device(), folder, {"--pace-ms", "0"});
    EXPECT_EQ(burst.exitCode, 1) << burst.err;
    EXPECT_NE(burst.err.find("Timeout"), std::string::npos) << burst.err;
    EXPECT_TRUE(FolderEntries(folder).empty());

    // Generous pace: the simulator judges arrival by its own reads, and a busy
    // machine may delay those; a run the machine spoiled is tried again.
    RunResult paced;
    for (int attempt = 0; attempt < 3 && paced.exitCode != 0; ++attempt)
        paced = Configure(sim.device(), folder, {"--pace-ms", "25"});
    EXPECT_EQ(paced.exitCode, 0) << paced.err;
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"COPn1.eds"});
}

TEST_F(FaultInjection, CommandLineRefusesAnOutputFolderThatCannotBeWritten)
{
    const fs::path notAFolder = folder / "plain-file";
    { std::ofstream(notAFolder) << "x"; }
    const RunResult run = Configure("sim", notAFolder / "eds", {"--pace-ms", "0"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find((notAFolder / "eds").string()), std::string::npos) << run.err;
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"plain-file"});
}

// The documented timing stays available: every recovery step waits out its
// time-out, and the result is the same.
TEST_F(FaultInjection, CommandLineStrictTimingConfiguresTheSame)
{
    const fs::path strict = folder / "strict";
    const fs::path fast = folder / "fast";
    fs::create_directories(strict);
    fs::create_directories(fast);
    const RunResult a = Configure("sim", strict, {"--pace-ms", "0", "--strict-timing"});
    const RunResult b = Configure("sim", fast, {"--pace-ms", "0"});
    ASSERT_EQ(a.exitCode, 0) << a.err;
    ASSERT_EQ(b.exitCode, 0) << b.err;
    EXPECT_EQ(FolderEntries(strict), std::vector<std::string>{"COPn3.eds"});
    EXPECT_EQ(FolderEntries(fast), std::vector<std::string>{"COPn3.eds"});
}

}  // namespace
}  // namespace k400::test
