// What every regdisc-cli command shares: exit statuses, output on standard output,
// messages on standard error, usage errors and the main menu's opening of a folder.
#pragma once

#include "platform/text.h"
#include "platform/ui.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

class QCommandLineParser;

namespace regdisc {

class MainMenuModel;

namespace cli {

enum ExitStatus { kSuccess = 0, kLookupMessage = 1, kSetupError = 2 };

// One command of regdisc-cli: its name, how it is called, what it does, its runner, which
// receives the whole argument list (program name and command included), an example, its
// exit statuses and what else its --help says. Every usage line, the list of commands, each
// command's help and the manual page are made from this.
struct Command {
    const char *name;
    const char *synopsis;  // the arguments after the command's name
    const char *summary;  // one line
    int (*run)(const QStringList &args);
    const char *example = nullptr;  // arguments after "regdisc-cli"; several lines for several
    const char *exitStatus = nullptr;  // lines of "N  meaning"
    QString (*moreHelp)() = nullptr;  // further sections: a heading line, then indented lines
    bool writesFiles = false;  // its help says how files are written (outputFilesHelp)
};

// How the commands that write files write them, a section of the help.
QString outputFilesHelp();

QString qs(TextView text);
Text tx(const QString &s);

// A line of UTF-8 on standard output.
void printLine(const QString &line);
// One JSON object on one line. Qt escapes the C0 controls in strings; DEL and the C1
// controls are escaped here as well (\u0080), so JSON output is as safe on a terminal.
void printJsonLine(const QJsonObject &object);
// JSON written in pieces, for output too large to build whole: the body of a JSON string
// (without its quotes) of a text, and a piece written as it is, with DEL and the C1
// controls escaped as printJsonLine escapes them; `endLine` ends the line.
QString jsonStringBody(TextView text);
void printJsonText(const QString &piece, bool endLine);
// A line of text output that may hold disc text: control characters are shown escaped
// (\x1B), so a record cannot drive the terminal. JSON output escapes them itself.
void printTextLine(TextView line);

// Every message a screen would show goes to standard error as its exact text.
class StderrMessages : public MessageSink {
public:
    void show(const Message &message) override;
};

// "regdisc-cli: <text>" on standard error; returns kSetupError.
int usageError(const QString &text);
// "regdisc-cli NAME SYNOPSIS": the command's usage line.
QString usageLine(const Command &command);
// "regdisc-cli: usage: regdisc-cli NAME SYNOPSIS" for the command that args name (as its
// runner receives them); `problem` first, on a line of its own, when given. kSetupError.
int usageOf(const QStringList &args, const QString &problem = {});

// Parses a command's arguments (args as its runner receives them) with -h/--help added to
// the parser's options. Returns the exit status when the run ends here, with the command's
// help printed or a usage error; nothing when the command goes on.
std::optional<int> parseArguments(QCommandLineParser &parser, const QStringList &args);

// How a command's --help is printed: on its own, or as its entry in the help of every
// command (regdisc-cli --help, from which the manual page is made).
enum class HelpLayout { Alone, Entry };
void setHelpLayout(HelpLayout layout);

// The folder check and the disc-information read, as the main menu makes them when the
// folder box is left.
bool openFolder(MainMenuModel &menu);

}  // namespace cli
}  // namespace regdisc
