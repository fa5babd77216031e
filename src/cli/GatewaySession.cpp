#include "cli/GatewaySession.h"

#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "gateway/GatewayPort.h"
#include "platform/qt/QtSerialPort.h"
#include "sim/Scenario.h"
#include "sim/SimulatedPort.h"

namespace k400 {

std::optional<SessionOptions> TakeSessionOptions(ArgList& args, CommandIo& io, std::string_view command,
                                                 std::string_view defaultPort)
{
    SessionOptions options;
    options.verbose = args.flag("verbose");
    options.strictTiming = args.flag("strict-timing");
    if (auto port = args.value("port")) {
        if (port->empty()) {
            UsageError(io, command, "--port needs a port name");
            return std::nullopt;
        }
        options.port = std::move(*port);
    } else if (!defaultPort.empty()) {
        options.port = std::string(defaultPort);
    } else {
        UsageError(io, command, "--port PORT is required (COM1..COM16, a device path or sim)");
        return std::nullopt;
    }
    if (const auto pace = args.value("pace-ms")) {
        const auto number = ParseIntegerOption(*pace, 0, 1000);
        if (!number) {
            UsageError(io, command, "--pace-ms needs a whole number of milliseconds from 0 to 1000, not '" + *pace + "'");
            return std::nullopt;
        }
        options.paceMs = static_cast<int>(*number);
    }
    return options;
}

GatewaySession::GatewaySession(CommandIo& io, bool verbose)
    : clock_(std::make_unique<SystemClock>()), ui_(io.err, verbose)
{
}

GatewaySession::~GatewaySession()
{
    if (port_ && port_->isOpen())
        port_->close();
}

std::unique_ptr<GatewaySession> GatewaySession::Create(const SessionOptions& options, CommandIo& io)
{
    std::unique_ptr<GatewaySession> session(new GatewaySession(io, options.verbose));
    if (options.port == "sim" || options.port.rfind("sim:", 0) == 0) {
        Scenario scenario = BuiltInScenario();
        if (options.port.size() > 4) {
            std::string error;
            auto loaded = LoadScenarioFile(options.port.substr(4), error);
            if (!loaded) {
                io.err << "Error: " << error << std::endl;
                return nullptr;
            }
            scenario = std::move(*loaded);
        }
        session->port_ = std::make_unique<SimulatedPort>(std::move(scenario), *session->clock_);
        session->simulated_ = true;
    } else {
        auto port = std::make_unique<QtSerialPort>();
        port->setPortName(NormalizePortName(options.port));
        session->port_ = std::move(port);
    }
    session->link_ = std::make_unique<ConsoleLink>(*session->port_, *session->clock_, session->ui_);
    session->link_->PaceMs = options.paceMs;
    session->link_->StrictTiming = options.strictTiming;
    return session;
}

}  // namespace k400
