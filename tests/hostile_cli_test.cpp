// regdisc-cli on hostile discs: record text that would drive a terminal, a looping chain
// under --all, a disc information file that points outside the folder, a listing past its
// bound.
#include "cli_run.h"
#include "platform/codepage.h"
#include "test_support.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace regdisc;
using namespace regdisc::test;

namespace {

QString qpath(const std::filesystem::path &p)
{
    return QString::fromStdString(p.string());
}

// No byte that a terminal would act on: C0 other than the line feed, DEL, and C1 (in UTF-8
// C2 80 to C2 9F).
bool terminalSafe(const QByteArray &out)
{
    for (qsizetype i = 0; i < out.size(); ++i) {
        const auto b = static_cast<unsigned char>(out[i]);
        if ((b < 0x20 && b != '\n') || b == 0x7F)
            return false;
        if (b == 0xC2 && i + 1 < out.size() && static_cast<unsigned char>(out[i + 1]) >= 0x80 &&
            static_cast<unsigned char>(out[i + 1]) <= 0x9F)
            return false;
    }
    return true;
}

void replaceInFile(const std::filesystem::path &path, const std::string &from, const std::string &to)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    const auto at = all.str().find(from);
    ASSERT_NE(at, std::string::npos);
    patchFile(path, at, to);
}

}  // namespace

// A telephone field holding "ESC ] 0 ; … BEL ESC [ 2 J" (set the terminal's title, clear it)
// and a C1 character; a security name and a listing line with ESC.
TEST(HostileCli, ControlCharactersAreShownEscaped)
{
    TempDir dir;
    const DataSetSpec &psm = psmDataSet();
    DiscInfo info = testDiscInfo();
    info.securityName = u"測試\x1b[2J公司";
    writeTestDisc(
        dir.path(),
        {{&psm,
          {makeRecord(psm,
                      {{"account", "11110000001"}, {"id", "A123456789"}, {"telephone", "XXXXXXXXXXXXXXX"}}),
           makeRecord(psm, {{"account", "11110000002"}, {"id", "B123456789"}, {"shares", "1000"}})}}},
        info);
    // The disc writer keeps control characters out of what it writes: the bytes go in after.
    // 0x80 decodes to U+0080.
    replaceInFile(dataSetFile(dir.path(), psm, "data"), "XXXXXXXXXXXXXXX", "\x1b]0;pwned\x07\x1b[2J\x80");
    replaceInFile(dataSetFile(dir.path(), psm, "data"), "A123456789", "A1\x1b[2J6789");
    replaceInFile(dataSetFile(dir.path(), psm, "data"), "B123456789", "B1\x1b[2J6789");
    writeListing(dir.path(), u"T01", "ptr", {u"line\x1b[31m red", u"\\ kept"});
    const QString folder = qpath(dir.path());

    const CliRun text = cli({"query", folder, "psm", "--by", "依 統一編號"});
    ASSERT_EQ(text.status, 0) << text.err.toStdString();
    EXPECT_TRUE(terminalSafe(text.bytes));
    EXPECT_TRUE(text.bytes.contains(R"(\x1B]0;pwned\x07\x1B[2J\x80)")) << text.bytes.toStdString();
    // The security code line shows the security name the same way.
    EXPECT_TRUE(text.bytes.contains(R"(測試\x1B[2J公司)")) << text.bytes.toStdString();

    // JSON keeps the exact text; its own escaping makes it safe.
    const CliRun json = cli({"query", folder, "psm", "--by", "依 統一編號", "--json"});
    ASSERT_EQ(json.status, 0);
    EXPECT_TRUE(terminalSafe(json.bytes));
    const QJsonObject boxes = json.json()["boxes"].toObject();
    EXPECT_TRUE(boxes["tx_o_14"].toString().startsWith(QString::fromUtf16(u"\x1b]0;pwned\x07\x1b[2J\x80")));

    const CliRun infoText = cli({"info", folder});
    EXPECT_EQ(infoText.status, 0);
    EXPECT_TRUE(terminalSafe(infoText.bytes));
    EXPECT_TRUE(infoText.bytes.contains(R"(securityName: 測試\x1B[2J公司)")) << infoText.bytes.toStdString();

    // The whole-disc commands' text: a holder's ID, the statistics' heading (security name)
    // and their principal holders.
    const CliRun holder = cli({"holder", folder, "--account", "11110000001"});
    EXPECT_EQ(holder.status, 0) << holder.err.toStdString();
    EXPECT_TRUE(terminalSafe(holder.bytes));
    EXPECT_TRUE(holder.bytes.contains(R"(統一編號 A1\x1B[2J6789)")) << holder.bytes.toStdString();
    const CliRun stats = cli({"stats", folder, "--show-id"});
    EXPECT_EQ(stats.status, 0) << stats.err.toStdString();
    EXPECT_TRUE(terminalSafe(stats.bytes));
    EXPECT_TRUE(stats.bytes.contains(R"(測試\x1B[2J公司)")) << stats.bytes.toStdString();
    EXPECT_TRUE(stats.bytes.contains(R"(B1\x1B[2J6789)")) << stats.bytes.toStdString();

    // A backslash is doubled, so that no text passes for an escape.
    const CliRun listing = cli({"listing", folder, "ptr"});
    EXPECT_EQ(listing.status, 0);
    EXPECT_TRUE(terminalSafe(listing.bytes));
    EXPECT_EQ(listing.bytes, QByteArray("\n  line\\x1B[31m red\n  \\\\ kept\n"));
}

