#pragma once
// Shared pieces of the window tests: a main window on the simulated gateway,
// scripted answers for message boxes, and acting while a gateway dialogue runs.

#include <memory>
#include <optional>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/ScanParameterDialog.h"

namespace k400::test {

// Records every message box; a question is answered No, so that a test never exits.
struct ScriptedBoxes {
    ScriptedBoxes()
    {
        ui::SetMessageBoxHook([this](const ui::MessageBoxRequest& request) {
            shown.push_back(request);
            return false;
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
};

template <typename T = QWidget>
T* Find(const QObject* root, const QString& name)
{
    T* found = root->findChild<T*>(name);
    if (found == nullptr)
        qFatal("no control named %s", qPrintable(name));
    return found;
}

inline std::unique_ptr<ui::MainWindow> DemoWindow(const QTemporaryDir& folder, std::optional<Scenario> scenario = {})
{
    ui::MainWindowOptions options;
    options.demo = true;
    options.paceMs = 0;
    options.outputFolder = folder.path().toStdString();
    options.scenario = std::move(scenario);
    auto window = std::make_unique<ui::MainWindow>(std::move(options));
    window->show();
    return window;
}

// Runs `start` (a click that runs a gateway dialogue) and calls `act` once, as
// soon as `ready` holds while the dialogue lets events in. Returns whether it acted.
template <typename Start, typename Ready, typename Act>
bool ActDuring(Start start, Ready ready, Act act)
{
    bool acted = false;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!acted && ready()) {
            acted = true;
            act();
        }
    });
    poll.start();
    start();
    return acted;
}

// Presses Connect; when the scan dialog shows, `fill` may change its
// controls, then its OK button is clicked. Returns once the connect is over.
template <typename Fill>
void ConnectThroughDialog(ui::MainWindow& window, Fill fill)
{
    ActDuring([&] { QTest::mouseClick(Find<QPushButton>(&window, "Connect"), Qt::LeftButton); },
              [&] { return window.scanParameterDialog() && window.scanParameterDialog()->isVisible(); },
              [&] {
                  fill(*window.scanParameterDialog());
                  window.scanParameterDialog()->okButton()->click();
              });
}

inline void ConnectWithDefaults(ui::MainWindow& window)
{
    ConnectThroughDialog(window, [](ui::ScanParameterDialog&) {});
}

}  // namespace k400::test
