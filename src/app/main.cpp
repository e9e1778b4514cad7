// regdisc: the desktop application. `regdisc [FOLDER]` starts on the main menu with the
// folder box holding FOLDER, which the start-up read then uses.
#include "app/screenshot_tour.h"
#include "views/desktop_opener.h"
#include "views/main_menu_window.h"
#include "views/printer.h"
#include "views/qt_ui.h"
#include "views/view_support.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

using namespace regdisc;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("regdisc"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    // The main menu ends the run itself (結束作業 or its close box).
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("證券所有人名冊查詢: the holder-register data disc query tool"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("folder"),
                                 QStringLiteral("the disc folder, put into the main menu's folder box"),
                                 QStringLiteral("[FOLDER]"));
    parser.process(app);
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        parser.showHelp(2);

    useScreenFont(app);
    QtMessageSink messages;
    QtFolderChooser chooser;
    DesktopDocumentOpener opener(&messages);
    QtPrintDialogs printDialogs;
    QtPrinter printer(printDialogs);
    const Text folder = positional.isEmpty() ? Text() : tx(QDir::toNativeSeparators(positional.front()));
    MainMenuWindow menu({messages, chooser, opener, printer}, folder);
    chooser.setOwner(&menu);
    sizeAndCentre(&menu);
    menu.show();

    // Test-only: a tour that saves a picture of every screen and ends the run.
    const QString screenshots = qEnvironmentVariable("REGDISC_SCREENSHOT_DIR");
    if (!screenshots.isEmpty())
        scheduleScreenshotTour(menu, screenshots);
    return app.exec();
}
