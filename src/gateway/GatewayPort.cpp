#include "gateway/GatewayPort.h"

#include "platform/Messages.h"
#include "platform/PortNames.h"

namespace k400 {

bool OpenGatewayPort(SerialPort& port, UserInterface& ui, PortCaller caller)
{
    if (port.isOpen())
        return true;

    const PortOpenError error = port.open();
    const std::string name = PortDisplayName(port.portName());
    const bool connect = caller == PortCaller::Connect;

    switch (error.kind) {
    case PortOpenError::Kind::None:
        if (port.isOpen()) {
            // Whatever the console said before we listened belongs to nobody.
            port.clearInput();
            return true;
        }
        ui.showMessage(msg::CantOpenPort(name), connect ? msg::ErrorTitle : msg::WarningTitle);
        return false;
    case PortOpenError::Kind::Occupied: {
        const std::string text = error.holders.empty() ? msg::PortOccupied(name)
                                                       : msg::PortOccupiedBy(name, error.holders);
        ui.showMessage(text, connect ? msg::ErrorTitle : msg::NoTitle);
        ui.setStatusText(text);
        return false;
    }
    case PortOpenError::Kind::Other:
        break;
    }
    ui.showMessage(error.description.empty() ? msg::CantOpenPort(name) : error.description,
                   connect ? msg::ErrorTitle : msg::NoTitle);
    ui.setStatusText("");
    return false;
}

}  // namespace k400
