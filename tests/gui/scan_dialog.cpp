// The scan parameter dialog during a connect: a window-modal dialog of the
// main window, whose controls are disabled meanwhile, loaded from the stored
// scan parameters with the focus on its first field; OK and Return store the
// entry (an out-of-range time-out keeps it open), Escape keeps what was stored.

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
            QVERIFY(!window->inputEnabled() && dialog.isEnabled());
            QVERIFY(dialog.parentWidget() == window.get() && dialog.windowModality() == Qt::WindowModal);
            QCOMPARE(dialog.baudList()->count(), int(msg::ScanBaudList.size()));
            show(dialog);
            for (const char* bad : {"0", "32768", "abc"}) {
                dialog.timeoutBox()->setText(QString::fromLatin1(bad));
                dialog.okButton()->click();
                QVERIFY(dialog.isVisible() && !window->inputEnabled());
            }
            dialog.checksumList()->setCurrentIndex(1);
            dialog.timeoutBox()->setText(QStringLiteral("  450ms"));
        });
        QCOMPARE(boxes.texts(), QStringList(3, QString::fromLatin1(msg::TimeoutOutOfRange)));
        QCOMPARE(window->state().ScanTimeoutMs, 450);
        QVERIFY(window->inputEnabled() && window->state().Connected);

        // Each later connect shows what was stored, the focus back on the first field.
        for (const auto& [key, typed, stored] :
             {std::tuple{Qt::Key_Escape, "999", 450}, {Qt::Key_Return, "300", 300}}) {
            ConnectThroughDialog(*window, [&](ui::ScanParameterDialog& dialog) {
                show(dialog);
                QCOMPARE(dialog.focusWidget(), dialog.baudList());
                dialog.timeoutBox()->setText(typed);
                QTest::keyClick(dialog.timeoutBox(), key);
                QVERIFY(!dialog.isVisible());
            });
            QCOMPARE(window->state().ScanTimeoutMs, stored);
        }
        QCOMPARE(shown, (QStringList{"3", "0", "200", "3", "1", "450", "3", "1", "450"}));
    }
};

QTEST_MAIN(ScanDialogTest)
#include "scan_dialog.moc"
