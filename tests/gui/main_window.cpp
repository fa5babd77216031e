// The main window on the simulated gateway: the connect and its outcomes,
// the parameter panel on both sides, and the ways out.

#include <QAction>
#include <QMessageBox>

#include "GuiTestSupport.h"
#include "platform/Messages.h"

using namespace k400;
using namespace k400::test;

namespace {
QString Text(const QWidget* root, const char* name) { return Find<QLineEdit>(root, QString::fromLatin1(name))->text(); }
bool Shown(const QWidget* root, const QString& name) { return !Find(root, name)->isHidden(); }
bool Enabled(const QWidget* root, const char* name) { return Find(root, QString::fromLatin1(name))->isEnabled(); }
QStringList Only(const char* text) { return {QString::fromLatin1(text)}; }
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
        QTest::newRow("K400E") << "K400E" << "ImageK400_0";
        QTest::newRow("K400B") << "K400B" << "ImageK400_1";
        QTest::newRow("no answer") << "" << "";
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
        auto window = DemoWindow(folder_, scenario);
        ConnectWithDefaults(*window);
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
    // while it runs, Setting on both sides, and the ways out.
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
            QVERIFY(!w->isEnabled() && !Enabled(w, "Connect"));
            window->connectGateway();  // does nothing
            QVERIFY(dialog.isVisible());
            w->close();  // refused without asking
        });
        QCOMPARE(boxes->texts(), Only(msg::GatewayBusy));
        QVERIFY(w->isVisible() && w->isEnabled() && window->state().Connected);

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

        // The COM2 side stores its own values; what was typed but not stored is forgotten.
        QTest::mouseClick(Find<QPushButton>(w, "ComButton_1"), Qt::LeftButton);
        node->setText(QStringLiteral("32767"));
        setting->click();
        QCOMPARE(window->state().Com2Timeout, 32767);
        node->setText(QStringLiteral("777"));
        QTest::mouseClick(Find<QPushButton>(w, "ComButton_0"), Qt::LeftButton);
        QCOMPARE(node->text(), QStringLiteral("100"));

        // A node ID the profile cannot take stops "Build EDS File" but keeps the connection.
        window->state().NodeId = 128;
        boxes->shown.clear();
        QTest::mouseClick(Find<QPushButton>(w, "WriteEDS"), Qt::LeftButton);
        QCOMPARE(boxes->texts(), Only(msg::NodeIdError));
        QCOMPARE(Text(w, "CommunicationState"), QString::fromLatin1(msg::StatusNodeIdError));
        QVERIFY(window->state().Connected && w->isVisible() && window->canopenWindow() == nullptr);

        // Every way out asks the same question; No keeps the program.
        boxes->shown.clear();
        Find<QPushButton>(w, "EixtProgram")->click();
        Find<QAction>(w, "ExitProgram")->trigger();
        w->close();
        QCOMPARE(boxes->texts(), QStringList(3, QString::fromLatin1(msg::ExitQuestion)));
        QVERIFY(boxes->shown[2].question && boxes->shown[2].title == QString::fromLatin1(msg::ExitQueryTitle));
        QVERIFY(w->isVisible());
        boxes.reset();  // the real box, answered as a user would
        QString seen;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            seen = box->windowTitle() + "|" + box->text();
            box->button(QMessageBox::Yes)->click();
        });
        w->close();
        QCOMPARE(seen, QString(msg::ExitQueryTitle) + "|" + msg::ExitQuestion);
        QVERIFY(!w->isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window.moc"
