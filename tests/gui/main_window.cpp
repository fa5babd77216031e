// The main window: start-up, port list, the ways out, About, the connect
// with its guards, and the parameter panel after a connect to the simulated
// gateway.

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QProgressBar>
#include <QSignalSpy>

#include "GuiTestSupport.h"
#include "platform/Messages.h"
#include "ui/AboutWindow.h"
#include "ui/SplashWindow.h"
#include "ui/StartUp.h"
#include "ui/WindowGeometry.h"

using namespace k400;
using namespace k400::test;

namespace {
QString Text(const QWidget* root, const char* name) { return Find<QLineEdit>(root, QString::fromLatin1(name))->text(); }
bool Shown(const QWidget* root, const char* name) { return !Find(root, QString::fromLatin1(name))->isHidden(); }
bool Enabled(const QWidget* root, const char* name) { return Find(root, QString::fromLatin1(name))->isEnabled(); }
}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir folder_;

private slots:
    void startUpShowsTheSplashForASecondWhileEventsRun()
    {
        bool splashSeen = false;
        QTimer::singleShot(100, [&] {
            for (QWidget* top : QApplication::topLevelWidgets())
                splashSeen = splashSeen || (top->objectName() == QStringLiteral("Logo") && top->isVisible());
        });
        QElapsedTimer elapsed;
        elapsed.start();
        ui::MainWindowOptions options;
        options.demo = true;
        auto window = ui::StartUp(std::move(options));
        QVERIFY(elapsed.elapsed() >= 1000);
        QVERIFY(splashSeen);
        QVERIFY(window->isVisible());
        for (QWidget* top : QApplication::topLevelWidgets())
            QVERIFY(!(top->objectName() == QStringLiteral("Logo") && top->isVisible()));
    }

    // Help and version must answer where no display can be opened.
    void helpAndVersionNeedNoDisplay()
    {
        for (const auto& [option, expected] : {std::pair{"--help", "--output-dir"}, std::pair{"--version", "k400gw "}}) {
            QProcess gui;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove(QStringLiteral("DISPLAY"));
            env.remove(QStringLiteral("WAYLAND_DISPLAY"));
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
            gui.setProcessEnvironment(env);
            gui.start(QStringLiteral(K400GW_GUI_EXE), {QString::fromLatin1(option)});
            QVERIFY(gui.waitForFinished(10000));
            QCOMPARE(gui.exitCode(), 0);
            const QString out = QString::fromUtf8(gui.readAllStandardOutput());
            QVERIFY2(out.contains(QString::fromLatin1(expected)), qPrintable(out));
        }
    }

    void startsIdleWithPortListAndDefaults()
    {
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder_);
        QCOMPARE(window->windowTitle(), QStringLiteral("General Setting"));
        // Sixteen COM entries first, whatever the machine has; the simulated gateway last, chosen.
        auto* ports = Find<QComboBox>(window.get(), "ComPort");
        for (int n = 1; n <= 16; ++n)
            QCOMPARE(ports->itemText(n - 1), QStringLiteral("COM%1").arg(n));
        QCOMPARE(ports->itemText(ports->count() - 1), QStringLiteral("Simulated gateway"));
        QCOMPARE(ports->currentIndex(), window->simulatedPortIndex());
        // Only the communication part and the application frame are offered yet.
        QVERIFY(Shown(window.get(), "ApplicationLayerFrame"));
        for (const char* hidden : {"SettingParameter", "ComButton_0", "ComButton_1", "ImageK400_0", "ImageK400_1",
                                   "ConnectProgress", "CANBaudrate", "CANNodeId", "ViewerText_0", "ModulesImage"})
            QVERIFY2(!Shown(window.get(), hidden), hidden);
        // The size follows the screen's DPI: 8240 x 7130 twips.
        QCOMPARE(window->width(), std::max(ui::TwipsToPixels(8240, window.get()), window->minimumSizeHint().width()));

        // "Build EDS File" before a connect only says so.
        QTest::mouseClick(Find<QPushButton>(window.get(), "WriteEDS"), Qt::LeftButton);
        QCOMPARE(Text(window.get(), "CommunicationState"), QString::fromLatin1(msg::StatusConnectFirst));
        QVERIFY(window->isVisible() && window->canopenWindow() == nullptr && window->deviceNetWindow() == nullptr);
        QVERIFY(boxes.shown.empty());

        // Outside demo mode no simulated entry is offered.
        ui::MainWindow plain;
        QCOMPARE(plain.simulatedPortIndex(), -1);
        QCOMPARE(Find<QComboBox>(&plain, "ComPort")->currentIndex(), 0);
    }

    void everyWayOutAsksTheSameQuestion_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("Exit Program button") << 0;
        QTest::newRow("File > Exit") << 1;
        QTest::newRow("close box") << 2;
    }
    void everyWayOutAsksTheSameQuestion()
    {
        QFETCH(int, way);
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder_);
        const auto leave = [&] {
            if (way == 0)
                Find<QPushButton>(window.get(), "EixtProgram")->click();
            else if (way == 1)
                Find<QAction>(window.get(), "ExitProgram")->trigger();
            else
                window->close();
        };
        boxes.answers = {false};
        leave();
        QVERIFY(window->isVisible());
        QCOMPARE(boxes.shown.size(), 1u);
        QCOMPARE(boxes.shown[0].text, QString::fromLatin1(msg::ExitQuestion));
        QCOMPARE(boxes.shown[0].title, QString::fromLatin1(msg::ExitQueryTitle));
        QVERIFY(boxes.shown[0].question);
        boxes.answers = {true};
        leave();
        QVERIFY(!window->isVisible());
    }

    void realExitQueryBoxCanBeAnsweredAndBusyRefusesWithoutAsking()
    {
        // No hook: the real box comes up and is answered like a user would.
        auto window = DemoWindow(folder_);
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

        ScriptedBoxes boxes;
        window->state().GatewayBusy = true;
        boxes.answers = {true};
        window->close();
        QVERIFY(window->isVisible());
        QCOMPARE(boxes.texts(), QStringList{QString::fromLatin1(msg::GatewayBusy)});
        QCOMPARE(boxes.shown[0].title, QStringLiteral("Error"));
        window->state().GatewayBusy = false;
    }

    void aboutAndSplashShowTheirTexts()
    {
        auto window = DemoWindow(folder_);
        Find<QAction>(window.get(), "About_")->trigger();
        auto* about = window->findChild<ui::AboutWindow*>(QStringLiteral("AboutForm"));
        QVERIFY(about != nullptr && about->isVisible());
        QStringList labels;
        for (auto* label : about->findChildren<QLabel*>())
            labels << label->text();
        QVERIFY(labels.contains(QString::fromLatin1(msg::AboutVersion)));
        QVERIFY(labels.contains(QString::fromLatin1(msg::AboutDate)));
        Find<QPushButton>(about, "Command1")->click();
        QTRY_VERIFY(window->findChild<ui::AboutWindow*>(QStringLiteral("AboutForm")) == nullptr);
        ui::SplashWindow splash;
        QCOMPARE(Find<QLabel>(&splash, "Revision")->text(), QString::fromLatin1(msg::SplashRevision));
    }

    void connectShowsTheResult_data()
    {
        QTest::addColumn<QString>("controller");
        QTest::addColumn<QString>("picture");
        QTest::newRow("K400E") << "K400E" << "ImageK400_0";
        QTest::newRow("K400B") << "K400B" << "ImageK400_1";
    }
    void connectShowsTheResult()
    {
        QFETCH(QString, controller);
        QFETCH(QString, picture);
        ScriptedBoxes boxes;
        Scenario scenario = BuiltInScenario();
        scenario.controller = controller.toStdString();
        auto window = DemoWindow(folder_, scenario);
        QSignalSpy progress(Find<QProgressBar>(window.get(), "ConnectProgress"), &QProgressBar::valueChanged);
        ConnectWithDefaults(*window);
        QVERIFY2(boxes.shown.empty(), qPrintable(boxes.texts().join("; ")));
        QVERIFY(window->state().Connected);
        QCOMPARE(Text(window.get(), "CommunicationState"), QString::fromLatin1(msg::StatusWaiting));
        QCOMPARE(Text(window.get(), "FirmwareVer"), QStringLiteral("1.05-2007/11/26"));
        QList<int> values;
        for (const auto& call : progress)
            values << call.at(0).toInt();
        QVERIFY(values.contains(3) && values.contains(5) && values.contains(9) && values.last() == 10);
        QVERIFY(!Shown(window.get(), "ConnectProgress"));
        for (const QString& image : {QStringLiteral("ImageK400_0"), QStringLiteral("ImageK400_1")})
            QCOMPARE(!Find(window.get(), image)->isHidden(), image == picture);
        // The CAN side pressed and red, its panel offered.
        auto* canToggle = Find<QPushButton>(window.get(), "ComButton_0");
        QVERIFY(canToggle->isChecked() && canToggle->styleSheet().contains(QStringLiteral("#ff0000")));
        QVERIFY(Shown(window.get(), "SettingParameter"));
        QCOMPARE(Find<QComboBox>(window.get(), "CANBaudrate")->count(), 8);
        for (const char* control : {"WriteEDS", "EixtProgram", "ComPort", "Connect"})
            QVERIFY2(Enabled(window.get(), control), control);
    }

    void secondConnectAndCloseAreRefusedWhileConnecting()
    {
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder_);
        bool disabledDuringScan = false;
        ConnectThroughDialog(*window, [&](ui::ScanParameterDialog& dialog) {
            disabledDuringScan = !window->isEnabled() && !Enabled(window.get(), "Connect");
            window->connectGateway();  // must do nothing
            QVERIFY(dialog.isVisible());
            window->close();
        });
        QVERIFY(disabledDuringScan);
        QVERIFY(window->isVisible());
        QCOMPARE(boxes.texts(), QStringList{QString::fromLatin1(msg::GatewayBusy)});
        QVERIFY(window->state().Connected);
        QVERIFY(window->isEnabled());
    }

    void failedConnectGivesTheControlsBackButNotBuildEds()
    {
        ScriptedBoxes boxes;
        Scenario silent = BuiltInScenario();
        silent.faults.push_back(FaultRule::NoAnswerTo(CommandMatch::Line("exit", 1)));
        auto window = DemoWindow(folder_, silent);
        window->connectGateway();
        QCOMPARE(boxes.texts(), QStringList{QString::fromLatin1(msg::Timeout)});
        QCOMPARE(Text(window.get(), "CommunicationState"), QString::fromLatin1(msg::StatusTimeout));
        QVERIFY(!window->state().Connected && !window->state().GatewayBusy);
        for (const char* control : {"Connect", "ComPort", "EixtProgram"})
            QVERIFY2(Enabled(window.get(), control), control);
        QVERIFY(!Enabled(window.get(), "WriteEDS"));
        QVERIFY(!Shown(window.get(), "ConnectProgress"));
        boxes.shown.clear();
        window->close();
        QCOMPARE(boxes.texts(), QStringList{QString::fromLatin1(msg::ExitQuestion)});
    }

    void settingChecksAndStoresTheShownSide()
    {
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder_);
        ConnectWithDefaults(*window);
        auto* node = Find<QLineEdit>(window.get(), "CANNodeId");
        auto* setting = Find<QPushButton>(window.get(), "SettingParameter");
        auto* baud = Find<QComboBox>(window.get(), "CANBaudrate");

        // "DeviceNet" alone only swaps the list; 100 is then refused.
        Find<QRadioButton>(window.get(), "ApplicationSelect_1")->click();
        QCOMPARE(baud->count(), 3);
        node->setText(QStringLiteral("100"));
        setting->click();
        QCOMPARE(boxes.texts(), QStringList{QString::fromLatin1(msg::DeviceNetNodeIdOutOfRange)});
        QCOMPARE(window->state().ApplicationLayer, 0);

        Find<QRadioButton>(window.get(), "ApplicationSelect_0")->click();
        node->setText(QStringLiteral("127"));
        baud->setCurrentIndex(7);
        setting->click();
        QCOMPARE(window->state().NodeId, 127);
        QCOMPARE(window->state().CanBaudIndex, 7);
        QCOMPARE(Text(window.get(), "ViewerText_2"), QStringLiteral("127"));
        QCOMPARE(Text(window.get(), "CommunicationState"), QString::fromLatin1(msg::StatusSettingOk));

        // The COM2 side: its own caption and limits; typed but unstored values are forgotten.
        QTest::mouseClick(Find<QPushButton>(window.get(), "ComButton_1"), Qt::LeftButton);
        QCOMPARE(Find<QGroupBox>(window.get(), "ParaSetting")->title(), QStringLiteral("COM2 Parameter Setting"));
        QVERIFY(Shown(window.get(), "ComChecksum") && !Shown(window.get(), "ApplicationLayerFrame"));
        boxes.shown.clear();
        node->setText(QStringLiteral("32768"));
        setting->click();
        QCOMPARE(boxes.texts(), QStringList{QString::fromLatin1(msg::TimeoutOutOfRange)});
        node->setText(QStringLiteral("32767"));
        Find<QComboBox>(window.get(), "ComChecksum")->setCurrentIndex(1);
        setting->click();
        QCOMPARE(window->state().Com2Timeout, 32767);
        QCOMPARE(window->state().Com2Checksum, 1);
        QCOMPARE(Text(window.get(), "ViewerText_1"), QString::fromLatin1(msg::ViewerChecksumEnabled));
        node->setText(QStringLiteral("777"));
        QTest::mouseClick(Find<QPushButton>(window.get(), "ComButton_0"), Qt::LeftButton);
        QCOMPARE(Text(window.get(), "CANNodeId"), QStringLiteral("127"));
    }

    void nodeIdOutOfRangeAtBuildEdsReleasesButStaysConnected()
    {
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder_);
        ConnectWithDefaults(*window);
        window->state().NodeId = 128;
        window->state().ApplicationLayer = 1;
        QTest::mouseClick(Find<QPushButton>(window.get(), "WriteEDS"), Qt::LeftButton);
        QCOMPARE(boxes.texts(), QStringList{QString::fromLatin1(msg::NodeIdError)});
        QCOMPARE(Text(window.get(), "CommunicationState"), QString::fromLatin1(msg::StatusNodeIdError));
        QCOMPARE(window->state().ApplicationLayer, 0);
        QVERIFY(window->state().Connected && window->isVisible());
        QVERIFY(window->canopenWindow() == nullptr && window->deviceNetWindow() == nullptr);
        QVERIFY(Enabled(window.get(), "Connect"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window.moc"
