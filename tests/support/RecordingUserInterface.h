#pragma once
// A user interface that records what the core showed, for assertions.

#include <string>
#include <vector>

#include "gateway/ProgramState.h"
#include "platform/UserInterface.h"

namespace k400::test {

struct ShownMessage {
    std::string text;
    std::string title;
    std::size_t phasesBefore = 0;  // connect phases reported before the box
};

class RecordingUserInterface : public UserInterface {
public:
    void showMessage(std::string_view text, std::string_view title) override
    {
        messages.push_back({std::string(text), std::string(title), phases.size()});
    }
    bool askYesNo(std::string_view text, std::string_view title) override
    {
        messages.push_back({std::string(text), std::string(title), phases.size()});
        return yesNoAnswer;
    }
    void setStatusText(std::string_view text) override
    {
        status = std::string(text);
        statusHistory.push_back(status);
    }
    void setProgress(int value) override { progress.push_back(value); }
    void showProgress(bool visible) override { progressVisible = visible; }
    void pumpEvents() override { ++pumps; }
    void requestScanParameters(ProgramState& state) override
    {
        state.ScanBaudIndex = scanBaudIndex;
        state.ScanChecksumIndex = scanChecksumIndex;
        state.ScanTimeoutMs = scanTimeoutMs;
        state.ScanParametersDone = true;
        ++scanRequests;
    }
    void connectPhase(ConnectPhase phase, const ProgramState&) override { phases.push_back(phase); }

    std::vector<ShownMessage> messages;
    std::string status;
    std::vector<std::string> statusHistory;
    std::vector<int> progress;
    std::vector<ConnectPhase> phases;
    bool progressVisible = false;
    bool yesNoAnswer = true;
    long pumps = 0;
    int scanRequests = 0;
    std::uint8_t scanBaudIndex = 3;
    std::uint8_t scanChecksumIndex = 0;
    std::int16_t scanTimeoutMs = 200;
};

}  // namespace k400::test
