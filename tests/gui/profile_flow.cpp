// Both profile windows end to end on the simulated gateway: connect,
// "Build EDS File", the choices, the three viewers, Finish with EEPROM and
// EDS file, the restore on the next visit, and the refusals on the way.

#include <QFile>
#include <QGroupBox>
#include <QPointer>
#include <QTabBar>

#include "GuiTestSupport.h"
#include "canopen/EdsWriter.h"
#include "canopen/PdoTables.h"
#include "devicenet/EdsWriter.h"
#include "devicenet/ObjectTables.h"
#include "modules/ModuleInfoTable.h"
#include "platform/Messages.h"
#include "ui/CanopenWindow.h"
#include "ui/DeviceNetWindow.h"
#include "ui/TableViewer.h"

using namespace k400;
using namespace k400::test;

namespace {

using Rows = std::vector<std::vector<std::string>>;
using Window = QWidget;

ui::CanopenWindow* Canopen(Window* w) { return qobject_cast<ui::CanopenWindow*>(w); }
ui::DeviceNetWindow* DeviceNet(Window* w) { return qobject_cast<ui::DeviceNetWindow*>(w); }

Rows ModuleRows(const ProgramState& state, int)
{
    Rows rows;
    for (const auto& row : ModuleInfoRows(state))
        rows.emplace_back(row.begin(), row.end());
    return rows;
}

// A user's choice in a drop-down list.
void Choose(Window* w, const char* name, int index)
{
    auto* box = Find<QComboBox>(w, QString::fromLatin1(name));
    box->setCurrentIndex(index);
    emit box->activated(index);
}

struct Viewer {
    const char* button;
    ui::TableViewer* (*get)(Window*);
    Rows (*rows)(const ProgramState&, int tab);
};

// What differs between the two profile windows.
struct Profile {
    int application;
    const char* finishButton;
    std::string (*edsName)(int node);
    Window* (*open)(const ui::MainWindow&);
    void (*finish)(Window*);
    Viewer viewers[3];
    // Makes the choices the flow stores (boxes shown on the way are checked by the caller).
    void (*choose)(Window*, ScriptedBoxes&);
    // The choices are shown again on the next visit.
    void (*expectRestored)(Window*);
    QStringList backBoxes;  // what leaving an unfinished window says
};

const Profile CanopenProfile{
    0,
    "FinishButton",
    [](int node) { return CanopenEdsFileName(static_cast<std::uint8_t>(node)); },
    [](const ui::MainWindow& m) -> Window* { return m.canopenWindow(); },
    [](Window* w) { Canopen(w)->finish(); },
    {{"ShowSettingResult", [](Window* w) { return Canopen(w)->pdoViewer(); },
      [](const ProgramState& s, int tab) { return PdoTableRows(s, tab ? PdoDirection::Transmit : PdoDirection::Receive); }},
     {"ShowObjDictionary", [](Window* w) { return Canopen(w)->objectDictionaryViewer(); },
      [](const ProgramState& s, int tab) { return tab ? StandardizedObjectRows(s) : ManufacturerObjectRows(s); }},
     {"ShowTarn", [](Window* w) { return Canopen(w)->tarnInfoViewer(); }, ModuleRows}},
    [](Window* w, ScriptedBoxes&) {
        // Heartbeat hides the guarding frame.
        Find<QRadioButton>(w, "ErrControl_1")->click();
        QVERIFY(Find(w, "ParameterSetting_frame_0")->isHidden());
        QVERIFY(!Find(w, "ParameterSetting_frame_1")->isHidden());
        Find<QLineEdit>(w, "Heartbeat_T")->setText(QStringLiteral("1500"));
    },
    [](Window* w) {
        QVERIFY(Find<QRadioButton>(w, "ErrControl_1")->isChecked());
        QCOMPARE(Find<QLineEdit>(w, "Heartbeat_T")->text(), QStringLiteral("1500"));
    },
    {},
};

const Profile DeviceNetProfile{
    1,
    "FinishDeviceSet",
    DeviceNetEdsFileName,
    [](const ui::MainWindow& m) -> Window* { return m.deviceNetWindow(); },
    [](Window* w) { DeviceNet(w)->finish(); },
    {{"AppObj", [](Window* w) { return DeviceNet(w)->applicationViewer(); },
      [](const ProgramState& s, int) { return ApplicationObjectTable(s).rows; }},
     {"ShowSettingResult", [](Window* w) { return DeviceNet(w)->assemblyViewer(); },
      [](const ProgramState& s, int tab) { return AssemblyObjectTable(s, AssemblyTabs(s)[static_cast<std::size_t>(tab)]).rows; }},
     {"ShowTarnInf", [](Window* w) { return DeviceNet(w)->tarnInfoViewer(); }, ModuleRows}},
    [](Window* w, ScriptedBoxes& boxes) {
        // Every selector holds the core's list.
        const SelectorLists& lists = DeviceNet(w)->configuration().Lists();
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(Find<QComboBox>(w, QStringLiteral("InpPut_%1").arg(k))->count(), int(lists.Input.size()));
            QCOMPARE(Find<QComboBox>(w, QStringLiteral("OutPut_%1").arg(k))->count(), int(lists.Output.size()));
        }
        // The built-in gateway's input assemblies: 1 is short enough for the strobe, 2 is not.
        Choose(w, "InpPut_1", 1);
        Choose(w, "InpPut_1", 2);
        QCOMPARE(boxes.texts(), QStringList{QString::fromLatin1(msg::StrobeTooLong)});
        boxes.shown.clear();
        QCOMPARE(Find<QComboBox>(w, "InpPut_1")->currentIndex(), 1);
        Choose(w, "InpPut_0", 2);  // poll takes any length
        Choose(w, "OutPut_0", 1);
        Find<QRadioButton>(w, "IO_Info_1")->click();
        QCOMPARE(DeviceNet(w)->configuration().Choices().DefaultConnection, 1);
    },
    [](Window* w) {
        QCOMPARE(Find<QComboBox>(w, "InpPut_0")->currentIndex(), 2);
        QCOMPARE(Find<QComboBox>(w, "InpPut_1")->currentIndex(), 1);
        QCOMPARE(Find<QComboBox>(w, "OutPut_0")->currentIndex(), 1);
    },
    {QString::fromLatin1(msg::NotFinished)},
};

