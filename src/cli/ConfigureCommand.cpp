// `k400gw configure --profile canopen|devicenet`: a whole configuration of a
// connected gateway, from the connect to the EDS file.

#include <ostream>

#include "app/BuildEds.h"
#include "app/ProgramState.h"
#include "app/Settings.h"
#include "canopen/CanopenWindow.h"
#include "canopen/EdsWriter.h"
#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "cli/ConfigureCommon.h"
#include "cli/GatewayOptions.h"
#include "cli/GatewaySession.h"
#include "gateway/ConfigImage.h"
#include "platform/ProgramFolder.h"

namespace k400 {

namespace {

constexpr const char* Command = "configure";

}  // namespace

int RunConfigureCommand(ArgList& args, CommandIo& io)
{
    const auto profile = ProfileOption(args, io, Command);
    if (!profile)
        return ExitUsage;
    if (*profile == CliProfile::DeviceNet)
        return RunDeviceNetConfigure(args, io);
    return RunCanopenConfigure(args, io);
}

int RunCanopenConfigure(ArgList& args, CommandIo& io)
{
    const auto sessionOptions = TakeSessionOptions(args, io, Command);
    if (!sessionOptions)
        return ExitUsage;
    const auto gatewayOptions = TakeGatewayOptions(args, io, Command);
    if (!gatewayOptions)
        return ExitUsage;
    const auto windowOptions = TakeCanopenWindowOptions(args, io, Command);
    if (!windowOptions)
        return ExitUsage;
    const auto outputDir = args.value("output-dir");
    const bool dryRun = args.flag("dry-run");
    const bool json = args.flag("json");
    if (const int rc = CheckNoLeftover(args, io, Command))
        return rc;

    std::optional<std::filesystem::path> folder;
    if (!dryRun) {
        folder = OutputFolder(outputDir, io);
        if (!folder)
            return ExitFailure;
    }

    const auto session = GatewaySession::Create(*sessionOptions, io);
    if (!session)
        return ExitFailure;
    ProgramState& state = session->state();
    TerminalUserInterface& ui = session->ui();
    ConsoleLink& link = session->link();

    ParameterPanel panel;
    if (!ConnectWithGatewayOptions(state, panel, link, *gatewayOptions, 0))
        return ExitFailure;

    panel.ApplicationSelect = {true, false};
    if (BuildEdsFile(state, ui, ApplicationChoice::Canopen, &session->port()) != ProfileWindow::Canopen)
        return ExitFailure;

    CanopenWindow window(state, ui);
    if (!window.Load())
        return ExitFailure;
    EnterCanopenWindowOptions(window, *windowOptions);

    if (dryRun) {
        if (!window.TakeErrorControl())
            return ExitFailure;
        // What Finish would write, prepared on a copy: nothing reaches the gateway or the disk.
        ProgramState preview = state;
        preview.EdsInfoText = window.view().EdsInfo;
        PrepareHeaderImage(preview, session->clock().localTime(), 0);
        PrepareApplicationImage(preview, CatalogueModelCode);
        const std::filesystem::path wouldBe = outputDir ? std::filesystem::path(*outputDir) : ProgramFolder();
        const std::string edsFile = (wouldBe / CanopenEdsFileName(preview.NodeId)).string();
        if (json) {
            PrintCanopenJson(io.out, preview, edsFile);
        } else {
            io.out << "Dry run: nothing written. EDS file would be " << edsFile << '\n';
            PrintPdoTables(io.out, preview);
            PrintImageWords(io.out, preview, false);
        }
        return ExitSuccess;
    }

    const CanopenFinishResult result = window.Finish(link, session->clock(), *folder);
    if (result.status != CanopenFinishStatus::Done)
        return ExitFailure;
    if (json) {
        PrintCanopenJson(io.out, state, result.edsPath);
    } else {
        io.out << "EDS file: " << result.edsPath << '\n';
        PrintPdoTables(io.out, state);
        io.out << FinishDoneStatus << '\n';
    }
    return ExitSuccess;
}

}  // namespace k400
