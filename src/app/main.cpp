// regdisc: the desktop application. `regdisc [FOLDER]` starts on the main menu with the
// folder box holding FOLDER, which the start-up read then uses.
#include "output/output_file.h"
#include "version.h"
#include "views/desktop_session.h"
#include "views/qt_text.h"
#include "views/screen_look.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include <cstring>

using namespace regdisc;

namespace {

void describeArguments(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("證券所有人名冊查詢: the holder-register data disc query tool"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("folder"),
                                 QStringLiteral("the disc folder, put into the main menu's folder box"),
                                 QStringLiteral("[FOLDER]"));
}

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("regdisc"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersion));
}

// --help and --version are answered on the terminal without a window, so that they work
// where there is no display (and for the manual page, which is made from them).
bool asksForHelpOrVersion(int argc, char *argv[])
{
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        for (const char *option : {"-h", "--help", "-?", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0)
                return true;
    return false;
}

int answerHelpOrVersion(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    nameApplication();
    QCommandLineParser parser;
    describeArguments(parser);
    // Qt's own options (-platform, -style …) are no error here: only the answer counts.
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    parser.showHelp(0);
}

}  // namespace

int main(int argc, char *argv[])
{
    if (asksForHelpOrVersion(argc, argv))
        return answerHelpOrVersion(argc, argv);

    // A file being written when the session ends (SIGTERM, SIGHUP) leaves no half file.
    regdisc::removeTemporariesOnSignals();
    QApplication app(argc, argv);
    setUpDesktopApplication(app);
    nameApplication();
    // The window belongs to the installed desktop entry and carries the emblem as its icon.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kApplicationId));
    QApplication::setWindowIcon(applicationIcon());

    QCommandLineParser parser;
    describeArguments(parser);
    parser.process(app);
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        parser.showHelp(2);

    DesktopSession session(positional.isEmpty() ? Text() : tx(QDir::toNativeSeparators(positional.front())));
    session.show();
    return app.exec();
}
