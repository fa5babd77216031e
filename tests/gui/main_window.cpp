// The main window on the simulated gateway: the connect and its outcomes
// with the window answering all through, the parameter panel on both sides
// with its pending entries, plans, a typed port, and the ways out.

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>

#include "GuiTestSupport.h"
#include "app/Plan.h"
#include "platform/Messages.h"
#include "ui/CanopenWindow.h"
#include "ui/DeviceNetWindow.h"
#include "ui/StatusLine.h"

using namespace k400;
using namespace k400::test;

namespace {
QString Text(const QWidget* root, const char* name)
{
    return Find<QLineEdit>(root, QString::fromLatin1(name))->text();
}
bool Shown(const QWidget* root, const QString& name)
{
    return !Find(root, name)->isHidden();
}
bool Enabled(const QWidget* root, const char* name)
{
    return Find(root, QString::fromLatin1(name))->isEnabled();
}
QStringList Only(const char* text)
{
    return {QString::fromLatin1(text)};
}
}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir folder_;

private slots:
    void connectShowsTheOutcome_data()
    {
        QTest::addColumn<QString>("controller");  // empty: the console never answers
        QTest::addColumn<QString>("picture");
        QTest::newRow("K400E") << "K400E"
                               << "ImageK400_0";
        QTest::newRow("K400B") << "K400B"
                               << "ImageK400_1";
        QTest::newRow("no answer") << ""
                                   << "";
    }
    void connectShowsTheOutcome()
    {
        QFETCH(QString, controller);
        QFETCH(QString, picture);
        const bool answers = !controller.isEmpty();
        ScriptedBoxes boxes;
        Scenario scenario = BuiltInScenario();
        scenario.controller = answers ? controller.toStdString() : scenario.controller;
        if (!answers)
            scenario.faults.push_back(FaultRule::NoAnswerTo(CommandMatch::Line("exit", 1)));
        scenario.faults.push_back(FaultRule::DelayReply(CommandMatch::Line("use eeprom", 1), 900));  // a slow line
        auto window = DemoWindow(folder_, scenario);
        // While the console is awaited, events keep running (the longest pause is
        // measured: the window waits in slices of 40 ms; the bound leaves room for
        // a loaded machine, far below the slow reply), the busy indicator shows
        // and the scan tells how far it got.
        QElapsedTimer sinceTick;
        qint64 longestPause = 0;
        bool busyShown = false, scanShown = false;
        QTimer tick;
        tick.setInterval(5);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 pause = sinceTick.restart();
            longestPause = std::max(longestPause, window->state().GatewayBusy ? pause : 0);
            busyShown |= Shown(window.get(), "ReplyBusy");
            scanShown |= window->statusLine()->text() == QString::fromStdString(msg::CliScanWaiting(0, 6));
        });
        sinceTick.start();
        tick.start();
        ConnectWithDefaults(*window);
        QVERIFY2(longestPause < 300 && busyShown && scanShown == answers, qPrintable(QString::number(longestPause)));
        QVERIFY(!Shown(window.get(), "ReplyBusy"));
        QCOMPARE(boxes.texts(), answers ? QStringList() : Only(msg::Timeout));
        QCOMPARE(window->state().Connected, answers);
        QCOMPARE(Text(window.get(), "CommunicationState"),
                 QString::fromLatin1(answers ? msg::StatusWaiting : msg::StatusTimeout));
        QCOMPARE(Text(window.get(), "FirmwareVer"), answers ? QStringLiteral("1.05-2007/11/26") : QString());
        QVERIFY(!Shown(window.get(), "ConnectProgress") && !window->state().GatewayBusy);
        for (const QString& image : {QStringLiteral("ImageK400_0"), QStringLiteral("ImageK400_1")})
            QCOMPARE(Shown(window.get(), image), image == picture);
        for (const char* control : {"Connect", "ComPort", "EixtProgram"})
            QVERIFY2(Enabled(window.get(), control), control);
        QCOMPARE(Enabled(window.get(), "WriteEDS"), answers);
        // After a connect the CAN side is pressed and red.
        auto* canToggle = Find<QPushButton>(window.get(), "ComButton_0");
        QCOMPARE(!canToggle->isHidden() && canToggle->isChecked(), answers);
        QCOMPARE(canToggle->styleSheet().contains(QStringLiteral("#ff0000")), answers);
    }

    // One session: idle, a connect that refuses a second connect and leaving
    // while it runs, Setting on both sides, pending entries, plans, a typed
    // port, and the ways out.
    void aSessionFromStartToExit()
    {
        std::optional<ScriptedBoxes> boxes(std::in_place);
        auto window = DemoWindow(folder_);
        QWidget* w = window.get();
        // Sixteen COM entries first, whatever the machine has; the simulated gateway last, chosen.
        auto* ports = Find<QComboBox>(w, "ComPort");
        for (int n = 1; n <= 16; ++n)
            QCOMPARE(ports->itemText(n - 1), QStringLiteral("COM%1").arg(n));
        QCOMPARE(ports->currentText(), QStringLiteral("Simulated gateway"));
        QVERIFY(!Shown(w, "SettingParameter") && !Shown(w, "CANNodeId"));
        QTest::mouseClick(Find<QPushButton>(w, "WriteEDS"), Qt::LeftButton);
        QCOMPARE(Text(w, "CommunicationState"), QString::fromLatin1(msg::StatusConnectFirst));
        QVERIFY(window->canopenWindow() == nullptr && window->deviceNetWindow() == nullptr);

        ConnectThroughDialog(*window, [&](ui::ScanParameterDialog& dialog) {
            QVERIFY(!window->inputEnabled() && !Enabled(w, "Connect"));
            window->connectGateway();  // does nothing
            QVERIFY(dialog.isVisible());
            w->close();  // refused without asking
        });
        QCOMPARE(boxes->texts(), Only(msg::GatewayBusy));
        QVERIFY(w->isVisible() && window->inputEnabled() && window->state().Connected);

        // "DeviceNet" alone only swaps the list; its node ID limit refuses 100.
        auto* node = Find<QLineEdit>(w, "CANNodeId");
        auto* setting = Find<QPushButton>(w, "SettingParameter");
        auto* baud = Find<QComboBox>(w, "CANBaudrate");
        boxes->shown.clear();
        Find<QRadioButton>(w, "ApplicationSelect_1")->click();
        node->setText(QStringLiteral("100"));
        setting->click();
        QCOMPARE(baud->count(), 3);
        QCOMPARE(boxes->texts(), Only(msg::DeviceNetNodeIdOutOfRange));
        Find<QRadioButton>(w, "ApplicationSelect_0")->click();
        baud->setCurrentIndex(7);
        setting->click();
        QCOMPARE(window->state().NodeId, 100);
        QCOMPARE(window->state().CanBaudIndex, 7);
        QCOMPARE(Text(w, "ViewerText_2"), QStringLiteral("100"));
        QCOMPARE(Text(w, "CommunicationState"), QString::fromLatin1(msg::StatusSettingOk));

        // An entry typed but not stored is marked; Build EDS File asks whether to store it first.
        for (const auto& [answer, built, stored] :
             {std::tuple{QMessageBox::Cancel, false, 100}, {QMessageBox::No, true, 100}, {QMessageBox::Yes, true, 6}}) {
            node->clear();
            QTest::keyClicks(node, "6");
            QVERIFY(Shown(w, "PendingHint") && node->property("pending").toBool());
            boxes->shown.clear();
            boxes->answer = answer;
            QTest::mouseClick(Find<QPushButton>(w, "WriteEDS"), Qt::LeftButton);
            QVERIFY(boxes->shown.size() == 1 && boxes->shown[0].title == QString::fromLatin1(msg::PendingTitle));
            QCOMPARE(window->state().NodeId, stored);
            QCOMPARE(node->text(), built ? QString::number(stored) : "6");
            QCOMPARE(Shown(w, "PendingHint"), !built);
            QCOMPARE(window->canopenWindow() != nullptr, built);
            if (built)
                window->canopenWindow()->back();
        }

        // The COM2 side stores its own values; what was typed but not stored is forgotten.
        QTest::mouseClick(Find<QPushButton>(w, "ComButton_1"), Qt::LeftButton);
        node->setText(QStringLiteral("32767"));
        setting->click();
        QCOMPARE(window->state().Com2Timeout, 32767);
        node->setText(QStringLiteral("777"));
        QTest::mouseClick(Find<QPushButton>(w, "ComButton_0"), Qt::LeftButton);
        QCOMPARE(node->text(), QStringLiteral("6"));

        // A node ID the profile cannot take stops "Build EDS File" but keeps the connection.
        window->state().NodeId = 128;
        boxes->shown.clear();
        QTest::mouseClick(Find<QPushButton>(w, "WriteEDS"), Qt::LeftButton);
        QCOMPARE(boxes->texts(), Only(msg::NodeIdError));
        QCOMPARE(Text(w, "CommunicationState"), QString::fromLatin1(msg::StatusNodeIdError));
        QVERIFY(window->state().Connected && w->isVisible() && window->canopenWindow() == nullptr);

        // A plan fills the boxes (pending until stored) and the profile window's choices; a saved
        // plan holds what was stored. A typed network port is opened as one, and remembered.
        QFile plan(folder_.filePath("line3.json"));
        QVERIFY(plan.open(QIODevice::WriteOnly));
        plan.write(R"({"plan": 1, "profile": "devicenet", "node_id": 9, "eds": {"description": "Line 3"},
                      "devicenet": {"default_io": "cos"}})");
        plan.close();
        QVERIFY(window->openPlan(plan.fileName()));
        QVERIFY(Find<QRadioButton>(w, "ApplicationSelect_1")->isChecked() && Shown(w, "PendingHint"));
        QVERIFY(node->text() == "9" && window->state().NodeId == 128);
        boxes->answer = QMessageBox::Yes;
        window->buildEdsFile();
        QVERIFY(window->deviceNetWindow() && Find<QRadioButton>(window->deviceNetWindow(), "IO_Info_2")->isChecked());
        QCOMPARE(Text(window->deviceNetWindow(), "EDSInfo_0"), QStringLiteral("Line 3"));
        window->deviceNetWindow()->back();
        QVERIFY(window->savePlan(folder_.filePath("saved.json")));
        std::string error;
        const auto saved = LoadPlanFile(folder_.filePath("saved.json").toStdString(), error);
        QVERIFY(saved && saved->Slave == Profile::DeviceNet && saved->NodeId == 9 && saved->DefaultConnection == 2);
        boxes->shown.clear();
        Find<QComboBox>(w, "ComPort")->setEditText(QStringLiteral("tcp://127.0.0.1:1"));
        window->connectGateway();
        QVERIFY2(boxes->texts().value(0).startsWith("Can't open tcp://127.0.0.1:1! ("),
                 qPrintable(boxes->texts().join(';')));
        QCOMPARE(Find<QComboBox>(std::make_unique<ui::MainWindow>().get(), "ComPort")->currentText(),
                 "tcp://127.0.0.1:1");

        // Every way out asks the same question; No keeps the program.
        boxes->shown.clear();
        boxes->answer = QMessageBox::No;
        Find<QPushButton>(w, "EixtProgram")->click();
        Find<QAction>(w, "ExitProgram")->trigger();
        w->close();
        QCOMPARE(boxes->texts(), QStringList(3, QString::fromLatin1(msg::ExitQuestion)));
        QVERIFY(boxes->shown[2].buttons == (QMessageBox::Yes | QMessageBox::No) &&
                boxes->shown[2].title == QString::fromLatin1(msg::ExitQueryTitle));
        QVERIFY(w->isVisible());
        boxes->answer = QMessageBox::Yes;
        w->close();
        QVERIFY(!w->isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window.moc"