// A long-names disc whose DetailIndexFile was extended to 294,343 entries and one of whose
// entries names itself: --all ends after the record, not after 294,342 copies of it.
TEST(HostileCli, AllOnALoopingChainEndsPromptly)
{
    TempDir dir;
    const DataSetSpec &pel = pelDataSet();
    std::vector<Text> records;
    for (const char *id : {"A100000001", "A100000002", "A100000003"})
        records.push_back(makeRecord(pel, {{"account", "11110000001"}, {"id", id}, {"englishName", "LOOP"}}));
    writeTestDisc(dir.path(), {{&pel, records}});
    const auto idxd = dataSetFile(dir.path(), pel, "idxd");
    constexpr int kEntry = 57, kNextId = 39;  // all single-byte; the ID next-pointer at character 40
    patchFile(idxd, 2 * kEntry + kNextId, "000003");
    std::filesystem::resize_file(idxd, 294'343ull * kEntry);

    const CliRun run =
        cli({"query", qpath(dir.path()), "pel", "--by", "依 統一編號", "--key", "A", "--all", "--json"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "MSG_3_99:資料燒錄錯誤 !\n");
    EXPECT_LE(run.bytes.split('\n').size(), 5);  // records 1 and 2, perhaps 3 once, and the last line end
}

// security.txt naming a file outside the folder by "../" and a NUL: nothing is opened, the
// disc information fails.
TEST(HostileCli, BaseNameCannotLeaveTheFolder)
{
    TempDir dir;
    writeTestDisc(dir.path(), {});
    writeFileBytes(dir.path() / "outside.ptr", "OUTSIDE\r\n");
    const QString folder = qpath(dir.path());
    for (const std::string &name : {std::string("../outside.ptr\0", 15), std::string("../outside"),
                                    std::string("../../../../etc/hostname\0", 25)}) {
        writeFileBytes(dir.path() / "stkidx" / "security.txt",
                       name + "\r\nX\r\n113/12/06\r\nN\r\n113/12/09\r\n");
        const CliRun run = cli({"listing", folder, "ptr"});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "MSG_0_00 " + folder + "/stkidx/security.txt 開檔錯誤 !\n");
        EXPECT_TRUE(run.bytes.isEmpty()) << run.bytes.toStdString();
    }
}

TEST(HostileCli, ListingPastItsBound)
{
    TempDir dir;
    writeTestDisc(dir.path(), {});
    writeListing(dir.path(), u"T01", "lnx", {u"A"});
    std::filesystem::resize_file(dir.path() / "stk" / "T01.lnx", (64u << 20) + 1);
    const QString folder = qpath(dir.path());
    const CliRun run = cli({"listing", folder, "lnx"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "MSG_0_27 " + folder + "/stk/T01.lnx 檔案過大，無法完整顯示 !\n");
    EXPECT_TRUE(run.bytes.isEmpty());
}
