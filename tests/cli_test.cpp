// regdisc-cli as scripts use it: output, messages on standard error and exit status.
#include "cli_run.h"
#include "test_support.h"
#include "writer/sample_disc.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

using namespace regdisc;
using namespace regdisc::test;

namespace {

class Cli : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        disc = new TempDir;
        const CliRun run =
            cli({"sample", folder(), "--records", "300", "--seed", "3", "--decimal-flag", "Y"});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
    }
    static void TearDownTestSuite() { delete disc; }
    static QString folder() { return QString::fromStdString(disc->path().string()); }
    static TempDir *disc;
};
TempDir *Cli::disc = nullptr;

}  // namespace

TEST_F(Cli, Info)
{
    const CliRun run = cli({"info", folder(), "--json"});
    EXPECT_EQ(run.status, 0);
    const QJsonObject info = run.json();
    EXPECT_EQ(info["baseName"].toString(), "X001");
    EXPECT_EQ(info["decimalFlag"].toString(), "Y");
    EXPECT_EQ(info["productionDate"].toString(), "113/12/09");
    EXPECT_TRUE(run.err.isEmpty());
}

TEST_F(Cli, QueryPrintsEveryShownRecord)
{
    const CliRun first = cli({"query", folder(), "psm", "--json"});
    ASSERT_EQ(first.status, 0) << first.err.toStdString();
    const QJsonObject record = first.json();
    EXPECT_EQ(record["combo"].toString(), "依 中文戶名");
    EXPECT_EQ(record["counters"].toString(), "0001 0001 0001 ");
    EXPECT_EQ(record["boxes"].toObject()["tx_o_pnt"].toString(), "0001 0001 0001 ");
    EXPECT_EQ(record["boxes"].toObject().size(), 29);  // 26 record boxes, two dates, the counters
    EXPECT_TRUE(record["next"].toBool());

    // An ID typed in lower case comes back upper-cased; 次筆 N times, then the whole chain.
    const QString id = "a";
    const CliRun steps =
        cli({"query", folder(), "psm", "--by", "依 統一編號", "--key", id, "--next", "2", "--json"});
    ASSERT_EQ(steps.status, 0);
    ASSERT_EQ(steps.lines().size(), 3);
    EXPECT_EQ(steps.json(0)["input"].toString(), id.toUpper());
    EXPECT_EQ(steps.json(2)["counters"].toString(), "0001 0003 0003 ");
    EXPECT_TRUE(steps.json(2)["previous"].toBool());
    const CliRun all = cli({"query", folder(), "psm", "--by", "依 帳號", "--all", "--json"});
    EXPECT_EQ(all.lines().size(), 300);
    EXPECT_FALSE(all.json(299)["next"].toBool());

    // Text output: the printout's lines without the title.
    const CliRun text = cli({"query", folder(), "rsa"});
    EXPECT_EQ(text.status, 0);
    EXPECT_TRUE(text.lines().at(0).startsWith("　　　帳號 : ")) << text.lines().at(0).toStdString();
}

TEST_F(Cli, MessagesAndExitStatus)
{
    const struct {
        QStringList args;
        int status;
        QString err;
    } cases[] = {
        {{"query", folder(), "psm", "--by", "依 統一編號", "--key", "ZZZ"}, 1, "MSG_1_02:無符合資料 !\n"},
        {{"query", folder(), "pla", "--by", "依 出質人帳號", "--key", "0"}, 1, "MSG_2_05:無符合資料 !\n"},
        // The screen's message, then the captions --by takes.
        {{"query", folder(), "psr", "--by", "依 帳號"},
         1,
         "MSG_4_01:查詢條件 不在範圍內 !\nregdisc-cli: --by takes one of: 依 中文戶名, 依 統一編號\n"},
        {{"query", folder() + "/none", "psm"}, 2, folder() + "/none資料夾內需同時存在stk及stkidx次目錄\n"},
        {{"listing", folder() + "/stk", "ptr"}, 2, folder() + "/stk資料夾內需同時存在stk及stkidx次目錄\n"},
    };
    for (const auto &c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_EQ(run.err, c.err);
        EXPECT_TRUE(run.out.isEmpty());
    }
    for (const QStringList &usage :
         {QStringList{"query", folder(), "xyz"},
          QStringList{"query", folder(), "psm", "--key", "1234567890123"},
          QStringList{"query", folder(), "psm", "--next", "x"}, QStringList{"frobnicate"}}) {
        EXPECT_EQ(cli(usage).status, 2) << usage.join(' ').toStdString();
    }
}

TEST_F(Cli, Listing)
{
    const CliRun run = cli({"listing", folder(), "ptr", "--json"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.json()["text"].toString().startsWith("\r\n  證券代號："));
}

TEST(CliDisc, MissingDiscInformation)
{
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "stk");
    std::filesystem::create_directories(dir.path() / "stkidx");
    const QString folder = QString::fromStdString(dir.path().string());
    const CliRun run = cli({"info", folder});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "MSG_0_00 " + folder + "/stkidx/security.txt 開檔錯誤 !\n");
}

// A DetailEntry's pointers have 7 digits in the holder register and 6 elsewhere, the largest
// value marking a chain's end; the sample disc gives pla a tenth of the holder count. A disc
// too large for them is refused before a byte is written.
TEST(CliDisc, SampleLargerThanItsPointersWritesNothing)
{
    const struct {
        QString records;
        QString err;
    } cases[] = {
        {"9999990", "regdisc-cli: 9999990 holder records are too many: the pla data set would hold 999999 "
                    "records, and its 6-digit pointers number at most 999998\n"},
        {"10000000",
         "regdisc-cli: 10000000 holder records are too many: the psm data set would hold 10000000 "
         "records, and its 7-digit pointers number at most 9999998\n"},
        {"9223372036854775807",
         "regdisc-cli: 9223372036854775807 holder records are too many: the psm data set "
         "would hold 9223372036854775807 records, and its 7-digit pointers number at most "
         "9999998\n"},
    };
    for (const auto &c : cases) {
        TempDir dir;
        const std::filesystem::path out = dir.path() / "disc";
        const CliRun run = cli({"sample", QString::fromStdString(out.string()), "--records", c.records});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, c.err);
        EXPECT_FALSE(std::filesystem::exists(out)) << c.records.toStdString();
    }
}
