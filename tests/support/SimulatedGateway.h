#pragma once
// A connected gateway as the profile windows find it: the built-in simulated
// console on COM1 behind a console link, a fake clock standing at
// 2008-01-24 13:45:10, a connected K400E with node ID 5, and a scratch folder
// for the EDS file. Tests add their modules and settings.

#include <cstdint>
#include <string>

#include "gateway/ConsoleLink.h"
#include "gateway/ProgramState.h"
#include "sim/SimulatedPort.h"
#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"
#include "support/TestFiles.h"

namespace k400::test {

struct SimulatedGateway {
    explicit SimulatedGateway(const std::string& folderPrefix) : folder(folderPrefix)
    {
        port.setPortName("COM1");
        state.Connected = true;
        state.ControllerPrompt = "K400E>";
        state.FirmwareVersion = {1, 5};
        state.NodeId = 5;
        state.Com2BaudIndex = 3;
        state.Com2Timeout = 200;
        clock.local = {2008, 1, 24, 13, 45, 10};
    }

    // The EEPROM word at a byte offset of a block, as the simulated console holds it.
    static std::uint32_t Word(const SimulatedPort& on, int block, int offset)
    {
        return on.console().eeprom()[block][offset / 4];
    }
    std::uint32_t Word(int block, int offset) const { return Word(port, block, offset); }

    bool Shown(const std::string& text) const
    {
        for (const auto& m : ui.messages)
            if (m.text == text)
                return true;
        return false;
    }

    ProgramState state;
    RecordingUserInterface ui;
    FakeClock clock;
    SimulatedPort port{BuiltInScenario(), clock};
    ConsoleLink link{port, clock, ui};
    TempFolder folder;
};

}  // namespace k400::test
