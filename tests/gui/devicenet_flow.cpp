// The DeviceNet road end to end on the simulated gateway: connect, settings,
// "Build EDS File", the selectors with the strobe limit, the viewers, Finish
// with EEPROM and EDS file, the restore on the next visit, and Back.

#include <QFile>
#include <QGroupBox>
#include <QRadioButton>
#include <QTabBar>

#include "GuiTestSupport.h"
#include "ui/TableViewer.h"
#include "devicenet/EdsWriter.h"
#include "devicenet/ObjectTables.h"
#include "ui/DeviceNetWindow.h"

using namespace k400;
using namespace k400::test;

namespace {

// A user's choice in a drop-down list.
void Choose(QComboBox* box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

ui::DeviceNetWindow* OpenDeviceNetWindow(ui::MainWindow& window, int nodeId)
{
    BuildEdsFor(window, 1, nodeId);
    return window.deviceNetWindow();
}

}  // namespace

class DeviceNetFlowTest : public QObject {
    Q_OBJECT
private slots:
    void fullFlowWritesTheGatewayAndTheEdsFile()
    {
        QTemporaryDir folder;
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder.path().toStdString());
        ConnectWithDefaults(*window);
        ui::DeviceNetWindow* dns = OpenDeviceNetWindow(*window, 12);
        QVERIFY(dns != nullptr);
        QCOMPARE(window->state().ApplicationLayer, 1);
        QVERIFY(dns->isVisible());
        QVERIFY(!window->isVisible());

        // Every selector holds the core's list; the stored CANopen image gives defaults.
        const SelectorLists& lists = dns->logic().Lists();
        for (int k = 0; k < 3; ++k) {
            auto* input = Find<QComboBox>(dns, QStringLiteral("InpPut_%1").arg(k));
            auto* output = Find<QComboBox>(dns, QStringLiteral("OutPut_%1").arg(k));
            QCOMPARE(input->count(), static_cast<int>(lists.Input.size()));
            QCOMPARE(output->count(), static_cast<int>(lists.Output.size()));
            QCOMPARE(input->itemText(0), QStringLiteral("None"));
            QCOMPARE(input->currentIndex(), 0);
        }
        QVERIFY(Find<QRadioButton>(dns, "IO_Info_0")->isChecked());

        // The strobe input refuses an entry of more than 8 bytes and keeps its choice.
        int longEntry = -1;
        int shortEntry = -1;
        for (int i = 1; i < static_cast<int>(lists.Input.size()); ++i) {
            const int length = InputEntryLength(window->state(), i, lists.Input[static_cast<std::size_t>(i)]);
            if (length > 8 && longEntry < 0)
                longEntry = i;
            if (length >= 1 && length <= 8 && shortEntry < 0)
                shortEntry = i;
        }
        QVERIFY(longEntry > 0 && shortEntry > 0);
        auto* strobe = Find<QComboBox>(dns, "InpPut_1");
        boxes.shown.clear();
        Choose(strobe, shortEntry);
        Choose(strobe, longEntry);
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Error! The selected data length > 8 bytes")});
        QCOMPARE(strobe->currentIndex(), shortEntry);
        QCOMPARE(dns->logic().Choices().InputSelection[1], shortEntry);
        // Poll takes any length.
        Choose(Find<QComboBox>(dns, "InpPut_0"), longEntry);
        QCOMPARE(dns->logic().Choices().InputSelection[0], longEntry);
        Choose(Find<QComboBox>(dns, "OutPut_0"), 1);
        Find<QRadioButton>(dns, "IO_Info_1")->click();
        QCOMPARE(dns->logic().Choices().DefaultConnection, 1);
        Find<QLineEdit>(dns, "EDSInfo_0")->setText(QStringLiteral("Packing line"));
        Find<QLineEdit>(dns, "EDSInfo_1")->setText(QStringLiteral("Night shift"));

        // Viewers.
        Find<QPushButton>(dns, "AppObj")->click();
        QVERIFY(dns->applicationViewer() != nullptr && dns->applicationViewer()->isVisible());
        CompareGrid(dns->applicationViewer()->grid(), ApplicationObjectTable(window->state()).rows);
        Find<QPushButton>(dns, "ShowSettingResult")->click();
        ui::TableViewer* assembly = dns->assemblyViewer();
        QVERIFY(assembly != nullptr && assembly->isVisible());
        const std::vector<AssemblyTab> tabs = AssemblyTabs(window->state());
        QCOMPARE(assembly->tabBar()->count(), static_cast<int>(tabs.size()));
        for (int t = static_cast<int>(tabs.size()) - 1; t >= 0; --t) {
            assembly->selectTab(t);
            QCOMPARE(assembly->tabBar()->tabText(t), QString::fromLatin1(AssemblyTabCaption(tabs[t])));
            CompareGrid(assembly->grid(), AssemblyObjectTable(window->state(), tabs[t]).rows);
        }
        Find<QPushButton>(dns, "ShowTarnInf")->click();
        QVERIFY(dns->tarnInfoViewer() != nullptr);
        QCOMPARE(dns->tarnInfoViewer()->grid()->gridRows(), window->state().ModuleCount + 1);

