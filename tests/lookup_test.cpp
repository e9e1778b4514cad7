// The keyed lookup on real discs written by the disc writer: first match, 次筆 order,
// messages, the enabled states it leaves, look-ahead deviations and what it reads.
#include "engine/record_text.h"
#include "platform/collation.h"
#include "test_support.h"
#include "writer/sample_disc.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace regdisc;
using namespace regdisc::test;

namespace {

const char *kId = "依 統一編號";
const char *kAccount = "依 帳號";
const char *kName = "依 中文戶名";

// A small holder register: record i (1-based) is the i-th entry below.
std::vector<Text> holders()
{
    const DataSetSpec &psm = psmDataSet();
    const std::vector<std::map<std::string, std::string>> rows = {
        {{"account", "11110000001"}, {"name", "王大明"}, {"id", "A123456789"}, {"shares", "0000000123456"}},
        {{"account", "11110000002"}, {"name", "王小明"}, {"id", "A223456789"}},
        {{"account", "11110000003"}, {"name", "陳美玲"}, {"id", "B123456789"}},
        {{"account", "11110000004"}, {"name", "ＡＢＣ公司"}, {"id", "12345678"}},
        {{"account", "11110000005"}, {"name", "ａｂｃ科技"}, {"id", "A123456780"}},
        {{"account", "22220000001"}, {"name", "王大明"}, {"id", "C100000001"}, {"birthDate", "10100101"}},
        {{"account", "22220000002"}, {"name", "林志豪"}, {"id", "F100000002"}},
    };
    std::vector<Text> records;
    for (const auto &row : rows)
        records.push_back(makeRecord(psm, row));
    return records;
}

class HolderRegister : public testing::Test {
protected:
    void SetUp() override { writeTestDisc(dir.path(), {{&psmDataSet(), holders()}}); }
    TempDir dir;
};

struct FirstMatch {
    const char *caption;
    const char *input;
    std::vector<std::int64_t> shown;  // records shown by 查詢 and each 次筆
    const char *inputAfter;  // tx_i_01 after the query
};

}  // namespace

TEST_F(HolderRegister, FindsAndStepsInKeyOrder)
{
    const FirstMatch cases[] = {
        {kId, "a123456789", {1}, "A123456789"},  // upper-cased and written back
        {kId, "A1234", {5, 1}, "A1234"},  // A123456780 before A123456789
        {kId, "", {4, 5, 1, 2, 3, 6, 7}, ""},  // the whole chain in key order
        {kAccount, "1111", {1, 2, 3, 4, 5}, "1111"},
        {kAccount, "22220000002", {7}, "22220000002"},
        {kName, "王", {1, 6, 2}, "王"},  // 王大明 twice, then 王小明 (Big5 order)
        {kName, "王大明", {1, 6}, "王大明"},
        {kName, "ａｂｃ", {4, 5}, "ａｂｃ"},  // letter case ignored: ＡＢＣ公司 and ａｂｃ科技
    };
    for (const FirstMatch &c : cases) {
        OpenScreen open(dir.path(), psmDataSet());
        ASSERT_TRUE(open.screen);
        EXPECT_EQ(open.queryAll(c.caption, c.input), c.shown) << c.caption << " " << c.input;
        EXPECT_EQ(u8(open.screen->inputText()), c.inputAfter);
        EXPECT_TRUE(open.messages.shown.empty());
        EXPECT_FALSE(open.screen->nextEnabled());  // after the last match
    }
}

TEST_F(HolderRegister, MessagesOfAFailedQuery)
{
    const std::tuple<const char *, const char *, const char *> cases[] = {
        {kId, "A123456789 ", "MSG_1_04:無符合資料 !"},  // a trailing blank counts
        {kId, "A99", "MSG_1_04:無符合資料 !"},
        {kId, "Z", "MSG_1_02:無符合資料 !"},  // greater than every key
        {kAccount, "9", "MSG_1_02:無符合資料 !"},
        {kAccount, "1111000000X", "MSG_1_05:無符合資料 !"},
        {kName, "王大明王大明王", "MSG_1_06:無符合資料 !"},  // longer than the 6-character key
        {kName, "龜", "MSG_1_03:無符合資料 !"},
        {"依 統一編號 ", "A", "MSG_1_01:查詢條件 不在範圍內 !"},  // not one of the captions
    };
    for (const auto &[caption, input, message] : cases) {
        OpenScreen open(dir.path(), psmDataSet());
        EXPECT_NE(open.query(caption, input), LookupOutcome::Shown);
        EXPECT_EQ(open.messages.texts(), std::vector<std::string>{message}) << caption << " " << input;
    }
}

