// The CANopen road end to end on the simulated gateway: connect, settings,
// "Build EDS File", the three viewers, Finish with EEPROM and EDS file, and
// the refusals on the way.

#include <QFile>
#include <QGroupBox>
#include <QRadioButton>
#include <QTabBar>

#include "GuiTestSupport.h"
#include "ui/TableViewer.h"
#include "canopen/EdsWriter.h"
#include "canopen/PdoTables.h"
#include "ui/CanopenWindow.h"
#include "modules/ModuleInfoTable.h"

using namespace k400;
using namespace k400::test;

namespace {

std::vector<std::vector<std::string>> Rows(const std::vector<ModuleInfoRow>& rows)
{
    std::vector<std::vector<std::string>> out;
    for (const auto& row : rows)
        out.emplace_back(row.begin(), row.end());
    return out;
}

ui::CanopenWindow* OpenCanopenWindow(ui::MainWindow& window, int nodeId)
{
    BuildEdsFor(window, 0, nodeId);
    return window.canopenWindow();
}

}  // namespace

class CanopenFlowTest : public QObject {
    Q_OBJECT
private slots:
    void fullFlowWritesTheGatewayAndTheEdsFile()
    {
        QTemporaryDir folder;
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder.path().toStdString());
        ConnectWithDefaults(*window);
        ui::CanopenWindow* canopen = OpenCanopenWindow(*window, 5);
        QVERIFY(canopen != nullptr);
        QVERIFY(canopen->isVisible());
        QVERIFY(!window->isVisible());
        QCOMPARE(canopen->windowTitle(), QStringLiteral("EDS File Configuration & Information Viewer"));
        QCOMPARE(Find<QLineEdit>(canopen, "EDSInfo_0")->text(), QString());

        // Heartbeat hides the guarding frame.
        Find<QRadioButton>(canopen, "ErrControl_1")->click();
        QVERIFY(Find<QGroupBox>(canopen, "ParameterSetting_frame_0")->isHidden());
        QVERIFY(!Find<QGroupBox>(canopen, "ParameterSetting_frame_1")->isHidden());
        Find<QLineEdit>(canopen, "Heartbeat_T")->setText(QStringLiteral("1500"));
        Find<QLineEdit>(canopen, "EDSInfo_0")->setText(QStringLiteral("Line 3 gateway"));
        Find<QLineEdit>(canopen, "EDSInfo_1")->setText(QStringLiteral("Commissioning"));

        // Viewers open beside the window and show the core's tables; a tab change rebuilds.
        Find<QPushButton>(canopen, "ShowSettingResult")->click();
        ui::TableViewer* pdo = canopen->pdoViewer();
        QVERIFY(pdo != nullptr && pdo->isVisible() && canopen->isVisible());
        QCOMPARE(pdo->windowTitle(), QStringLiteral("Rx/Tx PDO Parameters"));
        QCOMPARE(pdo->tabBar()->tabText(0), QStringLiteral("Receive PDO"));
        CompareGrid(pdo->grid(), PdoTableRows(window->state(), PdoDirection::Receive));
        QCOMPARE(pdo->grid()->cellText(0, 0), QStringLiteral("PDO NO."));
        pdo->selectTab(1);
        CompareGrid(pdo->grid(), PdoTableRows(window->state(), PdoDirection::Transmit));

        Find<QPushButton>(canopen, "ShowObjDictionary")->click();
        ui::TableViewer* dictionary = canopen->objectDictionaryViewer();
        QVERIFY(dictionary != nullptr && dictionary->isVisible());
        CompareGrid(dictionary->grid(), ManufacturerObjectRows(window->state()));
        dictionary->selectTab(1);
        QCOMPARE(dictionary->tabBar()->tabText(1), QStringLiteral("Standardized Device Object Dictionary"));
        CompareGrid(dictionary->grid(), StandardizedObjectRows(window->state()));
        dictionary->selectTab(0);
        CompareGrid(dictionary->grid(), ManufacturerObjectRows(window->state()));

        Find<QPushButton>(canopen, "ShowTarn")->click();
        ui::TableViewer* tarn = canopen->tarnInfoViewer();
        QVERIFY(tarn != nullptr && tarn->isVisible());
        QCOMPARE(tarn->grid()->gridRows(), window->state().ModuleCount + 1);
        CompareGrid(tarn->grid(), Rows(ModuleInfoRows(window->state())));

        QPointer<ui::CanopenWindow> guard(canopen);
        QTest::mouseClick(Find<QPushButton>(canopen, "FinishButton"), Qt::LeftButton);
        QVERIFY2(boxes.shown.empty(), qPrintable(boxes.texts().join("; ")));
        QCOMPARE(window->statusText(), QStringLiteral("Produce .EDS file is OK"));
        QVERIFY(window->isVisible());
        QVERIFY(!window->state().GatewayBusy);
        QTRY_VERIFY(guard.isNull());
        QVERIFY(window->canopenWindow() == nullptr);

        QFile eds(QString::fromStdString((folder.path().toStdString() + "/" + CanopenEdsFileName(5))));
        QVERIFY2(eds.open(QIODevice::ReadOnly), qPrintable(eds.fileName()));
        const QByteArray text = eds.readAll();
        QVERIFY(text.contains("Line 3 gateway"));
        QVERIFY(text.contains("Commissioning"));

