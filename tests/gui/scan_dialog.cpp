// The scan parameter dialog during a connect: shown without blocking while
// the main window is disabled, loaded from the stored scan parameters, and
// storing them when it closes in any way; an out-of-range time-out keeps it open.

#include "GuiTestSupport.h"
#include "platform/Messages.h"

using namespace k400;
using namespace k400::test;

class ScanDialogTest : public QObject {
    Q_OBJECT
private slots:
    void loadsStoredParametersAndRefusesABadTimeout()
    {
        QTemporaryDir folder;
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder);
        QStringList baudTexts;
        QString timeoutText;
        int baudIndex = -1, checksumIndex = -1;
        bool stayedOpen = true, mainDisabled = false;
        ConnectThroughDialog(*window, [&](ui::ScanParameterDialog& dialog) {
            mainDisabled = !window->isEnabled();
            for (int i = 0; i < dialog.baudList()->count(); ++i)
                baudTexts << dialog.baudList()->itemText(i);
            baudIndex = dialog.baudList()->currentIndex();
            checksumIndex = dialog.checksumList()->currentIndex();
            timeoutText = dialog.timeoutBox()->text();
            for (const char* bad : {"0", "32768", "abc"}) {
                dialog.timeoutBox()->setText(QString::fromLatin1(bad));
                dialog.okButton()->click();
                stayedOpen = stayedOpen && dialog.isVisible() && !window->state().ScanParametersDone;
            }
            dialog.timeoutBox()->setText(QStringLiteral("32767"));
        });
        QVERIFY(mainDisabled);
        QStringList expectedBauds;
        for (const char* baud : msg::ScanBaudList)
            expectedBauds << QString::fromLatin1(baud);
        QCOMPARE(baudTexts, expectedBauds);
        QCOMPARE(baudIndex, 3);
        QCOMPARE(checksumIndex, 0);
        QCOMPARE(timeoutText, QStringLiteral("200"));
        QVERIFY(stayedOpen);
        QCOMPARE(boxes.texts(), QStringList(3, QString::fromLatin1(msg::TimeoutOutOfRange)));
        QCOMPARE(window->state().ScanTimeoutMs, 32767);
        QVERIFY(window->isEnabled());
        QVERIFY(window->state().Connected);
    }

    void theCloseBoxStoresTheChoiceAndTheNextConnectShowsIt()
    {
        QTemporaryDir folder;
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder);
        QTimer poll;
        poll.setInterval(5);
        bool closed = false;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            ui::ScanParameterDialog* dialog = window->scanParameterDialog();
            if (closed || dialog == nullptr || !dialog->isVisible())
                return;
            closed = true;
            dialog->checksumList()->setCurrentIndex(1);
            dialog->timeoutBox()->setText(QStringLiteral("  450ms"));
            dialog->close();
        });
        poll.start();
        window->connectGateway();
        poll.stop();
        QVERIFY(closed);
        QCOMPARE(window->state().ScanChecksumIndex, 1);
        QCOMPARE(window->state().ScanTimeoutMs, 450);
        QVERIFY(window->isEnabled());
        QVERIFY(!window->state().GatewayBusy);

        int checksumShown = -1;
        QString timeoutShown;
        ConnectThroughDialog(*window, [&](ui::ScanParameterDialog& dialog) {
            checksumShown = dialog.checksumList()->currentIndex();
            timeoutShown = dialog.timeoutBox()->text();
            dialog.checksumList()->setCurrentIndex(0);
        });
        QCOMPARE(checksumShown, 1);
        QCOMPARE(timeoutShown, QStringLiteral("450"));
    }
};

QTEST_MAIN(ScanDialogTest)
#include "scan_dialog.moc"