void AddProfileRows()
{
    QTest::addColumn<const Profile*>("profile");
    QTest::newRow("CANopen") << &CanopenProfile;
    QTest::newRow("DeviceNet") << &DeviceNetProfile;
}

Window* OpenProfile(ui::MainWindow& main, const Profile& profile, int node)
{
    BuildEdsFor(main, profile.application, node);
    return profile.open(main);
}

QString EdsPath(const QTemporaryDir& folder, const Profile& profile, int node)
{
    return folder.filePath(QString::fromStdString(profile.edsName(node)));
}

}  // namespace

Q_DECLARE_METATYPE(const Profile*)

class ProfileFlowTest : public QObject {
    Q_OBJECT
private slots:
    void finishWritesTheGatewayAndTheEdsFile_data() { AddProfileRows(); }
    void finishWritesTheGatewayAndTheEdsFile()
    {
        QFETCH(const Profile*, profile);
        QTemporaryDir folder;
        ScriptedBoxes boxes;
        auto main = DemoWindow(folder);
        ConnectWithDefaults(*main);
        QPointer<Window> window = OpenProfile(*main, *profile, 12);
        QVERIFY(window && window->isVisible());
        QVERIFY(!main->isVisible());
        boxes.shown.clear();  // the stored CANopen image is a new DeviceNet setting
        profile->choose(window, boxes);
        Find<QLineEdit>(window, "EDSInfo_0")->setText(QStringLiteral("Packing line"));
        Find<QLineEdit>(window, "EDSInfo_1")->setText(QStringLiteral("Night shift"));

        // Each viewer opens beside the window and shows the core's rows on every tab.
        for (const Viewer& viewer : profile->viewers) {
            Find<QPushButton>(window, QString::fromLatin1(viewer.button))->click();
            ui::TableViewer* shown = viewer.get(window);
            QVERIFY2(shown && shown->isVisible(), viewer.button);
            const int tabs = shown->tabBar() ? shown->tabBar()->count() : 1;
            for (int t = tabs - 1; t >= 0; --t) {
                shown->selectTab(t);
                CompareGrid(shown->grid(), viewer.rows(main->state(), t));
            }
        }
        QVERIFY(window->isVisible());

        Find<QPushButton>(window, QString::fromLatin1(profile->finishButton))->click();
        QVERIFY2(boxes.shown.empty(), qPrintable(boxes.texts().join("; ")));
        QCOMPARE(main->statusText(), QString::fromLatin1(msg::StatusFinishDone));
        QVERIFY(main->isVisible());
        QVERIFY(!main->state().GatewayBusy);
        QTRY_VERIFY(window.isNull());
        QFile eds(EdsPath(folder, *profile, 12));
        QVERIFY2(eds.open(QIODevice::ReadOnly), qPrintable(eds.fileName()));
        const QByteArray text = eds.readAll();
        QVERIFY(text.contains("Packing line") && text.contains("Night shift"));

        // The gateway kept what Finish wrote: a new connect reads it back and the window presets it.
        main->state().NodeId = 1;
        ConnectWithDefaults(*main);
        QCOMPARE(main->state().NodeId, 12);
        QVERIFY(Find<QRadioButton>(main.get(), QStringLiteral("ApplicationSelect_%1").arg(profile->application))->isChecked());
        QTest::mouseClick(Find<QPushButton>(main.get(), "WriteEDS"), Qt::LeftButton);
        window = profile->open(*main);
        QVERIFY(window);
        QVERIFY2(boxes.shown.empty(), qPrintable(boxes.texts().join("; ")));
        profile->expectRestored(window);

        Find<QPushButton>(window, "BackButton")->click();
        QCOMPARE(boxes.texts(), profile->backBoxes);
        QVERIFY(main->isVisible());
        QTRY_VERIFY(window.isNull());
    }

