// regdisc-cli: the core without a window, for scripts, batch work and tests. It drives the
// same screen models as the desktop application, message for message.
#include "cli/commands.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <memory>
#include <string_view>

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
    // The sample disc's PDF copies are painted with Qt's fonts, which need a GUI
    // application; without a platform of the user's choice it needs no display.
    const bool sample = argc > 1 && std::string_view(argv[1]) == "sample";
    if (sample && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app = sample ? std::make_unique<QGuiApplication>(argc, argv)
                                                         : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName("regdisc-cli");
    const QStringList args = QCoreApplication::arguments();
    const Command *command = findCommand(args.size() > 1 ? args.at(1) : QString());
    if (!command)
        return usage();
    return command->run(args);
}
