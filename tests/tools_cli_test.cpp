// The whole-disc commands of regdisc-cli as scripts use them: holder --json, batch and
// export files, check's exit status, and the usage naming every command.
#include "cli_run.h"
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
    for (const char *line :
         {"regdisc-cli holder FOLDER (--id ID | --account ACCT | --name NAME) [--exact]",
          "regdisc-cli batch FOLDER LIST.txt|LIST.csv [--by id|account|name]",
          "regdisc-cli export FOLDER [DATASET...] --out FILE.csv|.xlsx|.sqlite",
          "regdisc-cli check FOLDER [--json]",
          "regdisc-cli stats FOLDER [--top N] [--percent P] [--show-id] [--json | --csv OUT | --xlsx OUT]"})
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(line))) << line;
}

// stats: the tables as JSON for scripts, as aligned text for people, as CSV or XLSX files;
// ID numbers masked unless asked; usage errors and a disc without its holder register.
TEST(ToolsCli, StatsPrintsTheTablesAndWritesThem)
{
    TempDir dir;
    writeStatsDisc(dir.path());
    const QString folder = text(dir.path());
    const CliRun json = cli({"stats", folder, "--json", "--top", "2", "--percent", "2"});
    ASSERT_EQ(json.status, 0) << json.err.toStdString();
    const QJsonObject out = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(out["records"].toInt(), 19);
    EXPECT_EQ(out["holders"].toInt(), 14);
    EXPECT_EQ(out["zeroHolders"].toInt(), 1);
    const QJsonArray distribution = out["distribution"].toArray();
    ASSERT_EQ(distribution.size(), 15);
    EXPECT_EQ(distribution[0].toObject(),
              (QJsonObject{{"level", "1 至 999"}, {"holders", 3}, {"shares", 1999}, {"percent", 0.09}}));
    EXPECT_EQ(distribution[14].toObject()["percent"].toDouble(), 47.42);
    const QJsonArray principal = out["principal"].toArray();
    ASSERT_EQ(principal.size(), 3);
    EXPECT_EQ(principal[0].toObject()["id"].toString(), "876**321");
    EXPECT_EQ(principal[2].toObject()["name"].toString(), "格式錯");
    EXPECT_EQ(principal[2].toObject()["account"].toString(), "10000000013");
    const QJsonObject quality = out["quality"].toObject();
    EXPECT_EQ(quality["totalMismatches"].toInt(), 1);
    EXPECT_EQ(quality["firstMismatches"].toArray()[0].toObject()["id"].toString(), "C10****001");
    EXPECT_EQ(quality["recordsByAccount"].toInt(), 3);
    const QJsonArray structure = out["structure"].toArray();
    ASSERT_EQ(structure.size(), 18);
    EXPECT_EQ(structure[3].toObject(), (QJsonObject{{"holderType", "1"},
                                                    {"caption", "外國投資機構"},
                                                    {"kind", "natural"},
                                                    {"holders", 0},
                                                    {"shares", 0},
                                                    {"percent", 0}}));
    EXPECT_EQ(structure[4].toObject()["percent"].toDouble(), 47.42);

    const CliRun whole = cli({"stats", folder, "--json", "--top", "2", "--percent", "2", "--show-id"});
    EXPECT_EQ(QJsonDocument::fromJson(whole.out.toUtf8())["principal"][0]["id"].toString(), "87654321");

    const CliRun plain = cli({"stats", folder});
    ASSERT_EQ(plain.status, 0);
    const QStringList lines = plain.out.split('\n');
    EXPECT_TRUE(lines.contains("股權分散表"));
    EXPECT_TRUE(lines.contains("持股分級              股東人數   持有股數  持股比例(%)"));
    EXPECT_TRUE(lines.contains("1,000,001 以上               1  1,000,001        47.42"));
    EXPECT_TRUE(lines.contains("合計                        14  2,109,002       100.00"));
    EXPECT_TRUE(lines.contains("股東結構"));
    EXPECT_TRUE(lines.contains("主要股東"));

    const CliRun csv = cli({"stats", folder, "--csv", text(dir.path() / "s.csv")});
    EXPECT_EQ(csv.status, 0) << csv.err.toStdString();
    for (const char *table : {"distribution", "structure", "principal", "notes"})
        EXPECT_TRUE(std::filesystem::exists(dir.path() / ("s_" + std::string(table) + ".csv"))) << table;
    EXPECT_EQ(cli({"stats", folder, "--xlsx", text(dir.path() / "s.xlsx")}).status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "s.xlsx"));

    for (const QStringList &wrong :
         {QStringList{"--percent", "101"}, QStringList{"--percent", "1.234"}, QStringList{"--percent", "0"},
          QStringList{"--top", "-1"}, QStringList{"--json", "--csv", "x.csv"}})
        EXPECT_EQ(cli(QStringList{"stats", folder} + wrong).status, 2) << wrong.join(' ').toStdString();
    EXPECT_EQ(cli({"stats", text(dir.path() / "none")}).status, 2);
    TempDir noHolders;
    writeTestDisc(noHolders.path(), {{&plaDataSet(), {}}});
    const CliRun absent = cli({"stats", text(noHolders.path())});
    EXPECT_EQ(absent.status, 2);
    EXPECT_EQ(absent.err.trimmed(), "psm 證券所有人名冊：無此名冊");
}