        // The gateway kept what Finish wrote: a new connect reads node 5 and
        // the heartbeat back, and the window presets them.
        window->state().NodeId = 1;
        ConnectWithDefaults(*window);
        QVERIFY2(boxes.shown.empty(), qPrintable(boxes.texts().join("; ")));
        QCOMPARE(window->state().NodeId, 5);
        QCOMPARE(window->state().StoredImageValid, 1);
        QTest::mouseClick(Find<QPushButton>(window.get(), "WriteEDS"), Qt::LeftButton);
        canopen = window->canopenWindow();
        QVERIFY(canopen != nullptr);
        QVERIFY(Find<QRadioButton>(canopen, "ErrControl_1")->isChecked());
        QCOMPARE(Find<QLineEdit>(canopen, "Heartbeat_T")->text(), QStringLiteral("1500"));
        canopen->back();
        QVERIFY(window->isVisible());
    }

    void outOfRangeTimesKeepTheWindowOpenAndWriteNothing()
    {
        QTemporaryDir folder;
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder.path().toStdString());
        ConnectWithDefaults(*window);
        ui::CanopenWindow* canopen = OpenCanopenWindow(*window, 7);
        QVERIFY(canopen != nullptr);
        Find<QRadioButton>(canopen, "ErrControl_0")->click();
        Find<QLineEdit>(canopen, "GuardTime_T_0")->setText(QStringLiteral("65536"));
        Find<QLineEdit>(canopen, "GuardTime_T_1")->setText(QStringLiteral("256"));
        Find<QPushButton>(canopen, "FinishButton")->click();
        // Only the first failing value is reported.
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Guard Time is overflow")});
        Find<QLineEdit>(canopen, "GuardTime_T_0")->setText(QStringLiteral("65535"));
        Find<QPushButton>(canopen, "FinishButton")->click();
        QCOMPARE(boxes.texts().last(), QStringLiteral("Life factor is overflow"));
        QVERIFY(canopen->isVisible());
        QVERIFY(Find<QGroupBox>(canopen, "Frame1")->isEnabled());
        QVERIFY(!QFile::exists(QString::fromStdString(folder.path().toStdString() + "/" + CanopenEdsFileName(7))));

        // Back returns to the main window without writing.
        Find<QPushButton>(canopen, "BackButton")->click();
        QVERIFY(window->isVisible());
        QVERIFY(window->canopenWindow() == nullptr);
        QVERIFY(window->statusText() != QStringLiteral("Produce .EDS file is OK"));
    }

    void finishAndCloseAreRefusedWhileFinishTalksToTheGateway()
    {
        QTemporaryDir folder;
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder.path().toStdString());
        ConnectWithDefaults(*window);
        QPointer<ui::CanopenWindow> canopen = OpenCanopenWindow(*window, 9);
        QVERIFY(canopen != nullptr);
        bool frameDisabled = false;
        QVERIFY(ClickAndActWhileBusy(*window, Find<QPushButton>(canopen.data(), "FinishButton"), [&] {
            frameDisabled = !Find<QGroupBox>(canopen.data(), "Frame1")->isEnabled();
            canopen->finish();  // a second Finish does nothing
            canopen->close();   // refused
        }));
        QVERIFY(frameDisabled);
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Module is connecting now!")});
        QCOMPARE(window->statusText(), QStringLiteral("Produce .EDS file is OK"));
        QTRY_VERIFY(canopen.isNull());
        QVERIFY(window->isVisible());
    }

    void finishTimeoutKeepsTheWindowOpenWithoutAnEdsFile()
    {
        QTemporaryDir folder;
        ScriptedBoxes boxes;
        // Connect enters the EEPROM sub-mode twice; the third time is Finish's.
        Scenario scenario = BuiltInScenario();
        scenario.faults.push_back(FaultRule::NoAnswerTo(CommandMatch::Line("use eeprom", 3)));
        auto window = DemoWindow(folder.path().toStdString(), scenario);
        ConnectWithDefaults(*window);
        QVERIFY(window->state().Connected);
        ui::CanopenWindow* canopen = OpenCanopenWindow(*window, 6);
        QVERIFY(canopen != nullptr);
        boxes.shown.clear();
        Find<QPushButton>(canopen, "FinishButton")->click();
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Timeout")});
        QCOMPARE(window->statusText(), QStringLiteral("Timeout"));
        QVERIFY(canopen->isVisible());
        QVERIFY(!window->isVisible());
        QVERIFY(!Find<QGroupBox>(canopen, "Frame1")->isEnabled());
        QVERIFY(!window->state().GatewayBusy);
        QVERIFY(!QFile::exists(QString::fromStdString(folder.path().toStdString() + "/" + CanopenEdsFileName(6))));
        // No longer busy: the window may be left.
        canopen->back();
        QVERIFY(window->isVisible());
    }

    void viewersNeedChannels()
    {
        QTemporaryDir folder;
        ScriptedBoxes boxes;
        Scenario empty = BuiltInScenario();
        empty.modules.clear();
        auto window = DemoWindow(folder.path().toStdString(), empty);
        ConnectWithDefaults(*window);
        QVERIFY(window->state().Connected);
        boxes.shown.clear();
        ui::CanopenWindow* canopen = OpenCanopenWindow(*window, 2);
        QVERIFY(canopen != nullptr);
        boxes.shown.clear();
        Find<QPushButton>(canopen, "ShowSettingResult")->click();
        Find<QPushButton>(canopen, "ShowObjDictionary")->click();
        Find<QPushButton>(canopen, "ShowTarn")->click();
        QCOMPARE(boxes.texts(), (QStringList{QStringLiteral("No channel is available!"),
                                             QStringLiteral("No object is available!"),
                                             QStringLiteral("No channel is available!")}));
        QVERIFY(canopen->pdoViewer() == nullptr);
        QVERIFY(canopen->objectDictionaryViewer() == nullptr);
        QVERIFY(canopen->tarnInfoViewer() == nullptr);
        canopen->close();
    }
};

QTEST_MAIN(CanopenFlowTest)
#include "canopen_flow.moc"
