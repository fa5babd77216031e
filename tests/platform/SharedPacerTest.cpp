// One thread pacing the lines of several sessions at once, in real time.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/SharedPacer.h"

namespace k400 {
namespace {

using Steady = std::chrono::steady_clock;

double MsBetween(Steady::time_point a, Steady::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

struct Session {
    struct Write {
        Steady::time_point at;
        char byte;
        std::thread::id thread;
    };
    std::vector<Write> writes;
    std::vector<Steady::time_point> returned;  // when each send() came back
    std::vector<bool> results;
    std::thread::id thread;
    int failAtByte = -1;  // the write of this byte fails, once
    int slowWriteMs = 0;  // a write takes this long (a pacer held up)
    int slowByte = -1;    // only the write of this byte; -1: every write
};

// Each session on its own thread sends `lines` one after the other.
void RunSessions(SharedPacer& pacer, std::vector<Session>& sessions, const std::vector<std::string>& lines)
{
    std::vector<std::thread> threads;
    for (Session& session : sessions) {
        threads.emplace_back([&pacer, &session, &lines] {
            session.thread = std::this_thread::get_id();
            const LineWriter write = [&session](std::string_view data) {
                if (static_cast<int>(session.writes.size()) == session.failAtByte) {
                    session.failAtByte = -1;
                    return false;
                }
                for (char c : data)
                    session.writes.push_back({Steady::now(), c, std::this_thread::get_id()});
                if (session.slowByte < 0 || static_cast<int>(session.writes.size()) == session.slowByte + 1)
                    std::this_thread::sleep_for(std::chrono::milliseconds(session.slowWriteMs));
                return true;
            };
            SharedPacer::Sender sender;
            for (const std::string& line : lines) {
                session.results.push_back(pacer.send(line, write, sender));
                session.returned.push_back(Steady::now());
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
}

TEST(SharedPacer, PacesEverySessionFromOneThreadInSharedPasses)
{
    constexpr int PaceMs = 4;
    // Less than a pace, for the microseconds between two writes of one pass.
    constexpr double JitterMs = 1.0;
    const std::vector<std::string> lines{"el 40\r", ".\r", "configure\r"};
    std::string all;
    for (const std::string& line : lines)
        all += line;

    const struct {
        const char* what;
        int slowWriteMs;  // per write of the first session
        int slowByte;
        // Four sessions one byte each per pass take about as long as one
        // alone (a pass per byte and a pause per line), not four times as long.
        double atMostTimesOneAlone;
    } cases[] = {
        {"on its timetable", 0, -1, 1.5},
        // The sessions written after it in that pass are late for the next.
        {"held up once", PaceMs / 2, 2, 1.5},
        // Each pass takes more than two paces: the sessions cannot sleep
        // through their lines and have to be told when they are out.
        {"held up by slow writes", 2 * PaceMs + 1, -1, 4.0},
    };
    for (const auto& c : cases) {
        SharedPacer pacer(PaceMs);
        std::vector<Session> sessions(4);
        sessions.front().slowWriteMs = c.slowWriteMs;
        sessions.front().slowByte = c.slowByte;
        const auto start = Steady::now();
        RunSessions(pacer, sessions, lines);
        const double elapsedMs = MsBetween(start, Steady::now());

        const std::thread::id pacerThread = sessions[0].writes.at(0).thread;
        for (const Session& session : sessions) {
            std::string sent;
            for (const auto& write : session.writes)
                sent += write.byte;
            EXPECT_EQ(sent, all) << c.what;
            EXPECT_EQ(session.results, std::vector<bool>(lines.size(), true)) << c.what;
            for (std::size_t i = 0; i < session.writes.size(); ++i) {
                EXPECT_EQ(session.writes[i].thread, pacerThread) << c.what;
                if (i > 0) {
                    EXPECT_GE(MsBetween(session.writes[i - 1].at, session.writes[i].at), PaceMs - JitterMs)
                        << c.what << " " << i;
                }
            }
            EXPECT_NE(session.thread, pacerThread) << c.what;
            // Each send() returns once its carriage return is out. (The pause
            // after it follows the timetable, not the write, which a pacer
            // woken late sends late; the next byte still keeps its distance.)
            std::size_t end = 0;
            for (std::size_t l = 0; l < lines.size(); ++l) {
                end += lines[l].size();
                EXPECT_GT(session.returned[l], session.writes[end - 1].at) << c.what << " " << l;
            }
        }
        const double oneAloneMs = static_cast<double>((all.size() + lines.size()) * PaceMs);
        EXPECT_LT(elapsedMs, c.atMostTimesOneAlone * oneAloneMs) << c.what;
    }
}

TEST(SharedPacer, AFailedWriteEndsOnlyItsOwnLine)
{
    SharedPacer pacer(2);
    std::vector<Session> sessions(2);
    sessions[0].failAtByte = 3;
    RunSessions(pacer, sessions, {"el 40\r", ".\r"});
    EXPECT_EQ(sessions[0].results, (std::vector<bool>{false, true}));
    EXPECT_EQ(sessions[0].writes.size(), 3u + 2u) << "the rest of the failed line stays unsent";
    EXPECT_EQ(sessions[1].results, (std::vector<bool>{true, true}));
    EXPECT_EQ(sessions[1].writes.size(), 8u);
}

}  // namespace
}  // namespace k400
