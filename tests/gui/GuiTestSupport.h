#pragma once
// Shared pieces of the window tests: a main window on the simulated gateway,
// scripted answers for message boxes, and a connect that fills in the scan
// dialog the way a user would.

#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "ui/GridTable.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/ScanParameterDialog.h"

namespace k400::test {

// Records every message box and answers the Yes/No ones from a queue
// (No when the queue is empty, so a forgotten answer never exits).
class ScriptedBoxes {
public:
    ScriptedBoxes()
    {
        ui::SetMessageBoxHook([this](const ui::MessageBoxRequest& request) {
            shown.push_back(request);
            if (!request.question || answers.empty())
                return false;
            const bool answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~ScriptedBoxes() { ui::SetMessageBoxHook({}); }

    QStringList texts() const
    {
        QStringList list;
        for (const auto& box : shown)
            list << box.text;
        return list;
    }

    std::vector<ui::MessageBoxRequest> shown;
    std::deque<bool> answers;
};

template <typename T = QWidget>
T* Find(const QObject* root, const QString& name)
{
    T* found = root->findChild<T*>(name);
    if (found == nullptr)
        qFatal("no control named %s", qPrintable(name));
    return found;
}

inline std::unique_ptr<ui::MainWindow> DemoWindow(const QTemporaryDir& outputFolder,
                                                  std::optional<Scenario> scenario = std::nullopt)
{
    ui::MainWindowOptions options;
    options.demo = true;
    options.paceMs = 0;
    options.outputFolder = outputFolder.path().toStdString();
    options.scenario = std::move(scenario);
    auto window = std::make_unique<ui::MainWindow>(std::move(options));
    window->show();
    return window;
}

// Presses Connect; when the scan dialog shows, `fill` may change its
// controls, then its OK button is clicked. Returns once the connect is over.
template <typename Fill>
void ConnectThroughDialog(ui::MainWindow& window, Fill fill)
{
    QTimer poll;
    poll.setInterval(5);
    bool answered = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        ui::ScanParameterDialog* dialog = window.scanParameterDialog();
        if (answered || dialog == nullptr || !dialog->isVisible())
            return;
        answered = true;
        fill(*dialog);
        dialog->okButton()->click();
    });
    poll.start();
    QTest::mouseClick(Find<QPushButton>(&window, QStringLiteral("Connect")), Qt::LeftButton);
    poll.stop();
}

inline void ConnectWithDefaults(ui::MainWindow& window)
{
    ConnectThroughDialog(window, [](ui::ScanParameterDialog&) {});
}

// Clicks the button and, once while the gateway dialogue it started runs,
// calls `during`. Returns whether `during` ran.
template <typename During>
bool ClickAndActWhileBusy(ui::MainWindow& window, QPushButton* button, During during)
{
    bool ran = false;
    QTimer poke;
    poke.setInterval(0);
    QObject::connect(&poke, &QTimer::timeout, [&] {
        if (ran || !window.state().GatewayBusy)
            return;
        ran = true;
        during();
    });
    poke.start();
    QTest::mouseClick(button, Qt::LeftButton);
    poke.stop();
    return ran;
}

// Chooses the application (0 CANopen, 1 DeviceNet), stores the node ID with
// "Setting" and presses "Build EDS File".
inline void BuildEdsFor(ui::MainWindow& window, int application, int nodeId)
{
    Find<QRadioButton>(&window, QStringLiteral("ApplicationSelect_%1").arg(application))->click();
    Find<QLineEdit>(&window, QStringLiteral("CANNodeId"))->setText(QString::number(nodeId));
    Find<QPushButton>(&window, QStringLiteral("SettingParameter"))->click();
    QTest::mouseClick(Find<QPushButton>(&window, QStringLiteral("WriteEDS")), Qt::LeftButton);
}

// The grid shows exactly the core's rows, fixed row and column included.
inline void CompareGrid(const ui::GridTable* grid, const std::vector<std::vector<std::string>>& rows)
{
    QCOMPARE(grid->gridRows(), static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            QCOMPARE(grid->cellText(static_cast<int>(r), static_cast<int>(c)), QString::fromStdString(rows[r][c]));
}

}  // namespace k400::test
