#include "app/BuildEds.h"

#include "gateway/ConnectSequence.h"
#include "gateway/GatewaySettings.h"
#include "gateway/ProgramState.h"
#include "platform/Messages.h"
#include "platform/PortNames.h"
#include "platform/SerialPort.h"
#include "platform/UserInterface.h"

namespace k400 {

namespace {

Profile RefuseNodeId(ProgramState& state, UserInterface& ui, SerialPort* port)
{
    ui.showMessage(msg::NodeIdError, msg::ErrorTitle);
    ui.setStatusText(msg::StatusNodeIdError);
    if (port) {
        ReleaseConnection(state, ui, *port);
    } else {
        state.GatewayBusy = false;
        ui.showProgress(false);
        ui.connectPhase(ConnectPhase::Released);
    }
    return Profile::None;
}

}  // namespace

Profile BuildEdsFile(ProgramState& state, UserInterface& ui, ApplicationChoice choice, SerialPort* port)
{
    if (!state.Connected) {
        ui.setStatusText(msg::StatusConnectFirst);
        return Profile::None;
    }
    if (choice == ApplicationChoice::Canopen) {
        if (state.ApplicationLayer == 1)
            state.StoredImageValid = 0;
        state.ApplicationLayer = 0;
        if (state.NodeId > MaxCanopenNodeId)
            return RefuseNodeId(state, ui, port);
        return Profile::Canopen;
    }
    // A node ID left over from a CANopen configuration may exceed what a
    // DeviceNet slave accepts; it would otherwise be written to the gateway.
    if (state.NodeId > MaxDeviceNetNodeId)
        return RefuseNodeId(state, ui, port);
    return Profile::DeviceNet;
}

bool CheckListedPort(const ProgramState& state, const std::string& listedPort, UserInterface& ui)
{
    if (!state.Connected || state.ConnectedPort.empty() || state.ConnectedPort == listedPort)
        return true;
    ui.showMessage(msg::PortChangedSinceConnect(PortDisplayName(state.ConnectedPort), PortDisplayName(listedPort)),
                   msg::ErrorTitle);
    return false;
}

}  // namespace k400