TEST_F(HolderRegister, AFailedQueryKeepsTheScreen)
{
    OpenScreen open(dir.path(), psmDataSet());
    ASSERT_EQ(open.query(kName, "王"), LookupOutcome::Shown);
    ASSERT_TRUE(open.screen->nextEnabled());
    const Text shown = open.screen->box("tx_o_02");
    // Combo and top-scan messages leave 次筆 as it was.
    open.screen->typeCombo(u"依 不存在");
    open.screen->query();
    EXPECT_TRUE(open.screen->nextEnabled());
    open.screen->typeCombo(t(kId));
    open.screen->typeInput(u"Z");
    open.screen->query();
    EXPECT_TRUE(open.screen->nextEnabled());
    // A prefix message disables it; the record and the history stay.
    open.screen->typeInput(u"A99");
    open.screen->query();
    EXPECT_FALSE(open.screen->nextEnabled());
    EXPECT_EQ(open.screen->box("tx_o_02"), shown);
    EXPECT_EQ(u8(open.screen->box("tx_o_pnt")), "0001 0001 0001 ");
    EXPECT_EQ(open.messages.texts(),
              (std::vector<std::string>{"MSG_1_01:查詢條件 不在範圍內 !", "MSG_1_02:無符合資料 !",
                                        "MSG_1_04:無符合資料 !"}));
}

TEST_F(HolderRegister, NextMatchPutsTheRunningQueryBack)
{
    OpenScreen open(dir.path(), psmDataSet());
    ASSERT_EQ(open.query(kId, "a1234"), LookupOutcome::Shown);
    EXPECT_EQ(open.screen->recordShown(), 5);
    // Typing into the input and the combo text without clicking them keeps 次筆.
    open.screen->typeInput(u"zzz");
    open.screen->typeCombo(t(kAccount));
    ASSERT_TRUE(open.screen->nextEnabled());
    open.screen->next();
    EXPECT_EQ(open.screen->recordShown(), 1);
    EXPECT_EQ(u8(open.screen->inputText()), "A1234");
    EXPECT_EQ(u8(open.screen->comboText()), kId);
    // A click in the combo or the input disables 次筆.
    OpenScreen other(dir.path(), psmDataSet());
    other.query(kId, "A1234");
    other.screen->clickInput();
    EXPECT_FALSE(other.screen->nextEnabled());
    other.query(kId, "A1234");
    other.screen->chooseComboItem(t(kName));
    EXPECT_FALSE(other.screen->nextEnabled());
    EXPECT_EQ(other.screen->recordShown(), 5);  // the record on display stays
}

TEST_F(HolderRegister, EnablingTableAndHistory)
{
    OpenScreen open(dir.path(), psmDataSet());
    QueryScreenModel &s = *open.screen;
    const auto states = [&] {
        return std::tuple(s.nextEnabled(), s.previousEnabled(), s.followingEnabled(), u8(s.box("tx_o_pnt")));
    };
    EXPECT_EQ(states(), std::tuple(false, false, false, std::string()));  // load
    open.query(kName, "王");
    EXPECT_EQ(states(), std::tuple(true, false, false, std::string("0001 0001 0001 ")));
    s.next();
    EXPECT_EQ(states(), std::tuple(true, true, false, std::string("0001 0002 0002 ")));
    s.previousScreen();
    EXPECT_EQ(states(), std::tuple(true, false, true, std::string("0001 0001 0002 ")));
    EXPECT_EQ(s.recordShown(), 1);
    s.nextScreen();
    EXPECT_EQ(states(), std::tuple(true, true, false, std::string("0001 0002 0002 ")));
    s.previousScreen();
    // 次筆 goes on from the look-ahead wherever the history stands, after the newest.
    s.next();
    EXPECT_EQ(s.recordShown(), 2);
    EXPECT_EQ(states(), std::tuple(false, true, false, std::string("0001 0003 0003 ")));
    // Steps while disabled do nothing.
    s.nextScreen();
    s.next();
    EXPECT_EQ(s.recordShown(), 2);
}

