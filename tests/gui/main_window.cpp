// The main window: start-up state, port list, exit query, busy guard, About,
// "Build EDS File" before a connect, and the parameter panel after a connect
// to the simulated gateway.

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalSpy>

#include "GuiTestSupport.h"
#include "app/Settings.h"
#include "ui/SplashWindow.h"
#include "ui/AboutWindow.h"
#include "ui/StartUp.h"
#include "ui/WindowGeometry.h"

using namespace k400;
using namespace k400::test;

namespace {
QString Text(const QWidget* root, const char* name) { return Find<QLineEdit>(root, QString::fromLatin1(name))->text(); }
bool Shown(const QWidget* root, const char* name) { return !Find<QWidget>(root, QString::fromLatin1(name))->isHidden(); }
}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir folder_;

private slots:
    void startUpShowsTheSplashForASecondWhileEventsRun()
    {
        bool splashSeen = false;
        bool timerRan = false;
        QTimer::singleShot(100, [&] {
            timerRan = true;
            for (QWidget* top : QApplication::topLevelWidgets())
                splashSeen = splashSeen || (top->objectName() == QStringLiteral("Logo") && top->isVisible());
        });
        QElapsedTimer elapsed;
        elapsed.start();
        ui::MainWindowOptions options;
        options.demo = true;
        auto window = ui::StartUp(std::move(options));
        QVERIFY(elapsed.elapsed() >= 1000);
        QVERIFY(timerRan);
        QVERIFY(splashSeen);
        QVERIFY(window->isVisible());
        for (QWidget* top : QApplication::topLevelWidgets())
            QVERIFY(!(top->objectName() == QStringLiteral("Logo") && top->isVisible()));
    }

    // Help and version must answer where no display can be opened.
    void helpAndVersionNeedNoDisplay()
    {
        for (const QString& option : {QStringLiteral("--help"), QStringLiteral("--version")}) {
            QProcess gui;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove(QStringLiteral("DISPLAY"));
            env.remove(QStringLiteral("WAYLAND_DISPLAY"));
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
            gui.setProcessEnvironment(env);
            gui.start(QStringLiteral(K400GW_GUI_EXE), {option});
            QVERIFY(gui.waitForFinished(10000));
            QCOMPARE(gui.exitCode(), 0);
            const QString out = QString::fromUtf8(gui.readAllStandardOutput());
            QVERIFY2(out.contains(option == QStringLiteral("--help") ? QStringLiteral("--output-dir")
                                                                      : QStringLiteral("k400gw ")),
                     qPrintable(out));
        }
    }

    void startsIdleWithPortListAndDefaults()
    {
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder_.path().toStdString());
        QCOMPARE(window->windowTitle(), QStringLiteral("General Setting"));
        auto* ports = Find<QComboBox>(window.get(), "ComPort");
        // Sixteen COM entries first, whatever the machine has; the simulated gateway last, chosen.
        QVERIFY(ports->count() >= 17);
        for (int n = 1; n <= 16; ++n)
            QCOMPARE(ports->itemText(n - 1), QStringLiteral("COM%1").arg(n));
        QCOMPARE(window->state().ComPortNumbers[15], 16);
        QCOMPARE(ports->itemText(ports->count() - 1), QStringLiteral("Simulated gateway"));
        QCOMPARE(ports->currentIndex(), window->simulatedPortIndex());

        // Nothing but the communication part and the application frame is offered yet.
        QVERIFY(Shown(window.get(), "ApplicationLayerFrame"));
        for (const char* hidden : {"SettingParameter", "ComButton_0", "ComButton_1", "ImageK400_0", "ImageK400_1",
                                   "ConnectProgress", "CANBaudrate", "CANNodeId", "ViewerText_0", "ModulesImage"})
            QVERIFY2(!Shown(window.get(), hidden), hidden);
        QVERIFY(!Find<QRadioButton>(window.get(), "ApplicationSelect_0")->isChecked());
        QVERIFY(!Find<QRadioButton>(window.get(), "ApplicationSelect_1")->isChecked());
        QCOMPARE(Find<QPushButton>(window.get(), "EixtProgram")->text(), QStringLiteral("Exit Program"));
        QCOMPARE(Text(window.get(), "CommunicationState"), QString());

        // The size follows the screen's DPI: 8240 x 7130 twips.
        QCOMPARE(window->width(), std::max(ui::TwipsToPixels(8240, window.get()), window->minimumSizeHint().width()));

        // Outside demo mode no simulated entry is offered.
        ui::MainWindow plain;
        auto* plainPorts = Find<QComboBox>(&plain, "ComPort");
        QCOMPARE(plain.simulatedPortIndex(), -1);
        QCOMPARE(plainPorts->currentIndex(), 0);
        for (int i = 16; i < plainPorts->count(); ++i)
            QVERIFY(plainPorts->itemText(i) != QStringLiteral("Simulated gateway"));
    }

    void buildEdsBeforeConnectOnlySetsStatus()
    {
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder_.path().toStdString());
        QTest::mouseClick(Find<QPushButton>(window.get(), "WriteEDS"), Qt::LeftButton);
        QCOMPARE(Text(window.get(), "CommunicationState"), QStringLiteral("Connect to K-400 first"));
        QVERIFY(window->isVisible());
        QVERIFY(window->canopenWindow() == nullptr);
        QVERIFY(window->deviceNetWindow() == nullptr);
        QVERIFY(boxes.shown.empty());
    }

    void exitQueryIsTheSameFromEveryWayOut_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("Exit Program button") << 0;
        QTest::newRow("File > Exit") << 1;
        QTest::newRow("close box") << 2;
    }

    void exitQueryIsTheSameFromEveryWayOut()
    {
        QFETCH(int, way);
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder_.path().toStdString());
        const auto leave = [&] {
            if (way == 0)
                Find<QPushButton>(window.get(), "EixtProgram")->click();
            else if (way == 1)
                Find<QAction>(window.get(), "ExitProgram")->trigger();
            else
                window->close();
        };
        window->state().NodeId = 42;
        boxes.answers = {false};
        leave();
        QVERIFY(window->isVisible());
        QCOMPARE(window->state().NodeId, 42);
        QCOMPARE(boxes.shown.size(), 1u);
        QCOMPARE(boxes.shown[0].text, QStringLiteral("Are you sure to exit this program?"));
        QCOMPARE(boxes.shown[0].title, QStringLiteral("Exit Query"));
        QVERIFY(boxes.shown[0].question);

        boxes.answers = {true};
        leave();
        QVERIFY(!window->isVisible());
    }

    void realExitQueryBoxCanBeAnswered()
    {
        // No hook: the real box comes up and is answered like a user would.
        auto window = DemoWindow(folder_.path().toStdString());
        QString seen;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            seen = box->windowTitle() + "|" + box->text();
            box->button(QMessageBox::No)->click();
        });
        window->close();
        QCOMPARE(seen, QStringLiteral("Exit Query|Are you sure to exit this program?"));
        QVERIFY(window->isVisible());
    }

    void closingWhileBusyIsRefusedWithoutAsking()
    {
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder_.path().toStdString());
        window->state().GatewayBusy = true;
        boxes.answers = {true};
        window->close();
        QVERIFY(window->isVisible());
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Module is connecting now!")});
        QCOMPARE(boxes.shown[0].title, QStringLiteral("Error"));
        window->state().GatewayBusy = false;
    }

    void aboutAndSplashShowTheirTexts()
    {
        auto window = DemoWindow(folder_.path().toStdString());
        Find<QAction>(window.get(), "About_")->trigger();
        auto* about = window->findChild<ui::AboutWindow*>(QStringLiteral("AboutForm"));
        QVERIFY(about != nullptr && about->isVisible());
        QStringList labels;
        for (auto* label : about->findChildren<QLabel*>())
            labels << label->text();
        QVERIFY(labels.contains(QStringLiteral("Ver. 1.5.0")));
        QVERIFY(labels.contains(QStringLiteral("January. 2008")));
        const QString support = Find<QGroupBox>(about, "Support")->findChildren<QLabel*>().size() == 2
                                    ? QStringLiteral("two lines")
                                    : QString();
        QCOMPARE(support, QStringLiteral("two lines"));
        Find<QPushButton>(about, "Command1")->click();
        QTRY_VERIFY(window->findChild<ui::AboutWindow*>(QStringLiteral("AboutForm")) == nullptr);

        ui::SplashWindow splash;
        QCOMPARE(Find<QLabel>(&splash, "Revision")->text(), QStringLiteral("Release revision: ver 1.5.0"));
    }

    void connectShowsResultAndMovesProgress()
    {
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder_.path().toStdString());
        QSignalSpy progress(Find<QProgressBar>(window.get(), "ConnectProgress"), &QProgressBar::valueChanged);
        ConnectWithDefaults(*window);
        QVERIFY2(boxes.shown.empty(), qPrintable(boxes.texts().join("; ")));
        QVERIFY(window->state().Connected);
        QCOMPARE(Text(window.get(), "CommunicationState"), QStringLiteral("Waiting for configuration"));
        QCOMPARE(Text(window.get(), "FirmwareVer"), QStringLiteral("1.05-2007/11/26"));
        QList<int> values;
        for (const auto& call : progress)
            values << call.at(0).toInt();
        QVERIFY2(values.contains(3) && values.contains(5) && values.contains(9) && values.last() == 10,
                 qPrintable(QString::number(values.size())));
        QVERIFY(!Shown(window.get(), "ConnectProgress"));
        QCOMPARE(Find<QProgressBar>(window.get(), "ConnectProgress")->maximum(), 10);
        // The K400E picture, both sides, the CAN side pressed and red.
        QVERIFY(Shown(window.get(), "ImageK400_0"));
        QVERIFY(!Shown(window.get(), "ImageK400_1"));
        auto* canToggle = Find<QPushButton>(window.get(), "ComButton_0");
        QVERIFY(canToggle->isChecked());
        QVERIFY(canToggle->styleSheet().contains(QStringLiteral("#ff0000")));
        QVERIFY(!Find<QPushButton>(window.get(), "ComButton_1")->isChecked());
        QVERIFY(Shown(window.get(), "SettingParameter"));
        QCOMPARE(Find<QGroupBox>(window.get(), "ParaSetting")->title(), QStringLiteral("CAN Parameter Setting"));
        QCOMPARE(Find<QComboBox>(window.get(), "CANBaudrate")->count(), 8);
        QVERIFY(Find<QPushButton>(window.get(), "WriteEDS")->isEnabled());
        QVERIFY(Find<QPushButton>(window.get(), "EixtProgram")->isEnabled());
        QVERIFY(Find<QComboBox>(window.get(), "ComPort")->isEnabled());
    }

    void aK400BShowsItsOwnPicture()
    {
        ScriptedBoxes boxes;
        Scenario k400b = BuiltInScenario();
        k400b.controller = "K400B";
        auto window = DemoWindow(folder_.path().toStdString(), k400b);
        ConnectWithDefaults(*window);
        QVERIFY(window->state().Connected);
        QVERIFY(Shown(window.get(), "ImageK400_1"));
        QVERIFY(!Shown(window.get(), "ImageK400_0"));
    }

    void secondConnectAndCloseAreRefusedWhileConnecting()
    {
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder_.path().toStdString());
        bool disabledDuringScan = false;
        ConnectThroughDialog(*window, [&](ui::ScanParameterDialog& dialog) {
            disabledDuringScan = !window->isEnabled() && !Find<QPushButton>(window.get(), "Connect")->isEnabled();
            window->connectGateway();  // must do nothing
            QVERIFY(dialog.isVisible());
            QVERIFY(!window->state().ScanParametersDone);
            window->close();
        });
        QVERIFY(disabledDuringScan);
        QVERIFY(window->isVisible());
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Module is connecting now!")});
        QVERIFY(window->state().Connected);
        QVERIFY(window->isEnabled());
    }

    void failedConnectGivesTheControlsBackButNotBuildEds()
    {
        ScriptedBoxes boxes;
        Scenario silent = BuiltInScenario();
        silent.faults.push_back(FaultRule::NoAnswerTo(CommandMatch::Line("exit", 1)));
        auto window = DemoWindow(folder_.path().toStdString(), silent);
        window->connectGateway();
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Timeout")});
        QCOMPARE(boxes.shown[0].title, QStringLiteral("Error"));
        QCOMPARE(Text(window.get(), "CommunicationState"), QStringLiteral("Timeout"));
        QVERIFY(!window->state().Connected);
        QVERIFY(!window->state().GatewayBusy);
        QVERIFY(Find<QPushButton>(window.get(), "Connect")->isEnabled());
        QVERIFY(Find<QComboBox>(window.get(), "ComPort")->isEnabled());
        QVERIFY(Find<QPushButton>(window.get(), "EixtProgram")->isEnabled());
        QVERIFY(!Find<QPushButton>(window.get(), "WriteEDS")->isEnabled());
        QVERIFY(!Shown(window.get(), "ConnectProgress"));
        QVERIFY(!Shown(window.get(), "ComButton_0"));

        // Not busy any more: leaving asks the usual question.
        boxes.shown.clear();
        window->close();
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Are you sure to exit this program?")});
    }

    void com2SideShowsFiftyForAZeroTimeoutAndStoredValuesOnReturn()
    {
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder_.path().toStdString());
        ConnectWithDefaults(*window);
        const int node = window->state().NodeId;
        // Typed but not stored: switching sides forgets it.
        Find<QLineEdit>(window.get(), "CANNodeId")->setText(QStringLiteral("99"));
        window->state().Com2Timeout = 0;
        QTest::mouseClick(Find<QPushButton>(window.get(), "ComButton_1"), Qt::LeftButton);
        QCOMPARE(Find<QGroupBox>(window.get(), "ParaSetting")->title(), QStringLiteral("COM2 Parameter Setting"));
        QCOMPARE(Find<QGroupBox>(window.get(), "ParaView")->title(), QStringLiteral("COM2 Parameter Viewer"));
        QCOMPARE(Text(window.get(), "CANNodeId"), QStringLiteral("50"));
        QCOMPARE(Text(window.get(), "ViewerText_2"), QStringLiteral("50"));
        QCOMPARE(window->state().Com2Timeout, 0);
        QVERIFY(Shown(window.get(), "ComChecksum"));
        QVERIFY(!Shown(window.get(), "ApplicationLayerFrame"));
        QVERIFY(Shown(window.get(), "ParaSettingC2_1") && !Shown(window.get(), "ParaSettingC2_0"));
        QCOMPARE(Find<QComboBox>(window.get(), "CANBaudrate")->itemText(7), QStringLiteral("      115200  BPS"));
        QVERIFY(!Find<QPushButton>(window.get(), "ComButton_0")->isChecked());

        Find<QLineEdit>(window.get(), "CANNodeId")->setText(QStringLiteral("777"));
        QTest::mouseClick(Find<QPushButton>(window.get(), "ComButton_0"), Qt::LeftButton);
        QCOMPARE(Text(window.get(), "CANNodeId"), QString::number(node));
        QCOMPARE(Text(window.get(), "ViewerText_2"), QString::number(node));
        QCOMPARE(Find<QComboBox>(window.get(), "CANBaudrate")->count(), 8);
        QVERIFY(boxes.shown.empty());

        // Clicking the pressed toggle hides only "Setting"; again shows it.
        QTest::mouseClick(Find<QPushButton>(window.get(), "ComButton_0"), Qt::LeftButton);
        QVERIFY(!Shown(window.get(), "SettingParameter"));
        QVERIFY(Shown(window.get(), "CANBaudrate"));
        QTest::mouseClick(Find<QPushButton>(window.get(), "ComButton_0"), Qt::LeftButton);
        QVERIFY(Shown(window.get(), "SettingParameter"));
    }

    void settingChecksAndStoresTheShownSide()
    {
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder_.path().toStdString());
        ConnectWithDefaults(*window);
        auto* node = Find<QLineEdit>(window.get(), "CANNodeId");
        auto* setting = Find<QPushButton>(window.get(), "SettingParameter");

        // "DeviceNet" alone only swaps the list; 100 is then refused.
        Find<QRadioButton>(window.get(), "ApplicationSelect_1")->click();
        QCOMPARE(window->state().ApplicationLayer, 0);
        QCOMPARE(Find<QComboBox>(window.get(), "CANBaudrate")->count(), 3);
        node->setText(QStringLiteral("100"));
        setting->click();
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Node ID is not supported!(1~63)")});
        QCOMPARE(window->state().ApplicationLayer, 0);
        QCOMPARE(Text(window.get(), "CANNodeId"), QStringLiteral("100"));
        QVERIFY(Text(window.get(), "CommunicationState") != QStringLiteral("Setting Ok"));

        Find<QRadioButton>(window.get(), "ApplicationSelect_0")->click();
        node->setText(QStringLiteral("127"));
        Find<QComboBox>(window.get(), "CANBaudrate")->setCurrentIndex(7);
        setting->click();
        QCOMPARE(window->state().NodeId, 127);
        QCOMPARE(window->state().CanBaudIndex, 7);
        QCOMPARE(Text(window.get(), "ViewerText_2"), QStringLiteral("127"));
        QCOMPARE(Text(window.get(), "ViewerText_0"), QStringLiteral("     1000    KBPS"));
        QCOMPARE(Text(window.get(), "CommunicationState"), QStringLiteral("Setting Ok"));

        // COM2 side: 32768 refused, 32767 stored.
        QTest::mouseClick(Find<QPushButton>(window.get(), "ComButton_1"), Qt::LeftButton);
        boxes.shown.clear();
        node->setText(QStringLiteral("32768"));
        setting->click();
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Timeout value is out of range!(1ms~32767ms)")});
        node->setText(QStringLiteral("32767"));
        Find<QComboBox>(window.get(), "ComChecksum")->setCurrentIndex(1);
        setting->click();
        QCOMPARE(window->state().Com2Timeout, 32767);
        QCOMPARE(window->state().Com2Checksum, 1);
        QCOMPARE(Text(window.get(), "ViewerText_1"), QStringLiteral("Enalbe"));
    }

    void nodeIdOutOfRangeAtBuildEdsReleasesButStaysConnected()
    {
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder_.path().toStdString());
        ConnectWithDefaults(*window);
        window->state().NodeId = 128;
        window->state().ApplicationLayer = 1;
        QTest::mouseClick(Find<QPushButton>(window.get(), "WriteEDS"), Qt::LeftButton);
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("NodeID Error")});
        QCOMPARE(Text(window.get(), "CommunicationState"), QStringLiteral("NodeID or Application error"));
        QCOMPARE(window->state().ApplicationLayer, 0);
        QCOMPARE(window->state().StoredImageValid, 0);
        QVERIFY(window->state().Connected);
        QVERIFY(window->isVisible());
        QVERIFY(window->canopenWindow() == nullptr);
        QVERIFY(Find<QPushButton>(window.get(), "Connect")->isEnabled());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window.moc"
