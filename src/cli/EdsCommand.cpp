// `k400gw eds --profile canopen|devicenet`: the EDS file of a planned set of
// modules, with no gateway attached.

#include <cstdio>
#include <ostream>

#include "app/ProgramState.h"
#include "app/Settings.h"
#include "canopen/CanopenWindow.h"
#include "canopen/EdsWriter.h"
#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "cli/ConfigureCommon.h"
#include "cli/GatewayOptions.h"
#include "cli/TerminalUserInterface.h"
#include "gateway/ConfigImage.h"
#include "platform/Clock.h"

namespace k400 {

namespace {

constexpr const char* Command = "eds";

// "1.05-20071126": major.minor-YYYYMMDD.
bool ParseFirmware(const std::string& text, ProgramState& state)
{
    unsigned major = 0, minor = 0, year = 0, month = 0, day = 0;
    char tail = 0;
    if (text.size() < 12 || std::sscanf(text.c_str(), "%3u.%3u-%4u%2u%2u%c", &major, &minor, &year, &month, &day,
                                        &tail) != 5)
        return false;
    if (major > 255 || minor > 255 || month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    state.FirmwareVersion = {static_cast<std::uint8_t>(major), static_cast<std::uint8_t>(minor)};
    state.FirmwareDate = {static_cast<std::int16_t>(year), static_cast<std::uint8_t>(month),
                          static_cast<std::uint8_t>(day)};
    return true;
}

}  // namespace

int RunEdsCommand(ArgList& args, CommandIo& io)
{
    const auto profile = ProfileOption(args, io, Command);
    if (!profile)
        return ExitUsage;
    if (*profile == CliProfile::DeviceNet)
        return RunDeviceNetEds(args, io);
    return RunCanopenEds(args, io);
}

int RunCanopenEds(ArgList& args, CommandIo& io)
{
    const auto modules = TakeModulesOption(args, io, Command);
    if (!modules)
        return ExitUsage;
    const auto settings = TakeSettingsOptions(args, io, Command);
    if (!settings)
        return ExitUsage;
    const auto windowOptions = TakeCanopenWindowOptions(args, io, Command);
    if (!windowOptions)
        return ExitUsage;
    ProgramState state;
    const std::string firmware = args.value("firmware").value_or("1.05-20071126");
    if (!ParseFirmware(firmware, state))
        return UsageError(io, Command, "--firmware needs MAJOR.MINOR-YYYYMMDD such as 1.05-20071126, not '" +
                                           firmware + "'");
    const auto outputDir = args.value("output-dir");
    const bool json = args.flag("json");
    if (const int rc = CheckNoLeftover(args, io, Command))
        return rc;
    const auto folder = OutputFolder(outputDir, io);
    if (!folder)
        return ExitFailure;

    TerminalUserInterface ui(io.err);
    SystemClock clock;
    std::string error;
    if (!ApplyPlannedModules(state, modules->value_or(std::vector<PlannedModule>{}), error)) {
        io.err << error << '\n';
        return ExitFailure;
    }
    state.Connected = true;
    ParameterPanel panel;
    if (!ApplySettingsOptions(state, panel, ui, *settings, 0))
        return ExitFailure;

    CanopenWindow window(state, ui);
    if (!window.Load())
        return ExitFailure;
    EnterCanopenWindowOptions(window, *windowOptions);
    if (!window.TakeErrorControl())
        return ExitFailure;
    state.EdsInfoText = window.view().EdsInfo;

    const TextFileResult written = WriteCanopenEds(state, clock, *folder);
    if (!written.ok) {
        io.err << written.error << '\n';
        return ExitFailure;
    }
    if (json) {
        // The image words a Finish with this configuration would write.
        PrepareHeaderImage(state, clock.localTime(), 0);
        PrepareApplicationImage(state, CatalogueModelCode);
        PrintCanopenJson(io.out, state, written.path.string());
    } else {
        io.out << "EDS file: " << written.path.string() << '\n';
        PrintPdoTables(io.out, state);
    }
    return ExitSuccess;
}

}  // namespace k400
