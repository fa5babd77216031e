#include "ui/Screenshots.h"

#include <cstdio>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include "gateway/ConsoleLink.h"
#include "ui/AboutWindow.h"
#include "ui/CanopenWindow.h"
#include "ui/DeviceNetWindow.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/ScanParameterDialog.h"
#include "ui/SplashWindow.h"
#include "ui/TableViewer.h"

namespace k400::ui {

namespace {

class Shooter {
public:
    explicit Shooter(const QString& folder) : folder_(folder) {}

    void shoot(QWidget* widget, const char* name)
    {
        if (widget == nullptr) {
            std::fprintf(stderr, "screenshots: no window for %s\n", name);
            ++failures;
            return;
        }
        widget->show();
        widget->raise();
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        const QString path = QDir(folder_).filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
        if (!widget->grab().save(path)) {
            std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
            ++failures;
            return;
        }
        std::printf("%s\n", qPrintable(path));
    }

    int failures = 0;

private:
    QString folder_;
};

// Boxes would wait for a user: note them instead.
QMessageBox::StandardButton NotedBoxes(const MessageBoxRequest& request)
{
    std::printf("message box: %s\n", qPrintable(request.text));
    return QMessageBox::No;
}

template <typename T>
T* Child(QWidget* root, const char* name)
{
    return root->findChild<T*>(QString::fromLatin1(name));
}

// Runs `start`, shooting `window()` once `ready` holds while events run in it.
template <typename Start, typename Ready, typename Window>
void ShootDuring(Shooter& shooter, const char* name, Start start, Ready ready, Window window)
{
    bool shot = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!shot && ready()) {
            shot = true;
            shooter.shoot(window(), name);
        }
    });
    poll.start();
    start();
    if (!shot)
        shooter.shoot(nullptr, name);
}

// Runs `start` without the message box hook: a question is answered Yes, and
// the box that follows is shot and closed.
template <typename Start>
void ShootResult(Shooter& shooter, const char* name, Start start)
{
    bool shot = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || shot)
            return;
        auto* box = qobject_cast<QMessageBox*>(dialog);
        if (box != nullptr && box->button(QMessageBox::Yes) != nullptr) {
            box->button(QMessageBox::Yes)->click();
            return;
        }
        shot = true;
        shooter.shoot(dialog, name);
        QTimer::singleShot(0, dialog, [dialog] { dialog->accept(); });
    });
    poll.start();
    SetMessageBoxHook({});
    start();
    SetMessageBoxHook(NotedBoxes);
    if (!shot)
        shooter.shoot(nullptr, name);
}

}  // namespace