    void closingWhileFinishRunsIsRefused_data() { AddProfileRows(); }
    void closingWhileFinishRunsIsRefused()
    {
        QFETCH(const Profile*, profile);
        QTemporaryDir folder;
        ScriptedBoxes boxes;
        auto main = DemoWindow(folder);
        ConnectWithDefaults(*main);
        QPointer<Window> window = OpenProfile(*main, *profile, 9);
        QVERIFY(window);
        boxes.shown.clear();
        bool frameDisabled = false;
        QVERIFY(ClickAndActWhileBusy(*main, Find<QPushButton>(window, QString::fromLatin1(profile->finishButton)), [&] {
            frameDisabled = !Find(window, "Frame1")->isEnabled();
            profile->finish(window);  // does nothing
            window->close();          // refused
        }));
        QVERIFY(frameDisabled);
        QCOMPARE(boxes.texts(), QStringList{QString::fromLatin1(msg::GatewayBusy)});
        QCOMPARE(main->statusText(), QString::fromLatin1(msg::StatusFinishDone));
        QTRY_VERIFY(window.isNull());
        QVERIFY(QFile::exists(EdsPath(folder, *profile, 9)));
    }

    void finishTimeoutKeepsTheWindowOpenWithoutAnEdsFile_data() { AddProfileRows(); }
    void finishTimeoutKeepsTheWindowOpenWithoutAnEdsFile()
    {
        QFETCH(const Profile*, profile);
        QTemporaryDir folder;
        ScriptedBoxes boxes;
        // Connect enters the EEPROM sub-mode twice; the third time is Finish's.
        Scenario scenario = BuiltInScenario();
        scenario.faults.push_back(FaultRule::NoAnswerTo(CommandMatch::Line("use eeprom", 3)));
        auto main = DemoWindow(folder, scenario);
        ConnectWithDefaults(*main);
        QVERIFY(main->state().Connected);
        QPointer<Window> window = OpenProfile(*main, *profile, 6);
        QVERIFY(window);
        Find<QPushButton>(window, QString::fromLatin1(profile->viewers[2].button))->click();
        boxes.shown.clear();
        Find<QPushButton>(window, QString::fromLatin1(profile->finishButton))->click();
        QCOMPARE(boxes.texts(), QStringList{QString::fromLatin1(msg::Timeout)});
        QCOMPARE(main->statusText(), QString::fromLatin1(msg::StatusTimeout));
        QVERIFY(window->isVisible() && !main->isVisible());
        QVERIFY(!Find(window, "Frame1")->isEnabled());
        QVERIFY(!main->state().GatewayBusy);
        QVERIFY(!QFile::exists(EdsPath(folder, *profile, 6)));

        // No longer busy: the window may be left, and its viewers go with it.
        QPointer<ui::TableViewer> viewer = profile->viewers[2].get(window);
        boxes.shown.clear();
        window->close();
        QCOMPARE(boxes.texts(), profile->backBoxes);
        QVERIFY(main->isVisible());
        QTRY_VERIFY(window.isNull() && viewer.isNull());
    }

    void canopenRefusesBadTimesAndViewersWithoutChannels()
    {
        QTemporaryDir folder;
        ScriptedBoxes boxes;
        Scenario empty = BuiltInScenario();
        empty.modules.clear();
        auto main = DemoWindow(folder, empty);
        ConnectWithDefaults(*main);
        QPointer<Window> window = OpenProfile(*main, CanopenProfile, 7);
        QVERIFY(window);
        boxes.shown.clear();
        Find<QRadioButton>(window, "ErrControl_0")->click();
        Find<QLineEdit>(window, "GuardTime_T_0")->setText(QStringLiteral("65536"));
        Find<QLineEdit>(window, "GuardTime_T_1")->setText(QStringLiteral("256"));
        Find<QPushButton>(window, "FinishButton")->click();
        Find<QLineEdit>(window, "GuardTime_T_0")->setText(QStringLiteral("65535"));
        Find<QPushButton>(window, "FinishButton")->click();
        for (const char* button : {"ShowSettingResult", "ShowObjDictionary", "ShowTarn"})
            Find<QPushButton>(window, QString::fromLatin1(button))->click();
        QCOMPARE(boxes.texts(), (QStringList{msg::GuardTimeOverflow, msg::LifeFactorOverflow, msg::NoChannelAvailable,
                                             msg::NoObjectAvailable, msg::NoChannelAvailable}));
        for (const Viewer& viewer : CanopenProfile.viewers)
            QVERIFY(viewer.get(window) == nullptr);
        QVERIFY(window->isVisible());
        QVERIFY(Find(window, "Frame1")->isEnabled());
        QVERIFY(!QFile::exists(EdsPath(folder, CanopenProfile, 7)));
        Find<QPushButton>(window, "BackButton")->click();
        QVERIFY(main->isVisible());
        QVERIFY(main->statusText() != QString::fromLatin1(msg::StatusFinishDone));
    }
};

QTEST_MAIN(ProfileFlowTest)
#include "profile_flow.moc"