// A register that cannot be read (here: pla's DataFile is gone, its index files are there)
// is never a clean "nothing found": every command names it on standard error, exits with 2,
// and its outputs say 無法讀取 for it.
TEST(ToolsCli, UnreadableRegisterEndsWithItsMessageAndStatus2)
{
    TempDir dir;
    writeHolderDisc(dir.path());
    std::filesystem::remove(dataSetFile(dir.path(), plaDataSet(), "data"));
    const QString folder = text(dir.path());
    const std::string pla = dataSetFile(dir.path(), plaDataSet(), "data").string();
    const std::string message = "pla 設質資料：無法讀取：MSG_0_08 " + pla + " 開檔錯誤 !";

    const CliRun csv = cli({"holder", folder, "--id", "A123456789", "--registers", "psm,pla", "--csv"});
    EXPECT_EQ(csv.status, 2);
    EXPECT_EQ(csv.err.trimmed().toStdString(), message);
    EXPECT_TRUE(csv.out.contains(
        QString::fromStdString("A123456789,無法讀取,pla,設質資料,,,,,,,,,,MSG_0_08 " + pla + " 開檔錯誤 !")))
        << csv.out.toStdString();
    EXPECT_FALSE(csv.out.contains("查無資料"));

    const CliRun json = cli({"holder", folder, "--id", "A123456789", "--registers", "psm,pla", "--json"});
    EXPECT_EQ(json.status, 2);
    const QJsonObject answer = json.json();
    EXPECT_FALSE(answer["whole"].toBool());
    EXPECT_EQ(answer["registers"].toArray()[1].toObject()["outcome"].toString(), "unreadable");

    writeFileBytes(dir.path() / "ids.txt", "Z1\n");
    const CliRun batch = cli({"batch", folder, text(dir.path() / "ids.txt"), "--registers", "pla", "--out",
                              text(dir.path() / "r.csv")});
    EXPECT_EQ(batch.status, 2);
    EXPECT_EQ(batch.err.trimmed().toStdString(), message);
    EXPECT_EQ(csvRows(dir.path() / "r.csv").at(1),
              "Z1␟無法讀取␟pla␟設質資料␟␟␟␟␟␟␟␟MSG_0_08 " + pla + " 開檔錯誤 !");

    const CliRun exported = cli({"export", folder, "psm", "pla", "--out", text(dir.path() / "e.csv")});
    EXPECT_EQ(exported.status, 2);
    EXPECT_TRUE(exported.err.contains("pla 設質資料：無法開啟資料檔")) << exported.err.toStdString();

    std::filesystem::remove(dataSetFile(dir.path(), psmDataSet(), "data"));
    const CliRun stats = cli({"stats", folder});
    EXPECT_EQ(stats.status, 2);
    EXPECT_TRUE(stats.err.startsWith(QString::fromUtf8("psm 證券所有人名冊：無法讀取：")))
        << stats.err.toStdString();
}