        QPointer<ui::DeviceNetWindow> guard(dns);
        boxes.shown.clear();
        Find<QPushButton>(dns, "FinishDeviceSet")->click();
        QVERIFY2(boxes.shown.empty(), qPrintable(boxes.texts().join("; ")));
        QCOMPARE(window->statusText(), QStringLiteral("Produce .EDS file is OK"));
        QVERIFY(window->isVisible());
        QTRY_VERIFY(guard.isNull());
        QFile eds(QString::fromStdString(folder.path().toStdString() + "/" + DeviceNetEdsFileName(12)));
        QVERIFY2(eds.open(QIODevice::ReadOnly), qPrintable(eds.fileName()));
        const QByteArray text = eds.readAll();
        QVERIFY(text.contains("Packing line"));
        QVERIFY(text.contains("Night shift"));

        // Next visit: the gateway's stored choices come back, no notice.
        ConnectWithDefaults(*window);
        QVERIFY2(boxes.shown.empty(), qPrintable(boxes.texts().join("; ")));
        QCOMPARE(window->state().NodeId, 12);
        QVERIFY(Find<QRadioButton>(window.get(), "ApplicationSelect_1")->isChecked());
        QTest::mouseClick(Find<QPushButton>(window.get(), "WriteEDS"), Qt::LeftButton);
        dns = window->deviceNetWindow();
        QVERIFY(dns != nullptr);
        QVERIFY2(boxes.shown.empty(), qPrintable(boxes.texts().join("; ")));
        QCOMPARE(Find<QComboBox>(dns, "InpPut_0")->currentIndex(), longEntry);
        QCOMPARE(Find<QComboBox>(dns, "InpPut_1")->currentIndex(), shortEntry);
        QCOMPARE(Find<QComboBox>(dns, "OutPut_0")->currentIndex(), 1);

        // Back empties the selectors, reminds the user and returns.
        guard = dns;
        Find<QPushButton>(dns, "BackButton")->click();
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("You have not fininshing!")});
        QVERIFY(window->isVisible());
        QTRY_VERIFY(guard.isNull());
    }

    void closingWhileFinishRunsIsRefused()
    {
        QTemporaryDir folder;
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder.path().toStdString());
        ConnectWithDefaults(*window);
        QPointer<ui::DeviceNetWindow> dns = OpenDeviceNetWindow(*window, 3);
        QVERIFY(dns != nullptr);
        boxes.shown.clear();
        bool finishDisabled = false;
        QVERIFY(ClickAndActWhileBusy(*window, Find<QPushButton>(dns.data(), "FinishDeviceSet"), [&] {
            finishDisabled = !Find<QPushButton>(dns.data(), "FinishDeviceSet")->isEnabled() &&
                             !Find<QGroupBox>(dns.data(), "Frame1")->isEnabled();
            dns->finish();
            dns->close();
            dns->back();
        }));
        QVERIFY(finishDisabled);
        QCOMPARE(boxes.texts(), (QStringList{QStringLiteral("Module is connecting now!"),
                                             QStringLiteral("Module is connecting now!")}));
        QCOMPARE(window->statusText(), QStringLiteral("Produce .EDS file is OK"));
        QTRY_VERIFY(dns.isNull());
    }

    void closingTheWindowUnfinishedRemindsAndReturns()
    {
        QTemporaryDir folder;
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder.path().toStdString());
        ConnectWithDefaults(*window);
        QPointer<ui::DeviceNetWindow> dns = OpenDeviceNetWindow(*window, 4);
        QVERIFY(dns != nullptr);
        Find<QPushButton>(dns.data(), "AppObj")->click();
        QPointer<ui::TableViewer> viewer = dns->applicationViewer();
        QVERIFY(viewer != nullptr);
        boxes.shown.clear();
        dns->close();
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("You have not fininshing!")});
        QVERIFY(window->isVisible());
        QVERIFY(viewer.isNull());
        QVERIFY(!QFile::exists(QString::fromStdString(folder.path().toStdString() + "/" + DeviceNetEdsFileName(4))));
    }
};

QTEST_MAIN(DeviceNetFlowTest)
#include "devicenet_flow.moc"
