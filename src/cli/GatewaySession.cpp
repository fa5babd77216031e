#include "cli/GatewaySession.h"

#include "cli/Commands.h"
#include "platform/NetworkPortName.h"
#include "platform/PortNames.h"
#include "platform/net/NetworkSerialPort.h"
#include "platform/qt/QtSerialPort.h"
#include "sim/Scenario.h"
#include "sim/SimulatedPort.h"

namespace k400 {

GatewaySession::GatewaySession(CommandIo& io, bool verbose) : ui_(io.err, verbose) {}

GatewaySession::~GatewaySession()
{
    if (port_ && port_->isOpen())
        port_->close();
}

std::unique_ptr<GatewaySession> GatewaySession::Create(const SessionOptions& options, const ScanParameters& scan,
                                                       CommandIo& io)
{
    std::unique_ptr<GatewaySession> session(new GatewaySession(io, options.verbose));
    session->ui_.scanAnswer = scan;
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
        session->port_ = std::make_unique<SimulatedPort>(std::move(scenario), session->clock_);
    } else if (IsNetworkPortName(options.port)) {
        std::string error;
        session->port_ = MakeNetworkSerialPort(options.port, error);
        if (!session->port_) {
            io.err << error << std::endl;
            return nullptr;
        }
    } else {
        auto port = std::make_unique<QtSerialPort>();
        port->setPortName(NormalizePortName(options.port));
        session->port_ = std::move(port);
    }
    session->link_ =
        std::make_unique<ConsoleLink>(*session->port_, session->clock_, session->ui_, options.timing());
    return session;
}

}  // namespace k400
