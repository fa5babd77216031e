// k400gw-gui: the desktop configuration program.
//   --demo            offer the simulated gateway in the port list (selected)
//   --output-dir DIR  folder for the EDS files (default: the program's folder;
//                     the current folder when the program is installed)
//   --pace-ms N       pause after each character sent to the console
//   --screenshots DIR render every window into DIR as PNG and exit

#include <cstdio>
#include <string>

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include "ui/Screenshots.h"
#include "ui/StartUp.h"

namespace {

struct Options {
    QCommandLineOption demo{QStringLiteral("demo"), QStringLiteral("Offer the simulated gateway.")};
    QCommandLineOption outputDir{QStringLiteral("output-dir"), QStringLiteral("Folder for the EDS files."),
                                 QStringLiteral("DIR")};
    QCommandLineOption pace{QStringLiteral("pace-ms"), QStringLiteral("Pause after each character sent."),
                            QStringLiteral("N")};
    QCommandLineOption screenshots{QStringLiteral("screenshots"),
                                   QStringLiteral("Render every window into DIR as PNG and exit."),
                                   QStringLiteral("DIR")};
};

void Describe(QCommandLineParser& parser, const Options& options)
{
    QCoreApplication::setApplicationName(QStringLiteral("k400gw"));
    QCoreApplication::setApplicationVersion(QStringLiteral(K400GW_VERSION));
    parser.setApplicationDescription(QStringLiteral("Configuration utility for the GWC-1 and GWD-1 gateways"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({options.demo, options.outputDir, options.pace, options.screenshots});
}

// Help and version need no window, so they are answered before anything
// asks for a display.
bool AsksForHelpOrVersion(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--")
            break;
        if (arg == "-h" || arg == "-?" || arg == "--help" || arg == "--help-all" || arg == "-v" || arg == "--version")
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    const Options options;
    if (AsksForHelpOrVersion(argc, argv)) {
        QCoreApplication core(argc, argv);
        QCommandLineParser parser;
        Describe(parser, options);
        parser.process(core);  // prints to stdout and exits
        return 0;
    }

    QApplication app(argc, argv);
    k400::ui::SetUpApplication();
    QCommandLineParser parser;
    Describe(parser, options);
    parser.process(app);
    if (parser.isSet(options.screenshots))
        return k400::ui::RenderScreenshots(parser.value(options.screenshots));

    k400::ui::MainWindowOptions windowOptions;
    windowOptions.demo = parser.isSet(options.demo);
    if (parser.isSet(options.outputDir))
        windowOptions.outputFolder = parser.value(options.outputDir).toStdString();
    if (parser.isSet(options.pace)) {
        bool ok = false;
        const int ms = parser.value(options.pace).toInt(&ok);
        if (!ok || ms < 0 || ms > 1000) {
            std::fprintf(stderr, "k400gw-gui: --pace-ms takes a number from 0 to 1000\n");
            return 2;
        }
        windowOptions.paceMs = ms;
    }

    auto window = k400::ui::StartUp(std::move(windowOptions));
    return QApplication::exec();
}
