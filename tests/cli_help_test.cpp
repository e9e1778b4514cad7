// regdisc-cli describes itself: each command's --help names its options and shows an
// example, the examples run on a sample disc, the help of every command (the source of the
// manual page) holds each command's entry, and --version reports the project's version.
#include "cli_run.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

using namespace regdisc::test;

namespace {

// The commands with the options scripts call them with.
const struct {
    QString name;
    QStringList options;
} kCommands[] = {
    {"info", {"--json"}},
    {"query", {"--by", "--key", "--next", "--all", "--json"}},
    {"listing", {"--json"}},
    {"sample", {"--records", "--seed", "--decimal-flag", "--after", "--force"}},
    {"holder", {"--id", "--account", "--name", "--exact", "--registers", "--json", "--csv"}},
    {"batch", {"--by", "--column", "--prefix", "--registers", "--out", "--force", "--json"}},
    {"export", {"--out", "--force", "--json"}},
    {"check", {"--json"}},
    {"stats", {"--top", "--percent", "--show-id", "--json", "--csv", "--xlsx", "--force"}},
    {"compare", {"--top", "--percent", "--show-id", "--json", "--csv", "--xlsx", "--force"}},
};

bool namesOption(const QString &help, const QString &option)
{
    return help.contains(QRegularExpression("\\n {2,4}" + QRegularExpression::escape(option) + "[ \\n]"));
}

}  // namespace

TEST(CliHelp, EachCommandShowsItsOptionsAndAnExample)
{
    for (const auto &c : kCommands) {
        SCOPED_TRACE(c.name.toStdString());
        const CliRun run = cli({c.name, "--help"});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_TRUE(run.out.startsWith("Usage: regdisc-cli " + c.name + " ")) << run.out.toStdString();
        for (const QString &option : c.options)
            EXPECT_TRUE(namesOption(run.out, option)) << option.toStdString();
        EXPECT_TRUE(run.out.contains("\nExample:\n  $ regdisc-cli " + c.name + " ")) << run.out.toStdString();
        // `help COMMAND` says the same.
        EXPECT_EQ(cli({"help", c.name}).out, run.out);
    }
    // --help beside a wrong option is still a usage error.
    EXPECT_EQ(cli({"info", "--frobnicate", "--help"}).status, 2);
}

TEST(CliHelp, TheHelpOfEveryCommandHoldsEachCommandsEntry)
{
    for (const QString &help : {QString("--help"), QString("-h"), QString("help")}) {
        const CliRun run = cli({help});
        ASSERT_EQ(run.status, 0) << help.toStdString();
        EXPECT_TRUE(run.out.startsWith("Usage: regdisc-cli COMMAND"));
        EXPECT_TRUE(run.out.contains("\nExit status:\n"));
        for (const auto &c : kCommands) {
            SCOPED_TRACE(c.name.toStdString());
            // The entry: the usage line as its heading, then the command's options.
            const qsizetype start = run.out.indexOf("\nregdisc-cli " + c.name + " ");
            ASSERT_GE(start, 0);
            const qsizetype end = run.out.indexOf(QRegularExpression("\\n\\n(?! )"), start + 1);
            ASSERT_GT(end, start);
            const QString entry = run.out.mid(start, end - start);
            for (const QString &option : c.options)
                EXPECT_TRUE(namesOption(entry, option)) << option.toStdString();
            EXPECT_TRUE(entry.contains("\n    $ regdisc-cli " + c.name + " ")) << entry.toStdString();
            EXPECT_FALSE(entry.contains("--help")) << entry.toStdString();
        }
    }
}

// Whatever command the help lists answers --help with its own help and an example, so
// that it has its entry in the manual page.
TEST(CliHelp, EveryListedCommandAnswersHelp)
{
    const QString help = cli({"--help"}).out;
    const qsizetype list = help.indexOf("\nCommands:\n");
    ASSERT_GE(list, 0);
    QStringList names;
    for (const QString &line : help.mid(list + 11).split('\n')) {
        if (!line.startsWith("  "))
            break;
        names << line.section(' ', 2, 2);
    }
    EXPECT_GE(names.size(), std::size(kCommands));
    for (const QString &name : names) {
        const CliRun run = cli({name, "--help"});
        EXPECT_EQ(run.status, 0) << name.toStdString() << ": " << run.err.toStdString();
        EXPECT_TRUE(run.out.contains("\nExample:\n  $ regdisc-cli " + name + " ")) << name.toStdString();
        EXPECT_TRUE(help.contains("\nregdisc-cli " + name + " ")) << name.toStdString();
    }
}

// The examples the help shows work as shown, on a disc in place of /media/cdrom (and the
// disc of the book closure before it in place of /media/closing-2024-06).
TEST(CliHelp, TheExamplesRun)
{
    TempDir dir;
    const QString folder = QString::fromStdString(dir.path().string());
    ASSERT_EQ(cli({"sample", folder + "/before", "--records", "300"}).status, 0);
    ASSERT_EQ(cli({"sample", folder + "/disc", "--after", folder + "/before"}).status, 0);
    QFile ids(folder + "/ids.txt");
    ASSERT_TRUE(ids.open(QIODevice::WriteOnly));
    ids.write("A118372703\n");
    ids.close();

    QStringList examples;
    for (const QString &line : cli({"--help"}).out.split('\n'))
        if (line.startsWith("    $ regdisc-cli "))
            examples
                << line.mid(18).replace("/media/cdrom", "disc").replace("/media/closing-2024-06", "before");
    EXPECT_EQ(examples.size(), std::size(kCommands));
    for (const QString &example : examples) {
        QProcess shell;
        shell.setWorkingDirectory(folder);
        shell.start("bash", {"-c", "exec \"$0\" " + example, REGDISC_CLI});
        const CliRun run = finish(shell);
        EXPECT_EQ(run.status, 0) << example.toStdString() << "\n" << run.err.toStdString();
    }
    for (const char *written :
         {"sample-disc/stkidx/security.txt", "result.xlsx", "registers.sqlite", "movement.xlsx"})
        EXPECT_TRUE(QFile::exists(folder + "/" + written)) << written;
}

