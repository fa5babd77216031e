// Every window driven by the keyboard: tooltips with ranges, mnemonics,
// Return on a focused button, a visible focus, read-only boxes out of the tab
// chain and a tab order that follows the reading order; message boxes with
// their icon by severity, their own title and room for it.

#include <QMenuBar>
#include <QMessageBox>

#include "GuiTestSupport.h"
#include "platform/Messages.h"
#include "ui/AboutWindow.h"
#include "ui/CanopenWindow.h"
#include "ui/DeviceNetWindow.h"
#include "ui/StartUp.h"
#include "ui/WindowGeometry.h"

using namespace k400;
using namespace k400::test;

namespace {
// The tab chain each window should have, in reading order; hidden controls drop out.
const QStringList Chains[] = {
    {"ComPort", "Connect", "WriteEDS", "EixtProgram", "ComButton_0", "ComButton_1", "ApplicationSelect_0",
     "ApplicationSelect_1", "ComChecksum", "CANBaudrate", "CANNodeId", "SettingParameter"},
    {"ScanBaudrateCombol", "ScanChecksumCombol", "ScanTimeout", "ScanSettingOkButton"},
    {"ErrControl_0", "ErrControl_1", "GuardTime_T_0", "GuardTime_T_1", "Heartbeat_T", "ShowSettingResult",
     "ShowObjDictionary", "ShowTarn", "EDSInfo_0", "EDSInfo_1", "FinishButton", "BackButton"},
    {"EDSInfo_0", "EDSInfo_1", "InpPut_0", "OutPut_0", "InpPut_1", "OutPut_1", "InpPut_2", "OutPut_2", "IO_Info_0",
     "IO_Info_1", "IO_Info_2", "IO_Info_3", "AppObj", "ShowSettingResult", "ShowTarnInf", "FinishDeviceSet",
     "BackButton"},
    {"Command1"}};
// Fields whose tooltip must name their range.
const std::pair<const char*, const char*> Ranges[] = {{"CANNodeId", "1 to 127"},       {"ScanTimeout", "1 to 32767"},
                                                      {"GuardTime_T_0", "0 to 65535"}, {"GuardTime_T_1", "0 to 255"},
                                                      {"Heartbeat_T", "0 to 65535"},   {"ComPort", "tcp://HOST:PORT"}};
// Of a group of exclusive options, Tab stops at the chosen one (arrows move within the group).
bool TabStop(const QWidget* w)
{
    const auto* option = qobject_cast<const QRadioButton*>(w);
    return w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && w->focusProxy() == nullptr &&
           !(option && option->autoExclusive() && !option->isChecked());
}
}  // namespace

class WindowKeysTest : public QObject {
    Q_OBJECT
    QTemporaryDir folder_;

    void checkWindow(QWidget* window, const QStringList& chain)
    {
        window->activateWindow();
        QTRY_VERIFY(window->isActiveWindow());
        for (QWidget* w : window->findChildren<QWidget*>()) {
            const QString name = w->objectName();
            if (qobject_cast<QComboBox*>(w->parentWidget()) || name.startsWith("qt_") ||
                (!qobject_cast<QAbstractButton*>(w) && !qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w)))
                continue;  // a combo box's own line edit; labels, frames, grids
            QVERIFY2(!w->toolTip().isEmpty(), qPrintable(name));
            if (auto* box = qobject_cast<QLineEdit*>(w); box && box->isReadOnly())
                QVERIFY2(!(w->focusPolicy() & Qt::TabFocus), qPrintable(name));
            if (auto* button = qobject_cast<QPushButton*>(w)) {
                QVERIFY2(button->autoDefault(), qPrintable(name));
                QVERIFY2(button->text().contains('&') || name.startsWith("ComButton"), qPrintable(name));
            }
        }
        for (const auto& [name, range] : Ranges)
            if (auto* w = window->findChild<QWidget*>(name); w && w->isVisible())
                QVERIFY2(w->toolTip().contains(range), name);
        QStringList expected, actual;
        for (const QString& name : chain)
            if (TabStop(Find(window, name)))
                expected << name;
        // Tab through the window as a user does; each control shows that it has the focus.
        Find(window, expected.first())->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        while (actual.size() < expected.size()) {
            QWidget* w = QApplication::focusWidget();
            actual << w->objectName();
            const QImage focused = w->grab().toImage();
            QTest::keyClick(w, Qt::Key_Tab);
            // A dialog's default button looks the same with and without the focus.
            auto* button = qobject_cast<QPushButton*>(w);
            QVERIFY2(focused != w->grab().toImage() || (button && button->isDefault()), qPrintable(w->objectName()));
        }
        QCOMPARE(actual, expected);
    }

