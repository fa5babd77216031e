// Under a real X server what the offscreen platform cannot show: the scan
// dialog is the main window's transient and stays above it after a click on
// the main window (with a window manager, when one is installed), Return and
// Escape reach it from the keyboard, and the server holds the exact titles.
// Starts its own Xvfb; without one it is skipped.

#include <cstdio>
#include <cstring>

#include <QProcess>
#include <QThread>
#include <QStandardPaths>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include "../GuiTestSupport.h"
#include "platform/Messages.h"
#include "ui/CanopenWindow.h"
#include "ui/StartUp.h"
#include "ui/TableViewer.h"

using namespace k400;
using namespace k400::test;

namespace {
bool windowManager = false;
QString xdotool;  // real input through the server, when installed

xcb_connection_t* X() { return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection(); }

QByteArray Property(const QWidget* w, const char* name)
{
    const auto atom = xcb_intern_atom_reply(X(), xcb_intern_atom(X(), 0, uint16_t(strlen(name)), name), nullptr);
    auto* reply = xcb_get_property_reply(
        X(), xcb_get_property(X(), 0, xcb_window_t(w->winId()), atom->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr);
    const QByteArray value(static_cast<const char*>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
    free(reply);
    free(atom);
    return value;
}

std::uint32_t WindowId(const QByteArray& value)
{
    std::uint32_t id = 0;
    std::memcpy(&id, value.constData(), std::size_t(std::min<qsizetype>(sizeof id, value.size())));
    return id;
}

// Place in the server's stacking order (bottom first) of the top-level window, frame included, holding w.
int Stacking(const QWidget* w)
{
    xcb_window_t window = xcb_window_t(w->winId()), root = 0;
    for (xcb_window_t parent = 0;; window = parent) {
        auto* tree = xcb_query_tree_reply(X(), xcb_query_tree(X(), window), nullptr);
        root = tree->root;
        parent = tree->parent;
        free(tree);
        if (parent == root)
            break;
    }
    auto* tree = xcb_query_tree_reply(X(), xcb_query_tree(X(), root), nullptr);
    const xcb_window_t* children = xcb_query_tree_children(tree);
    const int count = xcb_query_tree_children_length(tree);
    const int place = int(std::find(children, children + count, window) - children);
    free(tree);
    return place;
}

void Press(QWidget* w, const char* key, Qt::Key qtKey)
{
    if (xdotool.isEmpty())
        QTest::keyClick(w, qtKey);
    else
        QProcess::execute(xdotool, {"key", key});
}
}  // namespace

class XWindowTest : public QObject {
    Q_OBJECT
private slots:
    void dialogAboveMainWindowWithExactTitles()
    {
        QTemporaryDir folder;
        ScriptedBoxes boxes;
        auto main = DemoWindow(folder);
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        const auto title = [](const QWidget* w) { return QString::fromUtf8(Property(w, "_NET_WM_NAME")); };
        QCOMPARE(title(main.get()), msg::MainTitle);
        for (const auto& [key, name, typed, stored] :
             {std::tuple{Qt::Key_Escape, "Escape", "999", 200}, {Qt::Key_Return, "Return", "321", 321}}) {
            ConnectThroughDialog(*main, [&](ui::ScanParameterDialog& dialog) {
                QVERIFY(QTest::qWaitForWindowExposed(&dialog) && QTest::qWaitForWindowActive(&dialog));
                QCOMPARE(WindowId(Property(&dialog, "WM_TRANSIENT_FOR")), std::uint32_t(main->winId()));
                if (xdotool.isEmpty())
                    main->activateWindow();
                else
                    QProcess::execute(xdotool, {"mousemove", "--window", QString::number(main->winId()), "20", "60", "click", "1"});
                QTest::qWait(400);
                if (windowManager)
                    QVERIFY2(Stacking(&dialog) > Stacking(main.get()), "the dialog went behind the main window");
                QTRY_VERIFY(dialog.isActiveWindow());
                QCOMPARE(title(&dialog), msg::ScanDialogTitle);
                dialog.timeoutBox()->setText(typed);
                dialog.timeoutBox()->setFocus();
                Press(dialog.timeoutBox(), name, key);
                QTRY_VERIFY(!dialog.isVisible());
            });
            QCOMPARE(main->state().ScanTimeoutMs, stored);
        }
        main->buildEdsFile();
        ui::CanopenWindow* canopen = main->canopenWindow();
        canopen->openPdoView();
        QVERIFY(QTest::qWaitForWindowExposed(canopen->pdoViewer()));
        QCOMPARE(title(canopen), msg::CanopenTitle);
        QCOMPARE(title(canopen->pdoViewer()), msg::PdoViewerTitle);
    }
};

int main(int argc, char** argv)
{
    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    if (xvfb.isEmpty()) {
        std::puts("SKIP: Xvfb is not installed; the window test needs an X server");
        return 77;
    }
    int display = 70 + int(QCoreApplication::applicationPid() % 200);
    while (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(display)))
        ++display;
    QProcess server, manager;
    server.start(xvfb, {QStringLiteral(":%1").arg(display), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    for (int i = 0; i < 100 && !QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(display)); ++i)
        QThread::msleep(50);
    qputenv("DISPLAY", QStringLiteral(":%1").arg(display).toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    for (const char* name : {"openbox", "twm", "icewm", "matchbox-window-manager"}) {
        if (const QString found = QStandardPaths::findExecutable(name); !found.isEmpty()) {
            manager.start(found, {});
            windowManager = manager.waitForStarted();
            QThread::msleep(500);
            break;
        }
    }
    if (!windowManager)
        std::puts("no window manager installed: the stacking after a click is not checked");
    xdotool = QStandardPaths::findExecutable("xdotool");
    int rc = 0;
    {
        QApplication app(argc, argv);
        ui::SetUpApplication();
        XWindowTest test;
        rc = QTest::qExec(&test, argc, argv);
    }
    manager.terminate();
    manager.waitForFinished();
    server.terminate();
    server.waitForFinished();
    return rc;
}

#include "x_window.moc"
