// Other programs holding a device, seen in the process table (Linux).

#include <gtest/gtest.h>

#ifdef __linux__
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/DeviceHolders.h"

namespace k400 {
namespace {

// The process table is read at most every half second; a holder that went
// away is gone from the answer once that reading is older than that.
TEST(DeviceHolders, SeesAHolderAndForgetsItOnceItHasGone)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string slave = ::ptsname(master);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(master);  // holding the master too would make it the line's far end
        if (::open(slave.c_str(), O_RDWR | O_NOCTTY) >= 0)
            ::pause();
        ::_exit(1);
    }
    const auto heldByChild = [&] {
        const auto holders = OtherProcessesHoldingDevice(slave);
        return holders.size() == 1 && holders[0].pid == child;
    };
    bool seen = false;
    for (int tries = 0; tries < 40 && !(seen = heldByChild()); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(seen) << "the child holding " << slave;

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_TRUE(OtherProcessesHoldingDevice(slave).empty());
    ::close(master);
}

}  // namespace
}  // namespace k400
#endif