private slots:
    void everyWindowByKeyboard()
    {
        ScriptedBoxes boxes;
        auto main = DemoWindow(folder_);
        checkWindow(main->openScanParameterDialog(), Chains[1]);
        main->scanParameterDialog()->reject();
        ConnectWithDefaults(*main);
        checkWindow(main.get(), Chains[0]);
        // Return on a focused button outside a dialog clicks it; Alt+F and F10 reach the menu.
        QTest::keyClick(Find(main.get(), "ComButton_1"), Qt::Key_Return);
        QVERIFY(Find<QPushButton>(main.get(), "ComButton_1")->isChecked());
        for (const auto& [key, modifier] : {std::pair{Qt::Key_F, Qt::AltModifier}, {Qt::Key_F10, Qt::NoModifier}}) {
            QTest::keyClick(main.get(), key, modifier);
            QTRY_VERIFY(main->menuBar()->activeAction() != nullptr);
            while (QApplication::activePopupWidget())
                QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
            QTest::keyClick(main->menuBar(), Qt::Key_Escape);
            QTRY_VERIFY(main->menuBar()->activeAction() == nullptr);
        }
        main->openAbout();
        checkWindow(main->findChild<ui::AboutWindow*>(), Chains[4]);
        main->sideToggleReleased(0);
        boxes.answer = QMessageBox::Yes;  // store the application chosen before building
        for (int application : {0, 1}) {
            Find<QRadioButton>(main.get(), QStringLiteral("ApplicationSelect_%1").arg(application))->click();
            main->buildEdsFile();
            QWidget* profile = application ? static_cast<QWidget*>(main->deviceNetWindow()) : main->canopenWindow();
            checkWindow(profile, Chains[2 + application]);
            Find<QPushButton>(profile, "BackButton")->click();
        }
    }

    void messageBoxesByTheirSeverity()
    {
        ui::SetUpApplication();
        const struct {
            std::string text;
            const char *title, *shownTitle;
            QMessageBox::Icon icon;
        } rows[] = {{msg::Timeout, "", msg::ProductName, QMessageBox::Critical},
                    {msg::NodeIdError, msg::ErrorTitle, msg::ErrorTitle, QMessageBox::Warning},
                    {msg::GuardTimeOverflow, "", msg::ProductName, QMessageBox::Warning},
                    {msg::NewDeviceNetSetting, "", msg::ProductName, QMessageBox::Information},
                    {msg::PortChangedSinceConnect("COM 1", "COM 2"), "", msg::ProductName, QMessageBox::Warning}};
        for (const auto& row : rows) {
            bool fits = false;
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                fits = box->icon() == row.icon && box->windowTitle() == row.shownTitle &&
                       box->width() >= ui::TitleWidth(box, box->windowTitle());
                box->button(QMessageBox::Ok)->click();
            });
            ui::ShowMessage(nullptr, QString::fromStdString(row.text), row.title);
            QVERIFY2(fits, row.text.c_str());
        }
    }
};

QTEST_MAIN(WindowKeysTest)
#include "window_keys.moc"
