#include "ui/StartUp.h"

#include <QCoreApplication>

#include "platform/Clock.h"
#include "platform/WaitSeconds.h"
#include "ui/SplashWindow.h"

namespace k400::ui {

namespace {
// Before the main window exists, waiting only needs the event pump.
class StartUpEvents final : public SilentUserInterface {
public:
    void pumpEvents() override { QCoreApplication::processEvents(); }
};
}  // namespace

void SetUpApplication()
{
    // The port and the viewers' places are kept between runs (QSettings).
    QCoreApplication::setOrganizationName(QStringLiteral("k400gw"));
    QCoreApplication::setApplicationName(QStringLiteral("k400gw"));
}

std::unique_ptr<MainWindow> StartUp(MainWindowOptions options)
{
    auto* splash = new SplashWindow;
    splash->show();
    SystemClock clock;
    StartUpEvents events;
    WaitSeconds(clock, events, SplashSeconds);
    splash->close();
    delete splash;

    auto window = std::make_unique<MainWindow>(std::move(options));
    window->show();
    return window;
}

}  // namespace k400::ui
