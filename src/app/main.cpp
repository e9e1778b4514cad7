// regdisc: the desktop application. `regdisc [FOLDER]` starts on the main menu with the
// folder box holding FOLDER, which the start-up read then uses.
#include "views/desktop_session.h"
#include "views/view_support.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

using namespace regdisc;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpDesktopApplication(app);
    QApplication::setApplicationVersion(QStringLiteral("1.0"));

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

    DesktopSession session(positional.isEmpty() ? Text() : tx(QDir::toNativeSeparators(positional.front())));
    session.show();
    return app.exec();
}
