// The scan parameter dialog during a connect: shown without blocking while
// the main window is disabled, loaded from the stored scan parameters, and
// storing them as it closes; an out-of-range time-out keeps it open.

#include "GuiTestSupport.h"
#include "platform/Messages.h"

using namespace k400;
using namespace k400::test;

class ScanDialogTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheStoredParametersAndStoresTheChoice()
    {
        QTemporaryDir folder;
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder);
        QStringList shown;
        const auto show = [&](ui::ScanParameterDialog& dialog) {
            shown << QString::number(dialog.baudList()->currentIndex())
                  << QString::number(dialog.checksumList()->currentIndex()) << dialog.timeoutBox()->text();
        };
        ConnectThroughDialog(*window, [&](ui::ScanParameterDialog& dialog) {
            QVERIFY(!window->isEnabled());
            QCOMPARE(dialog.baudList()->count(), int(msg::ScanBaudList.size()));
            show(dialog);
            for (const char* bad : {"0", "32768", "abc"}) {
                dialog.timeoutBox()->setText(QString::fromLatin1(bad));
                dialog.okButton()->click();
                QVERIFY(dialog.isVisible() && !window->isEnabled());
            }
            dialog.checksumList()->setCurrentIndex(1);
            dialog.timeoutBox()->setText(QStringLiteral("  450ms"));
        });
        QCOMPARE(boxes.texts(), QStringList(3, QString::fromLatin1(msg::TimeoutOutOfRange)));
        QCOMPARE(window->state().ScanTimeoutMs, 450);
        QVERIFY(window->isEnabled() && window->state().Connected);

        ConnectThroughDialog(*window, show);  // the next connect shows what was stored
        QCOMPARE(shown, (QStringList{"3", "0", "200", "3", "1", "450"}));
    }
};

QTEST_MAIN(ScanDialogTest)
#include "scan_dialog.moc"