TEST_F(HolderRegister, ShowsEveryBoxByItsRule)
{
    OpenScreen open(dir.path(), psmDataSet());
    open.query(kId, "C100000001");
    const QueryScreenModel &s = *open.screen;
    EXPECT_EQ(u8(s.box("tx_o_01")), "22220000001");
    EXPECT_EQ(u8(s.box("tx_o_02")), "王大明　　　　　　　　　　　　　　　　");  // 19 characters, blanks kept
    EXPECT_EQ(u8(s.box("tx_o_08")), "民前010/01/01");
    EXPECT_EQ(u8(s.box("tx_o_06")), "0");
    EXPECT_EQ(u8(s.box("tx_o_10")), "");
    EXPECT_EQ(u8(s.box("tx_o_11")), "        測試公司");
    EXPECT_EQ(u8(s.box("tx_o_23")), "113/12/06");
    EXPECT_EQ(u8(s.box("tx_o_25")), "113/12/09");
    open.query(kId, "A123456789");
    EXPECT_EQ(u8(s.box("tx_o_06")), "123,456");
    EXPECT_EQ(u8(s.box("tx_o_08")), "");  // a blank birth date: the box is emptied again
}

TEST(DecimalFlag, QuantitiesFollowTheDiscInformationAtDisplayTime)
{
    TempDir dir;
    writeTestDisc(dir.path(), {{&psmDataSet(), holders()}}, testDiscInfo("N"));
    OpenScreen open(dir.path(), psmDataSet());
    // The disc information changes after the screen was opened and is read again when the
    // clerk leaves the folder box.
    writeDiscInfo(dir.path(), testDiscInfo("Y"));
    open.menu.folderFocusOut();
    open.query(kId, "A123456789");
    EXPECT_EQ(u8(open.screen->box("tx_o_06")), "1,234.56");
    open.query(kAccount, "22220000001");
    // A lower-case y is no "Y": 前一畫面 shows the first record again without decimals.
    writeDiscInfo(dir.path(), testDiscInfo("y"));
    open.menu.folderFocusOut();
    open.screen->previousScreen();
    EXPECT_EQ(open.screen->recordShown(), 1);
    EXPECT_EQ(u8(open.screen->box("tx_o_06")), "123,456");
}

// A query reads two TopIndexFile records, the chain section, one DataFile record and one
// look-ahead entry, and nothing else.
TEST(Reads, OnlyWhatTheIndexDesignates)
{
    TempDir dir;
    std::vector<Text> records;
    for (int i = 0; i < 400; ++i)
        records.push_back(makeRecord(psmDataSet(), {{"account", std::to_string(10000000000LL + i)},
                                                    {"id", "A" + std::to_string(100000000 + i)},
                                                    {"name", "王"}}));
    writeTestDisc(dir.path(), {{&psmDataSet(), records, {.sectionSize = 8, .blockSize = 10}}});
    OpenScreen open(dir.path(), psmDataSet());
    ASSERT_EQ(open.query(kId, "A100000205"), LookupOutcome::Shown);
    EXPECT_EQ(open.screen->recordShown(), 206);
    const auto &psm = psmDataSet();
    EXPECT_EQ(open.menu.slot(psm.top.slot).readCount(), 2);
    EXPECT_LE(open.menu.slot(psm.detail.slot).readCount(), 8 + 1);  // one section and the look-ahead
    EXPECT_GE(open.menu.slot(psm.detail.slot).readCount(), 2);
    EXPECT_EQ(open.menu.slot(psm.data.slot).readCount(), 1);
    // 次筆 reads one DataFile record and one look-ahead entry.
    open.screen->typeInput(u"");
    open.query(kAccount, "1000000003");
    const auto detailBefore = open.menu.slot(psm.detail.slot).readCount();
    const auto dataBefore = open.menu.slot(psm.data.slot).readCount();
    open.screen->next();
    EXPECT_EQ(open.menu.slot(psm.detail.slot).readCount() - detailBefore, 1);
    EXPECT_EQ(open.menu.slot(psm.data.slot).readCount() - dataBefore, 1);
}

