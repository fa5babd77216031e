// `k400gw configure --profile devicenet` and `k400gw eds --profile devicenet`.

#include <ostream>

#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "cli/ConfigureCommon.h"

namespace k400 {

int RunDeviceNetConfigure(ArgList&, CommandIo& io)
{
    io.err << "configure --profile devicenet: not finished yet\n";
    return ExitFailure;
}

int RunDeviceNetEds(ArgList&, CommandIo& io)
{
    io.err << "eds --profile devicenet: not finished yet\n";
    return ExitFailure;
}

}  // namespace k400