TEST(CliHelp, VersionIsTheProjectVersion)
{
    for (const char *option : {"--version", "-v"}) {
        const CliRun run = cli({option});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, "regdisc-cli " REGDISC_VERSION "\n");
    }
}

// What is wrong is named: an unknown command, an unknown option.
TEST(CliHelp, AnUnknownCommandOrOptionIsNamed)
{
    const struct {
        QStringList args;
        QString first;  // the first line of standard error
    } cases[] = {
        {{"bogus"}, "regdisc-cli: unknown command: bogus"},
        {{"help", "bogus"}, "regdisc-cli: unknown command: bogus"},
        {{"--bogus"}, "regdisc-cli: unknown option: --bogus"},
        {{"info", "/media/cdrom", "--frobnicate"}, "regdisc-cli: Unknown option 'frobnicate'."},
        {{"export", "/media/cdrom", "--out", "x.csv", "--forse"}, "regdisc-cli: Unknown option 'forse'."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.section('\n', 0, 0), c.first);
        EXPECT_TRUE(run.err.contains("usage:")) << run.err.toStdString();
    }
}

// Every usage line comes from one table: the list of every command, the usage error of each
// command and the first line of its help say the same, and the options the usage line
// names are those its help describes.
TEST(CliHelp, UsageLinesAndOptionsAgree)
{
    QMap<QString, QString> listed;  // command -> its line in the list
    for (const QString &line : cli({}).err.split('\n'))
        if (line.startsWith("  regdisc-cli ") && !line.startsWith("  regdisc-cli --help"))
            listed[line.section(' ', 3, 3)] = line.mid(2);
    ASSERT_EQ(listed.size(), static_cast<int>(std::size(kCommands)));
    // Each command without the arguments it needs.
    const QMap<QString, QStringList> bare = {
        {"info", {"info"}},
        {"query", {"query"}},
        {"listing", {"listing"}},
        {"sample", {"sample"}},
        {"holder", {"holder", "/media/cdrom"}},
        {"batch", {"batch", "/media/cdrom", "ids.txt"}},
        {"export", {"export", "/media/cdrom"}},
        {"check", {"check"}},
        {"stats", {"stats"}},
        {"compare", {"compare", "/media/cdrom"}},
    };
    // An option's line in the help: the option, its value, then its description.
    const QRegularExpression helpOption("^ {2}(?:-\\w, )?(--[a-z-]+)(?: <[^>]+>)? {2,}\\S");
    const QRegularExpression usageOption("--[a-z-]+");
    for (const auto &c : kCommands) {
        SCOPED_TRACE(c.name.toStdString());
        const QString line = listed.value(c.name);
        const CliRun usage = cli(bare.value(c.name));
        EXPECT_EQ(usage.status, 2);
        EXPECT_EQ(usage.err, "regdisc-cli: usage: " + line + "\n");
        const QString help = cli({c.name, "--help"}).out;
        EXPECT_EQ(help.section('\n', 0, 0), "Usage: " + line);
        QStringList described, named;
        for (const QString &helpLine : help.split('\n')) {
            const QRegularExpressionMatch m = helpOption.match(helpLine);
            if (m.hasMatch() && m.captured(1) != "--help")
                described << m.captured(1);
        }
        for (auto it = usageOption.globalMatch(line); it.hasNext();)
            named << it.next().captured(0);
        described.sort();
        named.removeDuplicates();
        named.sort();
        EXPECT_EQ(named.join(' ').toStdString(), described.join(' ').toStdString());
        EXPECT_TRUE(help.contains("\nExit status:\n  0  ")) << help.toStdString();
    }
}

// query's help lists the captions each data set's combo offers, the initial one marked.
TEST(CliHelp, QueryHelpListsTheCaptions)
{
    const QString help = cli({"query", "--help"}).out;
    for (const char *line : {"\n  psm  依 中文戶名 (default), 依 帳號, 依 統一編號\n",
                             "\n  pla  依 出質人戶名 (default), 依 出質人帳號, 依 出質人統編, 依 質權人戶名, "
                             "依 質權人帳號, 依 質權人統編\n",
                             "\n  psr  依 中文戶名 (default), 依 統一編號\n"})
        EXPECT_TRUE(help.contains(QString::fromUtf8(line))) << line;
}

// The commands that write files take --force and say how files are written; so does the
// help of every command (the manual page), with each command's exit statuses.
TEST(CliHelp, TheHelpSaysHowFilesAreWritten)
{
    for (const char *command : {"batch", "export", "stats", "sample"})
        EXPECT_TRUE(namesOption(cli({command, "--help"}).out, "--force")) << command;
    const QString export_ = cli({"export", "--help"}).out;
    EXPECT_TRUE(export_.contains("\nOutput files:\n  Each file is written under a temporary name beside it"));
    const QString all = cli({"--help"}).out;
    EXPECT_TRUE(all.contains("\nOutput files:\n")) << all.toStdString();
    EXPECT_TRUE(all.contains("renamed into place")) << all.toStdString();
    EXPECT_TRUE(all.contains("Ctrl-C, SIGTERM or SIGHUP")) << all.toStdString();
    EXPECT_TRUE(all.contains("--decimal-flag <Y|N>")) << all.toStdString();
    EXPECT_EQ(all.count("\n  Exit status:\n    0  "), static_cast<int>(std::size(kCommands)));
}
