// Under a real X server what the offscreen platform cannot show: the scan
// dialog is the main window's transient and, once the main window is
// activated as a click does, stays above it (checked when a window manager is
// installed) and has the keyboard back for Return and Escape; the server holds
// the exact titles. Starts its own Xvfb; skipped without one.

#include <cstdio>
#include <cstring>

#include <QProcess>
#include <QStandardPaths>
#include <QThread>
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

xcb_connection_t* X()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

QByteArray Property(const QWidget* w, const char* name)
{
    auto* atom = xcb_intern_atom_reply(X(), xcb_intern_atom(X(), 0, uint16_t(std::strlen(name)), name), nullptr);
    auto* reply = xcb_get_property_reply(
        X(), xcb_get_property(X(), 0, xcb_window_t(w->winId()), atom->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
        nullptr);
    const QByteArray value(static_cast<const char*>(xcb_get_property_value(reply)),
                           xcb_get_property_value_length(reply));
    std::free(reply);
    std::free(atom);
    return value;
}

// Place in the stacking order (bottom first) of the top-level window, frame included, that holds w.
int Stacking(const QWidget* w)
{
    xcb_window_t window = xcb_window_t(w->winId()), root = 0, parent = 0;
    do {
        auto* tree = xcb_query_tree_reply(X(), xcb_query_tree(X(), parent ? (window = parent) : window), nullptr);
        root = tree->root;
        parent = tree->parent;
        std::free(tree);
    } while (parent != root);
    auto* tree = xcb_query_tree_reply(X(), xcb_query_tree(X(), root), nullptr);
    const xcb_window_t* children = xcb_query_tree_children(tree);
    const int place = int(std::find(children, children + xcb_query_tree_children_length(tree), window) - children);
    std::free(tree);
    return place;
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
        for (const auto& [key, typed, stored] :
             {std::tuple{Qt::Key_Escape, "999", 200}, {Qt::Key_Return, "321", 321}}) {
            ConnectThroughDialog(*main, [&](ui::ScanParameterDialog& dialog) {
                QVERIFY(QTest::qWaitForWindowExposed(&dialog));
                QCOMPARE(title(&dialog), msg::ScanDialogTitle);
                std::uint32_t transientFor = 0;
                std::memcpy(&transientFor, Property(&dialog, "WM_TRANSIENT_FOR").leftJustified(4, 0).constData(), 4);
                QCOMPARE(transientFor, std::uint32_t(main->winId()));
                main->activateWindow();
                QTest::qWait(300);
                QTRY_VERIFY(dialog.isActiveWindow());
                QTest::qWait(100);
                QVERIFY2(!windowManager || Stacking(&dialog) > Stacking(main.get()), "the dialog went behind");
                dialog.timeoutBox()->setText(typed);
                QTest::keyClick(&dialog, key);
                QTRY_VERIFY(!dialog.isVisible());
            });
            QCOMPARE(main->state().ScanTimeoutMs, stored);
        }
        main->buildEdsFile();
        main->canopenWindow()->openPdoView();
        QVERIFY(QTest::qWaitForWindowExposed(main->canopenWindow()->pdoViewer()));
        QCOMPARE(title(main->canopenWindow()), msg::CanopenTitle);
        QCOMPARE(title(main->canopenWindow()->pdoViewer()), msg::PdoViewerTitle);
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
    for (const char* name : {"openbox", "icewm", "twm"}) {
        if (const QString found = QStandardPaths::findExecutable(name); !windowManager && !found.isEmpty()) {
            manager.start(found, {});
            windowManager = manager.waitForStarted();
            QThread::msleep(500);  // until it manages the screen
        }
    }
    if (!windowManager)
        std::puts("No window manager installed: the stacking is not checked");
    int rc = 0;
    {
        QApplication app(argc, argv);
        ui::SetUpApplication();
        XWindowTest test;
        rc = QTest::qExec(&test, argc, argv);
    }
    for (QProcess* process : {&manager, &server}) {
        process->terminate();
        process->waitForFinished();
    }
    return rc;
}

#include "x_window.moc"