// Index shapes: full top records, full blocks and one-entry sections.
TEST(IndexShapes, FullTopRecordAndOneEntrySections)
{
    TempDir dir;
    std::vector<Text> records;
    for (int i = 0; i < 100; ++i)
        records.push_back(makeRecord(pidDataSet(), {{"account", std::to_string(20000000000LL + i * 7)},
                                                    {"id", "B" + std::to_string(200000000 + i * 3)}}));
    // 100 blocks of one entry, each naming a section of one DetailEntry: the top record is full.
    writeTestDisc(dir.path(), {{&pidDataSet(), records, {.sectionSize = 1, .blockSize = 1}}});
    OpenScreen open(dir.path(), pidDataSet());
    for (int i : {0, 1, 50, 98, 99}) {
        open.screen->chooseComboItem(t(kId));
        open.screen->typeInput(t("B" + std::to_string(200000000 + i * 3)));
        ASSERT_EQ(open.screen->query(), LookupOutcome::Shown) << i;
        EXPECT_EQ(open.screen->recordShown(), i + 1);
    }
    // An input greater than all 100 keys of the full top record: no block to read.
    EXPECT_EQ(open.query(kId, "C"), LookupOutcome::TopScanMessage);
    ASSERT_FALSE(open.messages.shown.empty());
    EXPECT_EQ(open.messages.texts().back(), "MSG_7_02:無符合資料 !");
    // Between two keys: the walk reaches a greater key that does not begin with the input.
    EXPECT_EQ(open.query(kId, "B200000001"), LookupOutcome::PrefixMessage);
    EXPECT_EQ(open.queryAll(kAccount, "2").size(), 100u);
}

TEST(IndexShapes, TheWriterRefusesMoreThanTheIndexHolds)
{
    TempDir dir;
    std::vector<Text> records(11, makeRecord(rsaDataSet(), {}));
    EXPECT_THROW(writeDataSet(dir.path(), u"T01", rsaDataSet(), records,
                              {.sectionSize = 1, .blockSize = 1, .topEntries = 10}),
                 DiscWriteError);
}

// Name KeyKinds whose look-ahead compares exactly, and pel's binary English names.
TEST(LookAhead, DeviationsPerDataSet)
{
    TempDir dir;
    const auto pid = [](const char *name, const char *id) {
        return makeRecord(pidDataSet(), {{"name", name}, {"id", id}});
    };
    const auto pla = [](const char *pledgor, const char *pledgee) {
        return makeRecord(plaDataSet(), {{"pledgor.name", pledgor}, {"pledgee.name", pledgee}});
    };
    const auto pel = [](const char *name) { return makeRecord(pelDataSet(), {{"englishName", name}}); };
    writeTestDisc(dir.path(),
                  {{&pidDataSet(), {pid("ＡＢ甲", "A1"), pid("ａｂ乙", "A2"), pid("ＡＢ丙", "A3")}},
                   {&plaDataSet(), {pla("ＡＢ甲", "ＡＢ甲"), pla("ａｂ乙", "ａｂ乙")}},
                   {&pelDataSet(), {pel("CHEN TA-MING"), pel("Chen Mei"), pel("CHEN WEI")}}});
    {
        // pid: 查詢 ignores letter case, the look-ahead does not. The name chain runs
        // ａｂ乙, ＡＢ丙, ＡＢ甲 (letter case aside, by the third character).
        OpenScreen open(dir.path(), pidDataSet());
        EXPECT_EQ(open.queryAll(kName, "ａｂ"), (std::vector<std::int64_t>{2}));
        EXPECT_EQ(open.queryAll(kName, "ＡＢ"), (std::vector<std::int64_t>{2, 3, 1}));
    }
    {
        OpenScreen open(dir.path(), plaDataSet());
        // The pledgor-name look-ahead compares exactly, the pledgee-name one ignores case.
        EXPECT_EQ(open.queryAll("依 出質人戶名", "ａｂ"), (std::vector<std::int64_t>{2}));
        EXPECT_EQ(open.queryAll("依 質權人戶名", "ａｂ"), (std::vector<std::int64_t>{2, 1}));
    }
    {
        OpenScreen open(dir.path(), pelDataSet());
        EXPECT_EQ(open.queryAll("依 英文戶名", "CHEN"), (std::vector<std::int64_t>{1, 3}));
        EXPECT_EQ(open.query("依 英文戶名", "chen"), LookupOutcome::TopScanMessage);
        ASSERT_FALSE(open.messages.shown.empty());
        EXPECT_EQ(open.messages.texts().back(), "MSG_3_03:無符合資料 !");
    }
}
