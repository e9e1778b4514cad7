// regdisc-cli describes itself: each command's --help names its options and shows an
// example, the examples run on a sample disc, the help of every command (the source of the
// manual page) holds each command's entry, and --version reports the project's version.
#include "cli_run.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
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
    {"sample", {"--records", "--seed", "--decimal-flag", "--after"}},
    {"holder", {"--id", "--account", "--name", "--exact", "--registers", "--json", "--csv"}},
    {"batch", {"--by", "--column", "--prefix", "--registers", "--out", "--json"}},
    {"export", {"--out", "--json"}},
    {"check", {"--json"}},
    {"stats", {"--top", "--percent", "--show-id", "--json", "--csv", "--xlsx"}},
    {"compare", {"--top", "--percent", "--show-id", "--json", "--csv", "--xlsx"}},
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
