// regdisc-cli: the core without a window, for scripts, batch work and tests. It drives the
// same screen models as the desktop application, message for message. It needs Qt Core
// only, so that a query starts in a few milliseconds.
#include "cli/commands.h"
#include "output/output_file.h"
#include "version.h"

#include <QCoreApplication>

using namespace regdisc;
using namespace regdisc::cli;

namespace {

// Every command's usage line, after what was wrong (an unknown command or option), if
// anything.
int usage(const QString &problem = {})
{
    QString text = problem.isEmpty() ? QString() : problem + '\n';
    text += "usage:";
    for (const Command &c : commands())
        text += "\n  " + usageLine(c);
    text += "\n  regdisc-cli --help | COMMAND --help | --version";
    return usageError(text);
}

// The help of every command, the source of the manual page: what the program is, then one
// entry per command as the command's own --help describes it.
int help()
{
    printLine(R"(Usage: regdisc-cli COMMAND ARGUMENTS... [OPTIONS]
  or:  regdisc-cli COMMAND --help
  or:  regdisc-cli --help | --version
Looks up securities holders on a holder-register data disc without a window: the
disc information, the query screens' 查詢 and 次筆, the count listings and the
whole-disc tools of the desktop application regdisc, for scripts and batch work.

FOLDER is the disc folder, read exactly as the main menu's folder box would read
it; it holds the folders stk and stkidx. Nothing on the disc is ever written.
Every message a screen would show goes to standard error as its exact text, one
line each, in the order the screens would show them.

Exit status:
  0  success
  1  a lookup ended with a query screen's message; holder: nothing found;
     check: the disc has defects
  2  a folder, disc-information, file-opening, output or usage error; holder,
     batch, export, stats: a register could not be read (its message on
     standard error; files written say 無法讀取 for it)
  Ended by SIGINT, SIGTERM or SIGHUP, regdisc-cli removes the files it had not
  completed and ends by that signal (128 + its number in the shell). Each
  command's entry below gives its own statuses.

Commands:)");
    for (const Command &c : commands())
        printLine(QString("  %1  %2")
                      .arg(QString::fromLatin1(c.name).leftJustified(8), QString::fromUtf8(c.summary)));
    setHelpLayout(HelpLayout::Entry);
    for (const Command &c : commands()) {
        printLine(QString());
        c.run({QCoreApplication::arguments().value(0), QLatin1String(c.name), "--help"});
    }
    printLine(outputFilesHelp().chopped(1));
    printLine(R"(
Options:
  -h, --help     show this help; COMMAND --help shows one command's
  -v, --version  show the version)");
    return kSuccess;
}

}  // namespace

int main(int argc, char *argv[])
{
    removeTemporariesOnSignals();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("regdisc-cli");
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersion));
    const QStringList args = QCoreApplication::arguments();
    const QString first = args.value(1);
    if (args.size() == 2 && (first == "--version" || first == "-v")) {
        printLine("regdisc-cli " + QCoreApplication::applicationVersion());
        return kSuccess;
    }
    if (args.size() == 2 && (first == "--help" || first == "-h" || first == "help"))
        return help();
    // `regdisc-cli help COMMAND` is `regdisc-cli COMMAND --help`.
    if (args.size() == 3 && first == "help") {
        if (const Command *command = findCommand(args.at(2)))
            return command->run({args.at(0), args.at(2), "--help"});
        return usage("unknown command: " + args.at(2));
    }
    const Command *command = findCommand(first);
    if (command)
        return command->run(args);
    if (first.isEmpty())
        return usage();
    if (first.startsWith('-'))
        return usage("unknown option: " + first);
    return usage("unknown command: " + first);
}
