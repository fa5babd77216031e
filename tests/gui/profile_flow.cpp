// Both profile windows end to end on the simulated gateway: "Build EDS File",
// the choices, the three viewers (beside the window, every column shown,
// their place kept), Finish with its progress, EEPROM and EDS file, the
// restore on the next visit, and a Finish the gateway does not answer.

#include <QFile>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTemporaryFile>

#include "GuiTestSupport.h"
#include "canopen/EdsWriter.h"
#include "canopen/PdoTables.h"
#include "devicenet/EdsWriter.h"
#include "devicenet/ObjectTables.h"
#include "modules/ModuleInfoTable.h"
#include "platform/Messages.h"
#include "ui/CanopenWindow.h"
#include "ui/DeviceNetWindow.h"
#include "ui/GridTable.h"
#include "ui/StatusLine.h"
#include "ui/TableViewer.h"

using namespace k400;
using namespace k400::test;

namespace {

using Rows = std::vector<std::vector<std::string>>;
constexpr auto Receive = PdoDirection::Receive, Transmit = PdoDirection::Transmit;

Rows ModuleRows(const ProgramState& state, int)
{
    Rows rows;
    for (const auto& row : ModuleInfoRows(state))
        rows.emplace_back(row.begin(), row.end());
    return rows;
}

// Per application (0 CANopen, 1 DeviceNet): each viewer's button, window name and rows by tab.
const struct Viewer {
    const char* button;
    const char* name;
    Rows (*rows)(const ProgramState&, int tab);
} Viewers[2][3] = {
    {{"ShowSettingResult", "ShowPDO",
      [](const ProgramState& s, int tab) { return PdoTableRows(s, tab ? Transmit : Receive); }},
     {"ShowObjDictionary", "ShowAppObjDect",
      [](const ProgramState& s, int tab) { return tab ? StandardizedObjectRows(s) : ManufacturerObjectRows(s); }},
     {"ShowTarn", "ShowTarnInfo", ModuleRows}},
    {{"AppObj", "ShowAppObjNew", [](const ProgramState& s, int) { return ApplicationObjectTable(s).rows; }},
     {"ShowSettingResult", "ShowAssObj",
      [](const ProgramState& s, int tab) { return AssemblyObjectTable(s, AssemblyTabs(s).at(std::size_t(tab))).rows; }},
     {"ShowTarnInf", "ShowTarnInfo", ModuleRows}},
};
const char* const FinishButton[2] = {"FinishButton", "FinishDeviceSet"};
const QStringList CloseBoxes[2] = {{}, {QString::fromLatin1(msg::NotFinished)}};  // leaving unfinished

QWidget* ProfileWindow(const ui::MainWindow& main, int application)
{
    return application ? static_cast<QWidget*>(main.deviceNetWindow()) : main.canopenWindow();
}

void Click(QWidget* window, const char* button)
{
    Find<QPushButton>(window, QString::fromLatin1(button))->click();
}

// A user's choice in a drop-down list.
void Choose(QWidget* window, const char* name, int index)
{
    auto* box = Find<QComboBox>(window, QString::fromLatin1(name));
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void CompareGrid(const ui::GridTable* grid, const Rows& rows)
{
    QCOMPARE(grid->gridRows(), int(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            QCOMPARE(grid->cellText(int(r), int(c)), QString::fromStdString(rows[r][c]));
}

}  // namespace

class ProfileFlowTest : public QObject {
    Q_OBJECT
private slots:
    void finishWritesTheGatewayAndTheEdsFile_data()
    {
        QTest::addColumn<int>("application");
        QTest::newRow("CANopen") << 0;
        QTest::newRow("DeviceNet") << 1;
    }
    void finishWritesTheGatewayAndTheEdsFile()
    {
        QFETCH(int, application);
        QTemporaryDir folder;
        ScriptedBoxes boxes;
        // Each connect enters the EEPROM sub-mode twice, each Finish once: the second Finish gets no answer.
        Scenario scenario = BuiltInScenario();
        scenario.faults.push_back(FaultRule::NoAnswerTo(CommandMatch::Line("use eeprom", 6)));
        auto main = DemoWindow(folder, scenario);
        ConnectWithDefaults(*main);
        Find<QRadioButton>(main.get(), QStringLiteral("ApplicationSelect_%1").arg(application))->click();
        Find<QLineEdit>(main.get(), "CANNodeId")->setText(QStringLiteral("12"));
        Find<QPushButton>(main.get(), "SettingParameter")->click();
        QTest::mouseClick(Find<QPushButton>(main.get(), "WriteEDS"), Qt::LeftButton);
        QPointer<QWidget> window = ProfileWindow(*main, application);
        QVERIFY(window && window->isVisible() && !main->isVisible());
        boxes.shown.clear();  // the stored CANopen image is a new DeviceNet setting
        if (application == 0) {
            Find<QRadioButton>(window, "ErrControl_1")->click();  // heartbeat hides the guarding frame
            QVERIFY(Find(window, "ParameterSetting_frame_0")->isHidden());
            Find<QLineEdit>(window, "Heartbeat_T")->setText(QStringLiteral("1500"));
        } else {
            // The built-in gateway's input assemblies: 1 is short enough for the strobe, 2 is not.
            Choose(window, "InpPut_1", 1);
            Choose(window, "InpPut_1", 2);
            QCOMPARE(boxes.texts(), QStringList{QString::fromLatin1(msg::StrobeTooLong)});
            QCOMPARE(Find<QComboBox>(window, "InpPut_1")->currentIndex(), 1);
            boxes.shown.clear();
            Choose(window, "InpPut_0", 2);  // poll takes any length
            Choose(window, "OutPut_0", 1);
            Find<QRadioButton>(window, "IO_Info_1")->click();
        }
        Find<QLineEdit>(window, "EDSInfo_0")->setText(QStringLiteral("Packing line"));
        Find<QLineEdit>(window, "EDSInfo_1")->setText(QStringLiteral("Night shift"));

        // Each viewer opens beside the window, clear of Finish and Back, wide enough for every
        // column the screen has room for, shows the core's rows on every tab and is
        // opened again where it was left.
        const QRect buttons(Find(window, FinishButton[application])->mapToGlobal(QPoint()),
                            Find(window, "BackButton")->mapToGlobal(Find(window, "BackButton")->rect().bottomRight()));
        for (const Viewer& viewer : Viewers[application]) {
            Click(window, viewer.button);
            auto* shown = Find<ui::TableViewer>(window, QString::fromLatin1(viewer.name));
            QVERIFY2(shown->isVisible() && window->isVisible() && !shown->frameGeometry().intersects(buttons),
                     viewer.name);
            QVERIFY2(shown->grid()->horizontalScrollBar()->maximum() == 0 ||
                         shown->frameGeometry().width() >= shown->screen()->availableGeometry().width() - 8,
                     viewer.name);
            const QRect moved = shown->geometry().adjusted(-30, 20, -60, -10);
            shown->setGeometry(moved);
            shown->close();
            QTRY_VERIFY(!window->findChild<ui::TableViewer*>(QString::fromLatin1(viewer.name)));
            Click(window, viewer.button);
            shown = Find<ui::TableViewer>(window, QString::fromLatin1(viewer.name));
            QCOMPARE(shown->geometry(), moved);
            for (int t = shown->tabBar() ? shown->tabBar()->count() - 1 : 0; t >= 0; --t) {
                shown->selectTab(t);
                CompareGrid(shown->grid(), viewer.rows(main->state(), t));
            }
        }

        // Leaving is refused while Finish talks to the gateway.
        bool frameDisabled = false;
        QVERIFY(ActDuring([&] { Click(window, FinishButton[application]); }, [&] { return main->state().GatewayBusy; },
                          [&] {
                              // Its own progress; Finish, Back and the close box are off.
                              frameDisabled =
                                  !Find(window, "Frame1")->isEnabled() &&
                                  !Find(window, FinishButton[application])->isEnabled() &&
                                  !Find(window, "BackButton")->isEnabled() &&
                                  !(window->windowFlags() & Qt::WindowCloseButtonHint) &&
                                  Find(window, "ReplyBusy")->isVisible() &&
                                  Find<ui::StatusLine>(window, "StatusLine")
                                      ->text()
                                      .startsWith(QString::fromStdString(msg::FinishProgress(0)).chopped(11));
                              window->close();
                          }));
        QVERIFY(frameDisabled);
        QCOMPARE(boxes.texts(), QStringList{QString::fromLatin1(msg::GatewayBusy)});
        QCOMPARE(main->statusText(), QString::fromLatin1(msg::StatusFinishDone));
        QVERIFY(main->isVisible() && !main->state().GatewayBusy);
        QTRY_VERIFY(window.isNull());
        const std::string edsFile = application ? DeviceNetEdsFileName(12) : CanopenEdsFileName(12);
        // The status line names the file written and its folder, which a button opens.
        QCOMPARE(main->statusLine()->text(),
                 QString::fromStdString(msg::EdsWritten(edsFile, folder.path().toStdString())));
        QVERIFY(main->statusLine()->openFolderButton()->isVisible());
        const auto edsText = [&] {
            QFile eds(folder.filePath(QString::fromStdString(edsFile)));
            return eds.open(QIODevice::ReadOnly) ? eds.readAll() : QByteArray();
        };
        const QByteArray text = edsText();
        QVERIFY(text.contains("Packing line") && text.contains("Night shift"));

        // The gateway kept what Finish wrote: a new connect reads it back and the window presets it.
        main->state().NodeId = 1;
        boxes.shown.clear();
        ConnectWithDefaults(*main);
        QCOMPARE(main->state().NodeId, 12);
        QTest::mouseClick(Find<QPushButton>(main.get(), "WriteEDS"), Qt::LeftButton);
        window = ProfileWindow(*main, application);
        QVERIFY2(window && boxes.shown.empty(), qPrintable(boxes.texts().join("; ")));
        if (application == 0) {
            QVERIFY(Find<QRadioButton>(window, "ErrControl_1")->isChecked());
            QCOMPARE(Find<QLineEdit>(window, "Heartbeat_T")->text(), QStringLiteral("1500"));
        } else {
            QCOMPARE(Find<QComboBox>(window, "InpPut_0")->currentIndex(), 2);
            QCOMPARE(Find<QComboBox>(window, "InpPut_1")->currentIndex(), 1);
            QCOMPARE(Find<QComboBox>(window, "OutPut_0")->currentIndex(), 1);
        }

        // This Finish gets no answer: the window stays, disabled, and the EDS file as it was.
        Click(window, FinishButton[application]);
        QCOMPARE(boxes.texts(), QStringList{QString::fromLatin1(msg::Timeout)});
        QCOMPARE(main->statusText(), QString::fromLatin1(msg::StatusTimeout));
        QVERIFY(window->isVisible() && !main->isVisible() && !main->state().GatewayBusy);
        QVERIFY(!Find(window, "Frame1")->isEnabled());
        QCOMPARE(edsText(), text);

        // No longer busy: the window may be left.
        boxes.shown.clear();
        Click(window, "BackButton");
        QCOMPARE(boxes.texts(), CloseBoxes[application]);
        QVERIFY(main->isVisible());
        QTRY_VERIFY(window.isNull());
    }
};

// On a screen as wide as a plant PC's, so that the viewers can show every column.
int main(int argc, char** argv)
{
    QTemporaryFile screen;
    if (!screen.open())
        return 1;
    screen.write(R"({"screens": [{"name": "wide", "x": 0, "y": 0, "width": 1600, "height": 1000, "logicalDpi": 96}]})");
    screen.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screen.fileName().toLocal8Bit());
    QApplication app(argc, argv);
    ProfileFlowTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "profile_flow.moc"
