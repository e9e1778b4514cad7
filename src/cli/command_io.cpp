#include "cli/command_io.h"

#include "cli/commands.h"
#include "screens/main_menu_model.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

namespace regdisc::cli {

QString qs(TextView text)
{
    return QString::fromStdU16String(Text(text));
}

Text tx(const QString &s)
{
    return s.toStdU16String();
}

void printLine(const QString &line)
{
    // Nothing reaches the terminal raw: a control character that a caller let through (the
    // line breaks of a help text aside) is shown as \xHH.
    QString safe;
    safe.reserve(line.size());
    for (const QChar c : line) {
        if (c != '\n' && c != '\t' && isControl(c.unicode()))
            safe += "\\x" + QString("%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            safe += c;
    }
    const QByteArray utf8 = safe.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stdout);
    std::fputc('\n', stdout);
}

namespace {

// JSON text with DEL and the C1 control characters, which JSON lets through raw, as \u00XX.
QString escapedC1(const QString &json)
{
    QString out;
    out.reserve(json.size());
    for (const QChar c : json) {
        if (c.unicode() >= 0x7F && c.unicode() <= 0x9F)
            out += QString("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

}  // namespace

void printJsonLine(const QJsonObject &object)
{
    printLine(escapedC1(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact))));
}

QString jsonStringBody(TextView text)
{
    // An array of one string holds it quoted and escaped; the brackets and quotes go.
    const QByteArray json = QJsonDocument(QJsonArray{qs(text)}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(2, json.size() - 4));
}

void printJsonText(const QString &piece, bool endLine)
{
    const QByteArray utf8 = escapedC1(piece).toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stdout);
    if (endLine)
        std::fputc('\n', stdout);
}

void printTextLine(TextView line)
{
    printLine(qs(escapeControls(line)));
}

void StderrMessages::show(const Message &message)
{
    const QByteArray utf8 = qs(message.text).toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

int usageError(const QString &text)
{
    std::fprintf(stderr, "regdisc-cli: %s\n", text.toUtf8().constData());
    return kSetupError;
}

QString usageLine(const Command &command)
{
    return QString("regdisc-cli %1 %2").arg(QLatin1String(command.name), QLatin1String(command.synopsis));
}

QString outputFilesHelp()
{
    return R"(
Output files:
  Each file is written under a temporary name beside it (.NAME.XXXXXXXX.tmp in
  the same folder), flushed to the disk and only then renamed into place: it
  appears whole or not at all, and the files of one run appear together. An
  error, Ctrl-C, SIGTERM or SIGHUP removes the temporary file and leaves the
  file that was there as it was. An existing file is replaced only with
  --force. An output that is one of the run's inputs (the list, a file in the
  disc's stk or stkidx folder, also through a link or ..) is refused. A file
  that cannot be written is named with the reason, before the work starts:
  "無法寫入 /x/y.csv：磁碟空間不足".
)";
}

int usageOf(const QStringList &args, const QString &problem)
{
    const Command *command = findCommand(args.value(1));
    QString text = problem.isEmpty() ? QString() : problem + "\n";
    if (command)
        text += "usage: " + usageLine(*command);
    return usageError(text.trimmed());
}

namespace {

HelpLayout helpLayout = HelpLayout::Alone;

// The command's exit statuses and further sections, indented by `indent`.
QString moreSections(const Command &command, const QString &indent)
{
    QString text;
    if (command.exitStatus) {
        text += "\n" + indent + "Exit status:\n";
        for (const QString &line : QString::fromUtf8(command.exitStatus).split('\n'))
            text += indent + "  " + line + '\n';
    }
    QString more = command.moreHelp ? command.moreHelp() : QString();
    if (command.writesFiles)
        more += indent.isEmpty()
                    ? outputFilesHelp()
                    : "\nFiles are written as \"Output files\" below says; --force replaces one.\n";
    for (const QString &line : more.split('\n'))
        text += (line.isEmpty() ? QString() : indent + line) + '\n';
    text.chop(1);
    return text;
}

QStringList exampleLines(const Command &command)
{
    QStringList lines;
    if (command.example)
        for (const QString &example : QString::fromUtf8(command.example).split('\n'))
            lines << "$ regdisc-cli " + example;
    return lines;
}

// The command's help: how it is called, what it does, its options and arguments as its
// parser describes them, and an example.
QString commandHelp(const Command &command, QCommandLineParser &parser)
{
    parser.setApplicationDescription(QString::fromUtf8(command.summary));
    // The parser's text after its first line, which names the program by its path.
    const QString described = parser.helpText().section('\n', 1);
    QString text = "Usage: " + usageLine(command) + '\n' + described + moreSections(command, QString());
    if (command.example)
        text += "\nExample:\n  " + exampleLines(command).join("\n  ") + '\n';
    return text;
}

// The command's entry in the help of every command: its usage line as a heading, then
// what it does, its arguments and options (the lines the parser indents under its
// headings, which name the options first), and an example.
QString commandEntry(const Command &command, QCommandLineParser &parser)
{
    QString text = usageLine(command) + ":\n  " + QString::fromUtf8(command.summary) + "\n\n";
    QStringList sections;
    for (const QString &line : parser.helpText().split('\n')) {
        if (!line.isEmpty() && !line.startsWith(' '))
            sections.prepend(QString());
        else if (line.startsWith("  ") && !line.startsWith("  -h, --help") && !sections.isEmpty())
            sections.front() += line + '\n';
    }
    text += sections.join(QString()) + moreSections(command, "  ");
    if (command.example)
        text += "\n  Example:\n    " + exampleLines(command).join("\n    ") + '\n';
    return text;
}

}  // namespace

void setHelpLayout(HelpLayout layout)
{
    helpLayout = layout;
}

std::optional<int> parseArguments(QCommandLineParser &parser, const QStringList &args)
{
    const QCommandLineOption help({"h", "help"}, "show this help: the command's options and an example");
    parser.addOption(help);
    if (!parser.parse(args))
        return usageOf(args, parser.errorText());
    if (!parser.isSet(help))
        return std::nullopt;
    const Command *command = findCommand(args.value(1));
    if (!command)
        return usageError("no such command: " + args.value(1));
    const QString text =
        helpLayout == HelpLayout::Alone ? commandHelp(*command, parser) : commandEntry(*command, parser);
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stdout);
    return kSuccess;
}

bool openFolder(MainMenuModel &menu)
{
    return menu.checkDataFolder(menu.folderText()) && !menu.readFailed();
}

}  // namespace regdisc::cli
