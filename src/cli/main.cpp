// regdisc-cli: the core without a window, for scripts, batch work and tests. It drives the
// same screen models as the desktop application, message for message. It needs Qt Core
// only, so that a query starts in a few milliseconds.
#include "cli/commands.h"

#include <QCoreApplication>

using namespace regdisc::cli;

namespace {

int usage()
{
    QString text = "usage:";
    for (const Command &c : commands())
        text += QString("\n  regdisc-cli %1 %2").arg(QLatin1String(c.name), QLatin1String(c.synopsis));
    return usageError(text);
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("regdisc-cli");
    const QStringList args = QCoreApplication::arguments();
    const Command *command = findCommand(args.size() > 1 ? args.at(1) : QString());
    if (!command)
        return usage();
    return command->run(args);
}
