// The scan parameter dialog during a connect: shown without blocking while
// the main window is disabled, loaded from the stored scan parameters, and
// storing them when it closes; an out-of-range time-out keeps it open.

#include "GuiTestSupport.h"
#include "app/Settings.h"

using namespace k400;
using namespace k400::test;

class ScanDialogTest : public QObject {
    Q_OBJECT
private slots:
    void loadsStoredParametersAndRefusesABadTimeout()
    {
        QTemporaryDir folder;
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder.path().toStdString());
        QStringList baudTexts;
        QString timeoutText;
        int baudIndex = -1;
        int checksumIndex = -1;
        QStringList refusals;
        bool stayedOpen = true;
        bool mainDisabled = false;
        ConnectThroughDialog(*window, [&](ui::ScanParameterDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Com Port Scan Parameters Setting"));
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
            refusals = boxes.texts();
            dialog.timeoutBox()->setText(QStringLiteral("32767"));
        });
        QVERIFY(mainDisabled);
        QCOMPARE(baudTexts.size(), 8);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(baudTexts[i], QString::fromStdString(ScanBaudList[static_cast<std::size_t>(i)]));
        QCOMPARE(baudTexts[7], QStringLiteral(" 115200 BPS"));
        QCOMPARE(baudIndex, 3);
        QCOMPARE(checksumIndex, 0);
        QCOMPARE(timeoutText, QStringLiteral("200"));
        QVERIFY(stayedOpen);
        QCOMPARE(refusals, QStringList(3, QStringLiteral("Timeout value is out of range!(1ms~32767ms)")));
        QCOMPARE(window->state().ScanTimeoutMs, 32767);
        QVERIFY(window->isEnabled());
        QVERIFY(window->state().Connected);
    }

    void theCloseBoxStoresTheChoiceAndGoesOn()
    {
        QTemporaryDir folder;
        ScriptedBoxes boxes;
        auto window = DemoWindow(folder.path().toStdString());
        QTimer poll;
        poll.setInterval(5);
        bool closed = false;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            ui::ScanParameterDialog* dialog = window->scanParameterDialog();
            if (closed || dialog == nullptr || !dialog->isVisible())
                return;
            closed = true;
            dialog->baudList()->setCurrentIndex(3);
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

        // The next connect shows what was stored.
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
