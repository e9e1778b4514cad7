// The whole-disc commands of regdisc-cli as scripts use them: holder --json, batch and
// export files, check's exit status, and the usage naming every command.
#include "tools_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

using namespace regdisc;
using namespace regdisc::test;

namespace {

struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

CliRun cli(const QStringList &args)
{
    QProcess process;
    process.start(REGDISC_CLI, args);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QString text(const std::filesystem::path &path)
{
    return QString::fromStdString(path.string());
}

}  // namespace

TEST(ToolsCli, HolderJsonGroupsTheMatchesByRegister)
{
    TempDir dir;
    writeHolderDisc(dir.path());
    const CliRun run = cli({"holder", text(dir.path()), "--id", "A123456789", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject out = QJsonDocument::fromJson(run.out.toUtf8()).object();
    EXPECT_EQ(out["found"].toInt(), 5);
    const QJsonArray registers = out["registers"].toArray();
    ASSERT_EQ(registers.size(), 14);
    const QJsonObject pla = registers[1].toObject();
    EXPECT_EQ(pla["register"].toString(), "pla");
    EXPECT_EQ(pla["state"].toString(), "present");
    const QJsonObject pledgee = pla["matches"].toArray()[1].toObject();
    EXPECT_EQ(pledgee["record"].toInt(), 2);
    EXPECT_EQ(pledgee["party"].toString(), "質權人");
    EXPECT_EQ(pledgee["combo"].toString(), "依 質權人統編");
    EXPECT_EQ(registers[2].toObject()["state"].toString(), "absent");

    EXPECT_EQ(cli({"holder", text(dir.path()), "--name", "查無此人"}).status, 1);
    EXPECT_EQ(cli({"holder", text(dir.path()), "--id", "A1", "--name", "王"}).status, 2);
    EXPECT_EQ(cli({"holder", text(dir.path() / "none"), "--id", "A1"}).status, 2);
}

TEST(ToolsCli, BatchExportAndCheckWriteTheirFilesAndStatus)
{
    TempDir dir;
    writeHolderDisc(dir.path());
    writeFileBytes(dir.path() / "list.csv", "序號,統編\r\n1,B123456789\r\n2,Z1\r\n");
    const CliRun batch = cli({"batch", text(dir.path()), text(dir.path() / "list.csv"), "--column", "統編",
                              "--out", text(dir.path() / "out.csv"), "--json"});
    ASSERT_EQ(batch.status, 0) << batch.err.toStdString();
    const QJsonObject summary = QJsonDocument::fromJson(batch.out.toUtf8()).object();
    EXPECT_EQ(summary["inputs"].toInt(), 2);
    EXPECT_EQ(summary["notFound"].toInt(), 1);
    EXPECT_EQ(csvRows(dir.path() / "out.csv").size(), 4u);  // heading, psm, pla, not found

    const CliRun exported =
        cli({"export", text(dir.path()), "psm", "pla", "--out", text(dir.path() / "d.xlsx")});
    EXPECT_EQ(exported.status, 0) << exported.err.toStdString();
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "d.xlsx"));
    EXPECT_EQ(cli({"export", text(dir.path()), "xyz", "--out", text(dir.path() / "d.csv")}).status, 2);
    EXPECT_EQ(cli({"export", text(dir.path()), "--out", text(dir.path() / "d.txt")}).status, 2);

    // No count listings on this disc: defects, exit status 1; named in the JSON report.
    const CliRun check = cli({"check", text(dir.path()), "--json"});
    EXPECT_EQ(check.status, 1);
    const QJsonObject report = QJsonDocument::fromJson(check.out.toUtf8()).object();
    EXPECT_EQ(report["verdict"].toString(), "defects");
    EXPECT_EQ(report["files"].toArray()[1].toObject()["readable"].toBool(), false);
    EXPECT_EQ(report["registers"].toArray()[0].toObject()["whole"].toBool(), true);
    EXPECT_EQ(cli({"check", text(dir.path() / "none")}).status, 2);
}

TEST(ToolsCli, UsageListsEveryCommandWithItsOptions)
{
    const CliRun run = cli({});
    EXPECT_EQ(run.status, 2);
    for (const char *line : {"regdisc-cli holder FOLDER (--id ID | --account ACCT | --name NAME) [--exact]",
                             "regdisc-cli batch FOLDER LIST.txt|LIST.csv [--by id|account|name]",
                             "regdisc-cli export FOLDER [DATASET...] --out FILE.csv|.xlsx|.sqlite",
                             "regdisc-cli check FOLDER [--json]"})
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(line))) << line;
}