// Quantities in JSON are numbers in shown units beside the text the screen shows.
TEST(ToolsCli, HolderJsonQuantitiesAreNumbers)
{
    TempDir dir;
    writeHolderDisc(dir.path(), "Y");
    const CliRun run =
        cli({"holder", text(dir.path()), "--id", "A123456789", "--registers", "psm", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonArray matches = run.json()["registers"].toArray()[0].toObject()["matches"].toArray();
    ASSERT_EQ(matches.size(), 2);
    const QJsonObject shares = matches[1].toObject()["quantities"].toArray()[0].toObject();
    EXPECT_EQ(shares["label"].toString(), "各筆股數");
    EXPECT_EQ(shares["value"].toString(), "1,234.56");
    EXPECT_DOUBLE_EQ(shares["number"].toDouble(), 1234.56);
}

// compare as scripts use it: the movement and the buyers in JSON (shares in shown units),
// the tables as files, different securities refused with exit status 2.
TEST(ToolsCli, CompareJsonFilesAndRefusals)
{
    TempDir older, newer;
    writeComparePair(older.path(), newer.path());
    const CliRun run = cli({"compare", text(older.path()), text(newer.path()), "--top", "2", "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject out = run.json();
    const QJsonObject movement = out["movement"].toObject();
    const auto row = [&](const char *name) {
        const QJsonObject o = movement[name].toObject();
        return QString("%1/%2").arg(o["holders"].toInt()).arg(o["shares"].toDouble());
    };
    EXPECT_EQ(row("new"), "4/6700");
    EXPECT_EQ(row("exited"), "2/3500");
    EXPECT_EQ(row("increased"), "2/15000");
    EXPECT_EQ(row("decreased"), "2/6000");
    EXPECT_EQ(row("unchanged"), "3/7800");
    EXPECT_EQ(out["totalSharesChange"].toDouble(), 12200);
    const QJsonArray buyers = out["buyers"].toArray();
    ASSERT_EQ(buyers.size(), 3);
    const QJsonObject first = buyers[0].toObject();
    EXPECT_EQ(first["id"].toString(), "876**321");
    EXPECT_EQ(first["name"].toString(), "環球基金投資專戶");
    EXPECT_EQ(first["old"].toDouble(), 8000);
    EXPECT_EQ(first["new"].toDouble(), 20000);
    EXPECT_EQ(first["change"].toDouble(), 12000);
    const QJsonArray sellers = out["sellers"].toArray();
    ASSERT_EQ(sellers.size(), 3);
    EXPECT_EQ(sellers[2].toObject()["change"].toDouble(), -3000);
    EXPECT_EQ(sellers[2].toObject()["id"].toString(), "123**678");
    // --show-id and the side-by-side tables keyed by their columns' names.
    const QJsonObject whole =
        cli({"compare", text(older.path()), text(newer.path()), "--show-id", "--json"}).json();
    EXPECT_EQ(whole["buyers"].toArray()[0].toObject()["id"].toString(), "87654321");
    const QJsonObject level = whole["distribution"].toArray()[1].toObject();
    EXPECT_EQ(level["level"].toString(), "1,000 至 5,000");
    EXPECT_EQ(level["old_holders"].toDouble(), 4);
    EXPECT_EQ(level["new_holders"].toDouble(), 6);
    EXPECT_EQ(level["shares_change"].toDouble(), 3000);

    const CliRun csv = cli(
        {"compare", text(older.path()), text(newer.path()), "--csv", text(older.path() / "movement.csv")});
    ASSERT_EQ(csv.status, 0) << csv.err.toStdString();
    EXPECT_EQ(csvRows(older.path() / "movement_movement.csv").at(1), "新進股東␟4␟6,700");
    EXPECT_TRUE(std::filesystem::exists(older.path() / "movement_nationality.csv"));

    TempDir other;
    writeRegister(other.path(), kNewerHoldings, {u"T02", u"別家公司", u"114/06/30", u"N", u"114/07/02"},
                  "T02");
    const CliRun refused = cli({"compare", text(older.path()), text(other.path())});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err.trimmed(),
              "兩片光碟不是同一證券：舊光碟是 T01  測試公司，新光碟是 T02  別家公司，無法比較。");
    EXPECT_EQ(cli({"compare", text(older.path()), text(older.path() / "none")}).status, 2);
    EXPECT_EQ(cli({"compare", text(older.path())}).status, 2);
    EXPECT_EQ(cli({"compare", text(older.path()), text(newer.path()), "--top", "-1"}).status, 2);
    EXPECT_EQ(cli({"compare", text(older.path()), text(newer.path()), "--json", "--csv", "x.csv"}).status, 2);
}

// stats carries the breakdowns in its JSON and its text.
TEST(ToolsCli, StatsShowsTheBreakdowns)
{
    TempDir dir;
    writeStatsDisc(dir.path());
    const QJsonObject out = cli({"stats", text(dir.path()), "--json"}).json();
    const QJsonArray county = out["county"].toArray();
    ASSERT_EQ(county.size(), 23);  // 22 counties and 未詳
    EXPECT_EQ(county[22].toObject()["name"].toString(), "未詳");
    EXPECT_EQ(county[22].toObject()["holders"].toInt(), 14);  // the fixture has no postcodes
    EXPECT_EQ(county[22].toObject()["sharesPercent"].toDouble(), 100);
    EXPECT_EQ(out["age"].toArray().size(), 8);
    EXPECT_TRUE(out["nationality"].isArray());
    const QString textOut = cli({"stats", text(dir.path())}).out;
    for (const char *title : {"\n縣市分布\n", "\n年齡分布\n", "\n國籍分布\n"})
        EXPECT_TRUE(textOut.contains(QString::fromUtf8(title))) << title;
}

// sample --after writes the next book closure beside the disc before, never over it.
TEST(ToolsCli, SampleAfterWritesTheNextBookClosure)
{
    TempDir dir;
    const QString before = text(dir.path() / "before"), after = text(dir.path() / "after");
    ASSERT_EQ(cli({"sample", before, "--records", "400"}).status, 0);
    const CliRun run = cli({"sample", after, "--after", before, "--seed", "5", "--records", "20"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject info = cli({"info", after, "--json"}).json();
    EXPECT_EQ(info["baseName"].toString(), "X001");
    EXPECT_EQ(info["securityName"].toString(), "虛構科技");
    EXPECT_EQ(info["dataDate"].toString(), "114/06/06");
    const QJsonObject compared = cli({"compare", before, after, "--json"}).json();
    // Twenty came, and the buyer of a block.
    EXPECT_GE(compared["movement"].toObject()["new"].toObject()["holders"].toInt(), 21);
    EXPECT_EQ(compared["totalSharesChange"].toDouble(), 0);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "after" / "stkidx" / "X001_pla.pdf"));

    const auto psmSize = std::filesystem::file_size(dir.path() / "before" / "stk" / "X001.psm");
    EXPECT_EQ(cli({"sample", before, "--after", before}).status, 2);
    EXPECT_EQ(std::filesystem::file_size(dir.path() / "before" / "stk" / "X001.psm"), psmSize);
    EXPECT_EQ(cli({"sample", text(dir.path() / "x"), "--after", text(dir.path() / "none")}).status, 2);
    EXPECT_EQ(cli({"sample", text(dir.path() / "y"), "--after", before, "--decimal-flag", "Y"}).status, 2);
}
