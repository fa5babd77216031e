#include "cli/GatewaySession.h"

#include <iostream>
#include <unistd.h>

#include "cli/Commands.h"
#include "cli/Output.h"
#include "platform/Messages.h"
#include "platform/NetworkPortName.h"
#include "platform/PortNames.h"
#include "platform/TracingSerialPort.h"
#include "platform/net/NetworkSerialPort.h"
#include "platform/qt/QtSerialPort.h"
#include "sim/Scenario.h"
#include "sim/SimulatedPort.h"

namespace k400 {

namespace {

Chatter ChatterFor(const SessionOptions& options, CommandIo& io, bool json)
{
    if (options.verbose)
        return Chatter::Verbose;
    // The progress line is for a person watching a terminal, never for a pipe or a file.
    if (options.quiet || json || &io.err != &std::cerr || ::isatty(STDERR_FILENO) == 0)
        return Chatter::Quiet;
    return Chatter::ProgressLine;
}

const char* StepKindName(LinkStep::Kind kind)
{
    switch (kind) {
    case LinkStep::Kind::Expect:
        return "expect";
    case LinkStep::Kind::Ignored:
        return "recovery";
    case LinkStep::Kind::Scan:
        return "scan";
    case LinkStep::Kind::ReadValue:
        return "read";
    }
    return "";
}

}  // namespace

GatewaySession::GatewaySession(CommandIo& io, Chatter chatter) : ui_(io.err, chatter) {}

GatewaySession::~GatewaySession()
{
    if (port_ && port_->isOpen())
        port_->close();
}

std::unique_ptr<GatewaySession> GatewaySession::Create(const SessionOptions& options, const ScanParameters& scan,
                                                       CommandIo& io, bool json)
{
    std::unique_ptr<GatewaySession> session(new GatewaySession(io, ChatterFor(options, io, json)));
    session->ui_.scanAnswer = scan;
    session->ui_.onStatus = io.onStatus;
    std::unique_ptr<SerialPort>& device = session->device_;
    if (options.port == "sim" || options.port.rfind("sim:", 0) == 0) {
        Scenario scenario = BuiltInScenario();
        if (options.port.size() > 4) {
            std::string error;
            auto loaded = LoadScenarioFile(options.port.substr(4), error);
            if (!loaded) {
                io.err << msg::CliErrorPrefix << error << std::endl;
                return nullptr;
            }
            scenario = std::move(*loaded);
        }
        device = std::make_unique<SimulatedPort>(std::move(scenario), session->clock_);
    } else if (IsNetworkPortName(options.port)) {
        std::string error;
        device = MakeNetworkSerialPort(options.port, error);
        if (!device) {
            io.err << error << std::endl;
            return nullptr;
        }
    } else {
        auto port = std::make_unique<QtSerialPort>();
        port->setPortName(NormalizePortName(options.port));
        device = std::move(port);
    }

    if (options.trace) {
        session->trace_.open(*options.trace, std::ios::binary | std::ios::trunc);
        if (!session->trace_) {
            io.err << msg::CliErrorPrefix << msg::CliCannotWriteTrace << *options.trace << std::endl;
            return nullptr;
        }
        session->port_ = std::make_unique<TracingSerialPort>(*device, session->clock_, session->trace_);
    }
    SerialPort& port = session->port_ ? *session->port_ : *device;
    session->link_ = std::make_unique<ConsoleLink>(port, session->clock_, session->ui_, options.timing());
    session->link_->Pacer = io.pacer;

    GatewaySession* self = session.get();
    self->link_->StepObserver = [self](const LinkStep& step) {
        self->scanStarted_ = self->scanStarted_ || step.kind == LinkStep::Kind::Scan;
        if (self->trace_.is_open())
            self->trace_ << "-- " << StepKindName(step.kind) << " \"" << TraceText(step.command) << "\" until \""
                         << TraceText(step.marker) << "\": " << (step.ok ? "ok" : "failed") << " after "
                         << step.elapsedMs << " ms\n";
    };
    return session;
}

SerialPort& GatewaySession::port()
{
    return port_ ? *port_ : *device_;
}

std::string GatewaySession::failureDetail(bool answerFailed) const
{
    const LinkStep& step = link_->LastStep();
    if (step.command.empty())
        return {};
    if (!step.ok)
        return msg::CliNoMarker(step.marker, step.command, step.elapsedMs);
    if (!answerFailed)
        return {};
    const std::string reply = link_->ReplyText.substr(0, 60);
    return msg::CliUnexpectedReply(step.command, TraceText(reply));
}

int GatewaySession::failed(CommandIo& io, bool json, std::string_view stage, std::string_view eeprom)
{
    ui_.clearProgressLine();
    // A connect that ends on a step that came as awaited failed on the answer
    // itself (an unknown controller, a bad listing); a caller naming the stage
    // failed on its own check, and only a failed step says more.
    const std::string detail = failureDetail(stage.empty());
    const std::string where = stage.empty() ? (scanStarted_ ? "scan" : "connect") : std::string(stage);
    if (json) {
        Json error{{"error", ui_.lastMessage()}, {"detail", detail}, {"stage", where}};
        if (!eeprom.empty())
            error["eeprom"] = eeprom;
        PrintJson(io.out, error);
    } else if (!detail.empty()) {
        io.err << detail << std::endl;
    }
    return ExitFailure;
}

}  // namespace k400
