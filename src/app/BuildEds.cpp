#include "app/BuildEds.h"

#include "app/ProgramState.h"
#include "gateway/ConnectSequence.h"
#include "platform/SerialPort.h"
#include "platform/UserInterface.h"

namespace k400 {

namespace {

ProfileWindow RefuseNodeId(ProgramState& state, UserInterface& ui, SerialPort* port)
{
    ui.showMessage("NodeID Error", "Error");
    ui.setStatusText("NodeID or Application error");
    if (port) {
        ReleaseConnection(state, ui, *port);
    } else {
        state.GatewayBusy = false;
        ui.showProgress(false);
        ui.connectPhase(ConnectPhase::Released, state);
    }
    return ProfileWindow::None;
}

}  // namespace

ProfileWindow BuildEdsFile(ProgramState& state, UserInterface& ui, ApplicationChoice choice, SerialPort* port)
{
    if (!state.Connected) {
        ui.setStatusText("Connect to K-400 first");
        return ProfileWindow::None;
    }
    if (choice == ApplicationChoice::Canopen) {
        if (state.ApplicationLayer == 1)
            state.StoredImageValid = 0;
        state.ApplicationLayer = 0;
        if (state.NodeId > MaxCanopenNodeId)
            return RefuseNodeId(state, ui, port);
        return ProfileWindow::Canopen;
    }
    // A node ID left over from a CANopen configuration may exceed what a
    // DeviceNet slave accepts; it would otherwise be written to the gateway.
    if (state.NodeId > MaxDeviceNetNodeId)
        return RefuseNodeId(state, ui, port);
    return ProfileWindow::DeviceNet;
}

}  // namespace k400
