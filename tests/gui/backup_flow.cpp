// The File menu's backup, compare and restore on simulated gateways: the
// built-in gateway's backup, made while the window waits, held against a
// gateway that is the same or drifted, and restored onto a unit with other
// modules (refused, nothing written) and onto a blank one with the same.

#include <QAction>
#include <QDir>
#include <QMenuBar>

#include "GuiTestSupport.h"
#include "platform/Messages.h"

using namespace k400;
using namespace k400::test;

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

const struct Case {
    const char* name;
    void (*change)(Scenario&);  // the built-in gateway made into the one the file is held against
    bool restore;
    QMessageBox::Icon icon;
    QString text;         // of the result (a restore's first line)
    QStringList details;  // listed in the result
    QStringList files;    // written into the window's folder
    bool written;         // the gateway holds the backup afterwards (else what it held before)
} Cases[] = {
    {"compare same", [](Scenario&) {}, false, QMessageBox::Information, msg::CompareEqual, {}, {}, false},
    {"compare node ID changed",
     [](Scenario& s) { s.setWord(0, 48, 0x00060002u); },
     false,
     QMessageBox::Warning,
     msg::CompareDiffers,
     {"  node ID: file 3, gateway 6", "  block 0 offset 48: file 0x00030002, gateway 0x00060002"},
     {},
     false},
    {"restore onto other modules",
     [](Scenario& s) { s.modules.at(1).model = "M39"; },
     true,
     QMessageBox::Warning,
     Q(msg::RestoreModulesDiffer("module at 0x03: file M38, gateway M39")),
     {},
     {},
     false},
    {"restore onto a blank unit",
     [](Scenario& s) {
         for (auto& block : s.eeprom)
             block.fill(0);
         s.setFirmware(1, 5, 2007, 11, 26);
     },
     true,
     QMessageBox::Information,
     msg::RestoreDone,
     {},
     {"COPn3.dcf", "COPn3.eds"},
     true},
};

}  // namespace

class BackupFlowTest : public QObject {
    Q_OBJECT
private slots:
    void heldAgainstAndRestoredOnto_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(Cases)); ++i)
            QTest::newRow(Cases[i].name) << i;
    }
    void heldAgainstAndRestoredOnto()
    {
        QFETCH(int, index);
        const Case& c = Cases[index];
        QTemporaryDir folder, targetFolder;
        ScriptedBoxes boxes;
        const QString file = folder.filePath("line4.json"), own = folder.filePath("own.json");
        auto source = DemoWindow(folder);
        QVERIFY(!Find<QAction>(source.get(), "BackupGateway")->isEnabled());
        ConnectWithDefaults(*source);
        for (const char* entry : {"BackupGateway", "CompareBackup", "RestoreBackup"})
            QVERIFY2(Find<QAction>(source.get(), entry)->isEnabled(), entry);

        // While the stored words are read the window waits: busy, no menus, leaving refused.
        bool waited = false, made = false;
        QVERIFY(ActDuring([&] { made = source->backupGateway(file); }, [&] { return source->state().GatewayBusy; },
                          [&] {
                              waited = !source->menuBar()->isEnabled() && Find(source.get(), "ReplyBusy")->isVisible();
                              source->close();
                          }));
        QVERIFY(made && waited && source->isVisible());
        QCOMPARE(boxes.texts(),
                 (QStringList{msg::GatewayBusy, Q(msg::BackupWritten("line4.json", folder.path().toStdString()))}));
        QCOMPARE(boxes.shown[1].icon, QMessageBox::Information);
        QCOMPARE(boxes.shown[1].title, QString(msg::BackupTitle));

        Scenario scenario = BuiltInScenario();
        c.change(scenario);
        auto target = DemoWindow(targetFolder, scenario);
        ConnectWithDefaults(*target);
        QVERIFY(target->backupGateway(own));
        boxes.shown.clear();
        boxes.answer = QMessageBox::Yes;
        const bool done = c.restore ? target->restoreFromBackup(file) : target->compareWithBackup(file);
        QCOMPARE(done, c.icon == QMessageBox::Information || !c.restore);
        // A restore asks first (No unless answered), then says what it wrote.
        QCOMPARE(boxes.shown.size(), std::size_t(c.restore && done ? 2 : 1));
        if (boxes.shown.size() == 2)
            QVERIFY(boxes.shown[0].buttons == (QMessageBox::Yes | QMessageBox::No) &&
                    boxes.shown[0].text.contains("line4.json"));
        const ui::MessageBoxRequest& result = boxes.shown.back();
        QCOMPARE(result.title, QString(c.restore ? msg::RestoreTitle : msg::CompareTitle));
        QCOMPARE(result.icon, c.icon);
        QCOMPARE(result.text.section('\n', 0, 0), c.text);
        for (const QString& line : c.details)
            QVERIFY2(result.details.contains(line), qPrintable(result.details.join('\n')));
        QCOMPARE(result.details.isEmpty(), c.details.isEmpty());
        if (c.written) {
            QVERIFY2(result.text.contains(QString(msg::EepromStatusLabel) + msg::EepromWrittenAndVerified),
                     qPrintable(result.text));
            QVERIFY(result.text.contains(QString(msg::FolderLabel) + targetFolder.path()));
        }
        QCOMPARE(QDir(targetFolder.path()).entryList({"*.eds", "*.dcf"}), c.files);

        // What the gateway now holds: the backup when written, else what it held before.
        if (c.restore) {
            boxes.shown.clear();
            QVERIFY(target->compareWithBackup(c.written ? file : own));
            QCOMPARE(boxes.texts(), QStringList{msg::CompareEqual});
        }
    }
};

QTEST_MAIN(BackupFlowTest)
#include "backup_flow.moc"
