// k400gw: the command line front end.

#include <QCoreApplication>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Commands.h"

int main(int argc, char* argv[])
{
    // The serial port layer needs an application object for its event dispatcher.
    QCoreApplication application(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    k400::CommandIo io{std::cout, std::cerr};
    const int rc = k400::RunCommandLine(args, io);
    std::cout.flush();
    return rc;
}