int RenderScreenshots(const QString& folder)
{
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "screenshots: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    QTemporaryDir edsFolder;
    SetMessageBoxHook(NotedBoxes);
    Shooter shooter(folder);

    {
        SplashWindow splash;
        shooter.shoot(&splash, "splash");
    }

    MainWindowOptions options;
    options.demo = true;
    options.paceMs = 0;
    options.outputFolder = edsFolder.path().toStdString();
    MainWindow window(std::move(options));
    shooter.shoot(&window, "main_idle");

    // Connect; the scan dialog is pictured while it waits.
    QTimer poll;
    poll.setInterval(10);
    bool answered = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        ScanParameterDialog* dialog = window.scanParameterDialog();
        if (answered || dialog == nullptr || !dialog->isVisible())
            return;
        answered = true;
        shooter.shoot(dialog, "scan_dialog");
        dialog->okButton()->click();
    });
    poll.start();
    window.connectGateway();
    poll.stop();
    if (!window.state().Connected) {
        std::fprintf(stderr, "screenshots: the simulated connect failed\n");
        return 1;
    }
    shooter.shoot(&window, "main_connected_can");
    // A value typed but not stored: marked, and Build EDS File asks about it.
    Child<QLineEdit>(&window, "CANNodeId")->setText(QStringLiteral("6"));
    emit Child<QLineEdit>(&window, "CANNodeId")->textEdited(QStringLiteral("6"));
    shooter.shoot(&window, "main_pending_entry");
    SetMessageBoxHook({});
    ShootDuring(
        shooter, "pending_question", [&] { window.buildEdsFile(); },
        [] { return QApplication::activeModalWidget() != nullptr; },
        [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QTimer::singleShot(0, box, [box] { box->button(QMessageBox::Cancel)->click(); });
            return box;
        });
    SetMessageBoxHook(NotedBoxes);
    window.sideToggleReleased(1);
    shooter.shoot(&window, "main_connected_com2");
    window.sideToggleReleased(0);
    // The File menu, and a backup of what the gateway holds now.
    if (auto* file = window.findChild<QMenu*>(QStringLiteral("File"))) {
        file->popup(window.mapToGlobal(QPoint(0, 0)));
        shooter.shoot(file, "file_menu");
        file->hide();
    }
    const QString backup = QDir(edsFolder.path()).filePath(QStringLiteral("line4.json"));
    if (!window.backupGateway(backup)) {
        std::fprintf(stderr, "screenshots: the backup failed\n");
        return 1;
    }

    window.openAbout();
    shooter.shoot(window.findChild<AboutWindow*>(QStringLiteral("AboutForm")), "about");
    if (auto* about = window.findChild<AboutWindow*>(QStringLiteral("AboutForm")))
        about->close();

    // CANopen window and its viewers.
    Child<QRadioButton>(&window, "ApplicationSelect_0")->click();
    window.buildEdsFile();
    if (CanopenWindow* canopen = window.canopenWindow()) {
        Child<QLineEdit>(canopen, "EDSInfo_0")->setText(QStringLiteral("Packing line 3"));
        Child<QLineEdit>(canopen, "EDSInfo_1")->setText(QStringLiteral("Commissioning team"));
        shooter.shoot(canopen, "canopen_window");
        canopen->openPdoView();
        shooter.shoot(canopen->pdoViewer(), "pdo_viewer");
        canopen->openObjectDictionary();
        shooter.shoot(canopen->objectDictionaryViewer(), "object_dictionary_viewer");
        if (TableViewer* dictionary = canopen->objectDictionaryViewer()) {
            dictionary->selectTab(1);
            shooter.shoot(dictionary, "object_dictionary_viewer_standardized");
        }
        canopen->openTarnInfo();
        shooter.shoot(canopen->tarnInfoViewer(), "module_info_viewer");
        // Finish with its progress, then the main window naming the file written.
        window.context().link.Timing.PaceMs = 2;
        ShootDuring(
            shooter, "canopen_finishing", [canopen] { canopen->finish(); },
            [&window] { return window.state().GatewayBusy && window.context().link.LastStep().command == "el 0"; },
            [canopen] { return canopen; });
        window.context().link.Timing.PaceMs = 0;
        shooter.shoot(&window, "main_eds_written");
    } else {
        shooter.shoot(nullptr, "canopen_window");
    }
    QApplication::processEvents();

    // DeviceNet window and its viewers.
    Child<QRadioButton>(&window, "ApplicationSelect_1")->click();
    Child<QLineEdit>(&window, "CANNodeId")->setText(QStringLiteral("5"));
    window.settingClicked();
    window.buildEdsFile();
    if (DeviceNetWindow* dns = window.deviceNetWindow()) {
        auto* poll0 = Child<QComboBox>(dns, "InpPut_0");
        if (poll0->count() > 1) {
            poll0->setCurrentIndex(1);
            emit poll0->activated(1);
        }
        shooter.shoot(dns, "devicenet_window");
        dns->openApplicationView();
        shooter.shoot(dns->applicationViewer(), "application_object_viewer");
        dns->openAssemblyView();
        shooter.shoot(dns->assemblyViewer(), "assembly_object_viewer");
        // The gateway becomes a DeviceNet slave: no longer what the backup holds.
        dns->finish();
        if (window.deviceNetWindow() != nullptr)
            window.deviceNetWindow()->back();
    } else {
        shooter.shoot(nullptr, "devicenet_window");
    }
    QApplication::processEvents();

    // The gateway held against the backup, then the backup written back.
    ShootResult(shooter, "compare_result", [&] { window.compareWithBackup(backup); });
    ShootResult(shooter, "restore_result", [&] { window.restoreFromBackup(backup); });
    SetMessageBoxHook({});
    return shooter.failures == 0 ? 0 : 1;
}

}  // namespace k400::ui
