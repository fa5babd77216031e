// k400gw: the command line front end.

#include <QCoreApplication>
#include <csignal>
#include <cstring>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

#include "cli/Commands.h"
#include "gateway/ProfileFinish.h"
#include "platform/StopRequest.h"

namespace {

// Ctrl+C, SIGTERM, SIGHUP. Outside the EEPROM write the program stops at
// once; during it, the first signal is left to the write, which stops after
// the word in progress with the image marked invalid; a second one stops at
// once. Either way the user reads what the gateway now holds.
void OnStopSignal(int signal)
{
    const bool again = k400::StopRequested();
    k400::RequestStop(signal);
    if (k400::InGuardedWork() && !again)
        return;
    const char* text = k400::StoppedMessage(k400::LiveEepromStatus());
    [[maybe_unused]] ssize_t written = ::write(STDERR_FILENO, text, std::strlen(text));
    written = ::write(STDERR_FILENO, "\n", 1);
    ::_exit(128 + signal);
}

void CatchStopSignals()
{
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

}  // namespace

int main(int argc, char* argv[])
{
    // The serial port layer needs an application object for its event dispatcher.
    QCoreApplication application(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    // The simulator serves until a signal and handles them itself.
    if (args.empty() || args.front() != "sim")
        CatchStopSignals();
    k400::CommandIo io{std::cout, std::cerr};
    const int rc = k400::RunCommandLine(args, io);
    std::cout.flush();
    return rc;
}
