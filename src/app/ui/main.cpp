// k400gw-gui: the desktop configuration program.
//   --demo            offer the simulated gateway in the port list (selected)
//   --output-dir DIR  folder for the EDS files (default: the program's folder)
//   --pace-ms N       pause after each character sent to the console
//   --screenshots DIR render every window into DIR as PNG and exit

#include <cstdio>
#include <string>

#include <QApplication>
#include <QCommandLineParser>

#include "app/ui/Screenshots.h"
#include "app/ui/StartUp.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("k400gw"));
    QApplication::setApplicationDisplayName(QStringLiteral("K-400 Gateway Utility"));
    QApplication::setApplicationVersion(QStringLiteral(K400GW_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Configuration utility for the GWC-1 and GWD-1 gateways"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption demo(QStringLiteral("demo"), QStringLiteral("Offer the simulated gateway."));
    const QCommandLineOption outputDir(QStringLiteral("output-dir"), QStringLiteral("Folder for the EDS files."),
                                       QStringLiteral("DIR"));
    const QCommandLineOption pace(QStringLiteral("pace-ms"), QStringLiteral("Pause after each character sent."),
                                  QStringLiteral("N"));
    const QCommandLineOption screenshots(QStringLiteral("screenshots"),
                                         QStringLiteral("Render every window into DIR as PNG and exit."),
                                         QStringLiteral("DIR"));
    parser.addOptions({demo, outputDir, pace, screenshots});
    parser.process(app);
    if (parser.isSet(screenshots))
        return k400::ui::RenderScreenshots(parser.value(screenshots));

    k400::ui::MainWindowOptions options;
    options.demo = parser.isSet(demo);
    if (parser.isSet(outputDir))
        options.outputFolder = parser.value(outputDir).toStdString();
    if (parser.isSet(pace)) {
        bool ok = false;
        const int ms = parser.value(pace).toInt(&ok);
        if (!ok || ms < 0 || ms > 1000) {
            std::fprintf(stderr, "k400gw-gui: --pace-ms takes a number from 0 to 1000\n");
            return 2;
        }
        options.paceMs = ms;
    }

    auto window = k400::ui::StartUp(std::move(options));
    return QApplication::exec();
}
