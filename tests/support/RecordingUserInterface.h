#pragma once
// A user interface that records what the core showed, for assertions.

#include <string>
#include <vector>

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
    ScanParameters requestScanParameters(const ScanParameters& current) override
    {
        offered.push_back(current);
        ++scanRequests;
        return answer;
    }
    void connectPhase(ConnectPhase phase) override { phases.push_back(phase); }

    std::vector<ShownMessage> messages;
    std::string status;
    std::vector<std::string> statusHistory;
    std::vector<int> progress;
    std::vector<ConnectPhase> phases;
    bool progressVisible = false;
    bool yesNoAnswer = true;
    long pumps = 0;
    int scanRequests = 0;
    std::vector<ScanParameters> offered;  // what each scan dialog was shown with
    ScanParameters answer;                // what the user picks
};

}  // namespace k400::test
