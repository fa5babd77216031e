#include "sim/PtySimulator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sstream>
#include <thread>
#include <unistd.h>

#include "support/TestFiles.h"

namespace k400::test {
namespace {

namespace fs = std::filesystem;

// A client that talks to the device with plain POSIX calls, as a serial port user would.
class Client {
public:
    explicit Client(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {}
    ~Client() { close(); }
    bool ok() const { return fd_ >= 0; }
    void close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    void send(const std::string& line) { ASSERT_EQ(::write(fd_, line.data(), line.size()), static_cast<ssize_t>(line.size())); }

    // Reads until the marker shows up, the device hangs up or the time is up.
    std::string readUntil(const std::string& marker, int timeoutMs = 5000)
    {
        std::string text;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (text.find(marker) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                break;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0)
                break;
            char buffer[512];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0) {
                hungUp = true;
                break;
            }
            text.append(buffer, static_cast<std::size_t>(n));
        }
        return text;
    }

    bool hungUp = false;

private:
    int fd_ = -1;
};

// Runs a server in a thread for the duration of a test.
class Server {
public:
    Server(Scenario scenario, PtySimulatorOptions options) : simulator(std::move(scenario), std::move(options)) {}
    bool start()
    {
        std::string error;
        if (!simulator.open(error)) {
            ADD_FAILURE() << error;
            return false;
        }
        thread = std::thread([this] { rc = simulator.serve(log); });
        return true;
    }
    int stop()
    {
        simulator.requestStop();
        if (thread.joinable())
            thread.join();
        return rc;
    }
    ~Server() { stop(); }

    PtySimulator simulator;
    std::ostringstream log;
    std::thread thread;
    int rc = -1;
};

TEST(PtySimulator, ServesTheConsoleAndWritesEepromChanges)
{
    TempFolder dir("k400sim-pty");
    const std::string eepromFile = (dir / "eeprom.json").string();
    Server server(BuiltInScenario(), {"", "", eepromFile});
    ASSERT_TRUE(server.start());
    ASSERT_TRUE(fs::exists(eepromFile)) << "the starting EEPROM is written at once";

    Client client(server.simulator.devicePath());
    ASSERT_TRUE(client.ok());
    client.send("exit\r");
    EXPECT_NE(client.readUntil("K400E>").find("K400E>"), std::string::npos);
    client.send("use eeprom\r");
    client.readUntil("[EEPROM:]");
    client.send("block 0\r");
    client.readUntil("[EEPROM:]");
    client.send("el 40\r");
    EXPECT_NE(client.readUntil("-->").find("Long(40)=28573732-->"), std::string::npos);
    client.send("-5\r");
    EXPECT_NE(client.readUntil("-->").find("Long(44)="), std::string::npos);

    std::string error;
    const auto saved = LoadEepromFile(eepromFile, error);
    ASSERT_TRUE(saved) << error;
    EXPECT_EQ((*saved)[0][10], 0xFFFFFFFBu);
    EXPECT_EQ(server.stop(), 0);
}

TEST(PtySimulator, KeepsServingTheNextOpenerAndCleansUpItsLink)
{
    TempFolder dir("k400sim-pty");
    const std::string link = (dir / "gateway").string();
    {
        Server server(BuiltInScenario(), {"", link, ""});
        ASSERT_TRUE(server.start());
        ASSERT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(fs::read_symlink(link).string(), server.simulator.devicePath());
        {
            Client first(link);
            ASSERT_TRUE(first.ok());
            first.send("use com2\r");
            EXPECT_NE(first.readUntil("[COM2:]").find("[COM2:]"), std::string::npos);
        }
        Client second(link);
        ASSERT_TRUE(second.ok());
        // The gateway kept its mode: the second client finds it in the COM2 sub-mode.
        second.send("/q\r");
        EXPECT_NE(second.readUntil("K400E>").find("K400E>"), std::string::npos);
        EXPECT_EQ(server.stop(), 0);
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << "the link goes with the server";
}

TEST(PtySimulator, HonoursDelayedAndSplitReplies)
{
    Scenario s;
    s.splitBytes = 1;
    s.splitGapMs = 1;
    s.faults.push_back(FaultRule::DelayReply(CommandMatch::Line("use eeprom"), 300));
    Server server(s, {});
    ASSERT_TRUE(server.start());
    Client client(server.simulator.devicePath());
    ASSERT_TRUE(client.ok());
    client.send("exit\r");
    EXPECT_EQ(client.readUntil("K400E>"), "\r\nK400E>");
    const auto start = std::chrono::steady_clock::now();
    client.send("use eeprom\r");
    EXPECT_EQ(client.readUntil("[EEPROM:]"), "\r\n[EEPROM:]");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
}

TEST(PtySimulator, VanishClosesTheDeviceAndEndsTheServer)
{
    TempFolder dir("k400sim-pty");
    const std::string link = (dir / "gateway").string();
    Scenario s;
    s.faults.push_back(FaultRule::VanishAt(CommandMatch::Line("use com2")));
    Server server(s, {"", link, ""});
    ASSERT_TRUE(server.start());
    Client client(link);
    ASSERT_TRUE(client.ok());
    client.send("exit\r");
    client.readUntil("K400E>");
    client.send("use com2\r");
    const std::string rest = client.readUntil("[COM2:]", 3000);
    EXPECT_EQ(rest.find("[COM2:]"), std::string::npos);
    EXPECT_TRUE(client.hungUp) << "the device disappeared under the client";
    server.thread.join();
    EXPECT_EQ(server.rc, 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

TEST(PtySimulatorRun, RefusesBadScenarioAndARealFileAtTheLinkPath)
{
    TempFolder dir("k400sim-pty");
    std::ostringstream out, err;
    EXPECT_EQ(RunPtySimulator({(dir / "missing.json").string(), "", ""}, out, err), 1);
    EXPECT_NE(err.str().find("missing.json"), std::string::npos);
    EXPECT_TRUE(out.str().empty());

    const fs::path precious = dir / "precious.txt";
    WriteFile(precious, "keep me");
    std::ostringstream out2, err2;
    EXPECT_EQ(RunPtySimulator({"", precious.string(), ""}, out2, err2), 1);
    EXPECT_NE(err2.str().find("not a symbolic link"), std::string::npos);
    EXPECT_EQ(fs::file_size(precious), 7u);
}

TEST(PtySimulatorRun, PrintsTheDeviceFirstAndStopsOnSigterm)
{
    TempFolder dir("k400sim-pty");
    const std::string link = (dir / "gateway").string();
    std::ostringstream out, err;
    int rc = -1;
    std::thread server([&] { rc = RunPtySimulator({"", link, ""}, out, err); });
    for (int i = 0; i < 500 && !fs::is_symlink(link); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(fs::is_symlink(link));
    const std::string device = fs::read_symlink(link).string();
    ::kill(::getpid(), SIGTERM);
    server.join();
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(out.str(), device + "\n");
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

}  // namespace
}  // namespace k400::test
