// Every output box of every query screen, for a record built by hand byte by byte from the
// disc's position tables (tests/hand_built_disc.cpp): the literal text each box must show,
// and the disc information taken at the moment a record is displayed.
#include "hand_built_disc_suite.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace regdisc;
using namespace regdisc::test;

namespace {

using Boxes = std::map<std::string, std::string>;

std::string pelName()
{
    std::string name = "CHEN TA-MING INTERNATIONAL HOLDINGS CO., LTD.";
    name.resize(300, ' ');  // the box keeps the field's trailing blanks
    return name;
}

// What the screen shows after 查詢 with an empty input on its initial caption: the sample
// record (record 2), the disc's two dates, the counters. decimalFlag "N", securityName 測試公司.
struct ShownRecord {
    const char *ext;
    Boxes boxes;
};

const std::vector<ShownRecord> &shownRecords()
{
    static const std::vector<ShownRecord> records = {
        {"psm",
         {
             {"tx_o_01", "12345678901"},
             {"tx_o_02", "王大明一二三四五六七八九十甲乙丙丁戊己"},
             {"tx_o_03", "B123456789"},
             {"tx_o_04", "臺北市中正區重慶南路一段一二二號戶籍地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申"},
             {"tx_o_05", "高雄市苓雅區四維三路二號通訊地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥天"},
             {"tx_o_06", "1,234,567"},
             {"tx_o_07", "9,876,543"},
             {"tx_o_08", "民前045/03/12"},
             {"tx_o_09", "李法定代理人甲乙丙"},
             {"tx_o_10", "2001/02/03"},
             {"tx_o_11", "2330AB  測試公司"},
             {"tx_o_12", "3"},
             {"tx_o_13", "2023/04/05"},
             {"tx_o_14", "(02)2345-6789EXT1234"},
             {"tx_o_15", "*"},
             {"tx_o_16", "2"},
             {"tx_o_17", "1"},
             {"tx_o_18", "220"},
             {"tx_o_19", "50123456789012345"},
             {"tx_o_20", "FI12345678"},
             {"tx_o_21", "4"},
             {"tx_o_22", "X"},
             {"tx_o_23", "113/12/06"},
             {"tx_o_24", "SUB001"},
             {"tx_o_25", "113/12/09"},
             {"tx_o_26", "TW"},
             {"tx_o_27", "C"},
             {"tx_o_28", "D"},
             {"tx_o_pnt", "0001 0001 0001 "},
         }},
        {"pla",
         {
             {"tx_o_01", "2330AB  測試公司"},
             {"tx_o_02", "10000000001"},
             {"tx_o_03", "出質人王一二三四五六七八九十甲乙丙丁戊"},
             {"tx_o_04", "F123456789"},
             {"tx_o_05", "出質人通訊地址臺北市信義區松仁路一號甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌"},
             {"tx_o_06", "20000000002"},
             {"tx_o_07", "質權人銀行一二三四五六七八九十甲乙丙丁"},
             {"tx_o_08", "G234567890"},
             {"tx_o_09", "質權人通訊地址臺北市中山區南京東路二號甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉"},
             {"tx_o_10", "1,234,567"},
             {"tx_o_11", "2"},
             {"tx_o_12", "113/12/06"},
             {"tx_o_14", "00000012345"},
             {"tx_o_15", "&"},
             {"tx_o_16", "1"},
             {"tx_o_17", "30000000004"},
             {"tx_o_18", "3"},
             {"tx_o_25", "113/12/09"},
             {"tx_o_pnt", "0001 0001 0001 "},
         }},
        {"psl",
         {
             {"tx_o_01", "12345678901"},
             {"tx_o_02", "K123456789"},
             {"tx_o_03_1",
              "長戶名第一段甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥一二三四五六七八九十天地"},
             {"tx_o_03_2", "長戶名第二段甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥一二三四五六七八九十天"},
             {"tx_o_04", "2330AB  測試公司"},
             {"tx_o_05", "113/12/06"},
             {"tx_o_25", "113/12/09"},
             {"tx_o_pnt", "0001 0001 0001 "},
         }},
        {"psr",
         {
             {"tx_o_01", "2330AB  測試公司"},
             {"tx_o_02", "M123456789"},
             {"tx_o_02_1", "Y"},
             {"tx_o_03", "1,234,567"},
             {"tx_o_04", "765,432"},
             {"tx_o_05", "無實體王一二三四五六七八九十甲乙丙丁戊"},
             {"tx_o_06", "113/12/06"},
             {"tx_o_07", "99"},
             {"tx_o_08", "C"},
             {"tx_o_09", "PLEDGEE001"},
             {"tx_o_10", "REMARK-0123456789ABC"},
             {"tx_o_11", "E"},
             {"tx_o_25", "113/12/09"},
             {"tx_o_pnt", "0001 0001 0001 "},
         }},
        {"pid",
         {
             {"tx_o_01", "12345678901"},
             {"tx_o_02", "王大明一二三四五六七八九十甲乙丙丁戊己"},
             {"tx_o_03", "B123456789"},
             {"tx_o_04", "臺北市中正區重慶南路一段一二二號戶籍地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申"},
             {"tx_o_05", "高雄市苓雅區四維三路二號通訊地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥天"},
             {"tx_o_06", "1,234,567"},
             {"tx_o_07", "9,876,543"},
             {"tx_o_08", "民前045/03/12"},
             {"tx_o_09", "李法定代理人甲乙丙"},
             {"tx_o_10", "2001/02/03"},
             {"tx_o_11", "2330AB  測試公司"},
             {"tx_o_12", "3"},
             {"tx_o_13", "2023/04/05"},
             {"tx_o_14", "(02)2345-6789EXT1234"},
             {"tx_o_15", "*"},
             {"tx_o_16", "2"},
             {"tx_o_17", "1"},
             {"tx_o_18", "220"},
             {"tx_o_19", "50123456789012345"},
             {"tx_o_20", "FI12345678"},
             {"tx_o_21", "4"},
             {"tx_o_22", "X"},
             {"tx_o_23", "113/12/06"},
             {"tx_o_25", "113/12/09"},
             {"tx_o_pnt", "0001 0001 0001 "},
         }},
        {"pco",
         {
             {"tx_o_01", "12345678901"},
             {"tx_o_02", "陳美玲一二三四五六七八九十甲乙丙丁戊己"},
             {"tx_o_03", "C234567890"},
             {"tx_o_04", "臺中市西屯區臺灣大道三段九九號戶籍地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉"},
             {"tx_o_05", "臺南市東區大學路一號通訊地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥天地玄"},
             {"tx_o_06", "1,234,567"},
             {"tx_o_07", "100"},
             {"tx_o_08", "民前045/03/12"},
             {"tx_o_09", "陳法定代理人丁戊己"},
             {"tx_o_10", "1999/12/31"},
             {"tx_o_11", "2330AB  測試公司"},
             {"tx_o_12", "0"},
             {"tx_o_13", "2024/02/29"},
             {"tx_o_14", "0912-345-678 EXT9876"},
             {"tx_o_15", "*"},
             {"tx_o_16", "03"},
             {"tx_o_18", "802"},
             {"tx_o_19", "60123456789012345"},
             {"tx_o_23", "113/12/06"},
             {"tx_o_25", "113/12/09"},
             {"tx_o_pnt", "0001 0001 0001 "},
         }},
        {"pru",
         {
             {"tx_o_01", "12345678901"},
             {"tx_o_02", "王大明一二三四五六七八九十甲乙丙丁戊己"},
             {"tx_o_03", "B123456789"},
             {"tx_o_04", "臺北市中正區重慶南路一段一二二號戶籍地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申"},
             {"tx_o_05", "高雄市苓雅區四維三路二號通訊地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥天"},
             {"tx_o_06", "1,234,567"},
             {"tx_o_07", "9,876,543"},
             {"tx_o_08", "民前045/03/12"},
             {"tx_o_09", "李法定代理人甲乙丙"},
             {"tx_o_10", "2001/02/03"},
             {"tx_o_11", "2330AB  測試公司"},
             {"tx_o_12", "3"},
             {"tx_o_13", "2023/04/05"},
             {"tx_o_14", "(02)2345-6789EXT1234"},
             {"tx_o_15", "*"},
             {"tx_o_16", "2"},
             {"tx_o_17", "1"},
             {"tx_o_18", "220"},
             {"tx_o_19", "50123456789012345"},
             {"tx_o_20", "FI12345678"},
             {"tx_o_21", "4"},
             {"tx_o_22", "X"},
             {"tx_o_23", "113/12/06"},
             {"tx_o_24", "SUB001"},
             {"tx_o_25", "113/12/09"},
             {"tx_o_26", "TW"},
             {"tx_o_pnt", "0001 0001 0001 "},
         }},
        {"tru",
         {
             {"tx_o_01", "12345678901"},
             {"tx_o_02", "王大明一二三四五六七八九十甲乙丙丁戊己"},
             {"tx_o_03", "B123456789"},
             {"tx_o_04", "臺北市中正區重慶南路一段一二二號戶籍地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申"},
             {"tx_o_05", "高雄市苓雅區四維三路二號通訊地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥天"},
             {"tx_o_06", "1,234,567"},
             {"tx_o_07", "9,876,543"},
             {"tx_o_08", "民前045/03/12"},
             {"tx_o_09", "李法定代理人甲乙丙"},
             {"tx_o_10", "2001/02/03"},
             {"tx_o_11", "2330AB  測試公司"},
             {"tx_o_12", "3"},
             {"tx_o_13", "2023/04/05"},
             {"tx_o_14", "(02)2345-6789EXT1234"},
             {"tx_o_15", "*"},
             {"tx_o_16", "2"},
             {"tx_o_17", "1"},
             {"tx_o_18", "220"},
             {"tx_o_19", "50123456789012345"},
             {"tx_o_20", "FI12345678"},
             {"tx_o_21", "4"},
             {"tx_o_22", "X"},
             {"tx_o_23", "113/12/06"},
             {"tx_o_24", "SUB001"},
             {"tx_o_25", "113/12/09"},
             {"tx_o_26", "TW"},
             {"tx_o_pnt", "0001 0001 0001 "},
         }},
        {"lmk",
         {
             {"tx_o_01", "12345678901"},
             {"tx_o_02", "林志豪一二三四五六七八九十甲乙丙丁戊己"},
             {"tx_o_03", "D345678901"},
             {"tx_o_04", "新竹市東區光復路二段一零一號戶籍地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌"},
             {"tx_o_05", "嘉義市西區中山路三號通訊地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥天地玄"},
             {"tx_o_06", "123,456"},
             {"tx_o_08", "065/03/15"},
             {"tx_o_09", "林法定代理人庚辛壬"},
             {"tx_o_10", "2000/01/01"},
             {"tx_o_11", "2330AB  測試公司"},
             {"tx_o_13", "2010/10/10"},
             {"tx_o_14", "(07)1234-5678EXT9012"},
             {"tx_o_18", "300"},
             {"tx_o_19", "70123456789012345"},
             {"tx_o_23", "113/12/06"},
             {"tx_o_25", "113/12/09"},
             {"tx_o_pnt", "0001 0001 0001 "},
         }},
        {"rae",
         {
             {"tx_o_01", "12345678901"},
             {"tx_o_02", "罕用字王一二三四五六七八九十甲乙丙丁戊"},
             {"tx_o_03", "E456789012"},
             {"tx_o_04", "宜蘭縣宜蘭市中山路一段一號戶籍地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥"},
             {"tx_o_05", "花蓮縣花蓮市中正路二號通訊地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥天地"},
             {"tx_o_09", "罕法定代理人癸子丑"},
             {"tx_o_11", "2330AB  測試公司"},
             {"tx_o_23", "113/12/06"},
             {"tx_o_25", "113/12/09"},
             {"tx_o_pnt", "0001 0001 0001 "},
         }},
        {"pel",
         {
             {"tx_o_01", "12345678901"},
             {"tx_o_02", "L123456789"},
             {"tx_o_03", pelName()},
             {"tx_o_04", "2330AB  測試公司"},
             {"tx_o_05", "113/12/06"},
             {"tx_o_25", "113/12/09"},
             {"tx_o_pnt", "0001 0001 0001 "},
         }},
        {"drf",
         {
             {"tx_o_01", "2330AB  測試公司"},
             {"tx_o_02", "10000000001"},
             {"tx_o_03", "提存人張三一二三四五六七八九十甲乙丙丁"},
             {"tx_o_04", "H123456789"},
             {"tx_o_05", "提存人通訊地址桃園市桃園區中正路三號甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌"},
             {"tx_o_06", "20000000002"},
             {"tx_o_07", "臺灣臺北地方法院一二三四五六七八九十甲"},
             {"tx_o_08", "WU12345678"},
             {"tx_o_09", "法院通訊地址臺北市中正區博愛路一三一號甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉"},
             {"tx_o_10", "654,321"},
             {"tx_o_12", "113/12/06"},
             {"tx_o_14", "DC00000001"},
             {"tx_o_15", "5"},
             {"tx_o_16", "代庫銀行臺灣銀行一二三四五六七八九十甲"},
             {"tx_o_17", "BANK000001"},
             {"tx_o_18", "CM1234567890123456789"},
             {"tx_o_25", "113/12/09"},
             {"tx_o_pnt", "0001 0001 0001 "},
         }},
        {"cpm",
         {
             {"tx_o_01", "2330AB  測試公司"},
             {"tx_o_02", "30000000003"},
             {"tx_o_03", "法院拍賣專戶一二三四五六七八九十甲乙丙"},
             {"tx_o_04", "AG12345678"},
             {"tx_o_05", "所有人戶籍地址臺中市北區三民路三段一號甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉"},
             {"tx_o_06", "40000000004"},
             {"tx_o_07", "所有人趙四一二三四五六七八九十甲乙丙丁"},
             {"tx_o_08", "J123456789"},
             {"tx_o_09", "所有人通訊地址臺中市南區復興路二段二號甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉"},
             {"tx_o_10", "2,500"},
             {"tx_o_11", "00451231"},
             {"tx_o_12", "113/12/06"},
             {"tx_o_13", "(04)2222-3333EXT4444"},
             {"tx_o_14", "SZ00000000013"},
             {"tx_o_15", "B"},
             {"tx_o_16", "一一三年度司執字第一二三四五號執行函文甲乙丙丁戊己庚辛壬癸"},
             {"tx_o_17", "NO00000000017"},
             {"tx_o_18", "2"},
             {"tx_o_25", "113/12/09"},
             {"tx_o_pnt", "0001 0001 0001 "},
         }},
        {"rsa",
         {
             {"tx_o_01", "12345678901"},
             {"tx_o_02", "N123456789"},
             {"tx_o_03", "員工甲一二三四五六七八九十甲乙丙丁戊己"},
             {"tx_o_04", "2330AB  測試公司"},
             {"tx_o_05", "113/12/06"},
             {"tx_o_06", "1,234,567"},
             {"tx_o_25", "113/12/09"},
             {"tx_o_pnt", "0001 0001 0001 "},
         }},
    };
    return records;
}

const Boxes &shown(const std::string &ext)
{
    for (const ShownRecord &r : shownRecords())
        if (r.ext == ext)
            return r.boxes;
    throw std::invalid_argument(ext);
}

Boxes boxesOf(const QueryScreenModel &screen)
{
    Boxes boxes;
    for (const std::string &name : screen.boxNames())
        boxes[name] = u8(screen.box(name));
    return boxes;
}

// Box by box, so that a failure names the box.
void expectBoxes(const Boxes &actual, const Boxes &expected, const std::string &ext)
{
    std::set<std::string> names;
    for (const auto &[name, text] : actual)
        names.insert(name);
    for (const auto &[name, text] : expected)
        names.insert(name);
    for (const std::string &name : names) {
        EXPECT_TRUE(actual.count(name)) << ext << ": the screen has no box " << name;
        EXPECT_TRUE(expected.count(name))
            << ext << ": the screen has a box " << name << " it should not have";
        if (actual.count(name) && expected.count(name)) {
            EXPECT_EQ(actual.at(name), expected.at(name)) << ext << " " << name;
        }
    }
}

class HandBuiltDisc : public HandBuiltDiscSuite<> {};

}  // namespace

TEST_F(HandBuiltDisc, EveryBoxShowsItsFieldByItsRule)
{
    ASSERT_EQ(shownRecords().size(), 14u);
    for (const ShownRecord &c : shownRecords()) {
        OpenScreen open(disc->path(), *findDataSet(c.ext));
        ASSERT_TRUE(open.screen) << c.ext;
        ASSERT_EQ(open.screen->query(), LookupOutcome::Shown) << c.ext;
        EXPECT_EQ(open.screen->recordShown(), 2) << c.ext;
        expectBoxes(boxesOf(*open.screen), c.boxes, c.ext);
        // 次筆 shows the filler, record 2 comes back from the history unchanged.
        ASSERT_TRUE(open.screen->nextEnabled()) << c.ext;
        open.screen->next();
        EXPECT_EQ(open.screen->recordShown(), 1) << c.ext;
        EXPECT_EQ(u8(open.screen->box("tx_o_pnt")), "0001 0002 0002 ") << c.ext;
        open.screen->previousScreen();
        Boxes back = c.boxes;
        back["tx_o_pnt"] = "0001 0001 0002 ";
        expectBoxes(boxesOf(*open.screen), back, c.ext);
        EXPECT_TRUE(open.messages.shown.empty()) << c.ext;
    }
}

// securityName and decimalFlag are read when a record is displayed, also by a screen that
// was opened before the disc information changed; the two dates are those of the opening.
TEST_F(HandBuiltDisc, DisplayTakesTheDiscInformationOfThatMoment)
{
    const std::vector<std::pair<std::string, Boxes>> changed = {
        {"psm", {{"tx_o_06", "12,345.67"}, {"tx_o_07", "98,765.43"}, {"tx_o_11", "2330AB  新名稱"}}},
        {"pla", {{"tx_o_01", "2330AB  新名稱"}, {"tx_o_10", "12,345.67"}}},
        {"psl", {{"tx_o_04", "2330AB  新名稱"}}},
        {"psr",
         {{"tx_o_01", "2330AB  新名稱"},
          {"tx_o_03", "12,345.67"},
          {"tx_o_04", "7,654.32"},
          {"tx_o_07", "0.99"}}},
        {"pid", {{"tx_o_06", "12,345.67"}, {"tx_o_07", "98,765.43"}, {"tx_o_11", "2330AB  新名稱"}}},
        {"pco", {{"tx_o_06", "12,345.67"}, {"tx_o_07", "1.00"}, {"tx_o_11", "2330AB  新名稱"}}},
        {"pru", {{"tx_o_06", "12,345.67"}, {"tx_o_07", "98,765.43"}, {"tx_o_11", "2330AB  新名稱"}}},
        {"tru", {{"tx_o_06", "12,345.67"}, {"tx_o_07", "98,765.43"}, {"tx_o_11", "2330AB  新名稱"}}},
        {"lmk", {{"tx_o_06", "1,234.56"}, {"tx_o_11", "2330AB  新名稱"}}},
        {"rae", {{"tx_o_11", "2330AB  新名稱"}}},
        {"pel", {{"tx_o_04", "2330AB  新名稱"}}},
        {"drf", {{"tx_o_01", "2330AB  新名稱"}, {"tx_o_10", "6,543.21"}}},
        {"cpm", {{"tx_o_01", "2330AB  新名稱"}, {"tx_o_10", "25.00"}}},
        {"rsa", {{"tx_o_04", "2330AB  新名稱"}}},  // a whole number whatever decimalFlag says
    };
    TempDir dir;
    writeHandDisc(dir.path());
    const DiscInfo later{u"T01", u"新名稱", u"114/01/01", u"Y", u"114/01/02"};
    for (const auto &[ext, changes] : changed) {
        writeHandDiscInfo(dir.path(), handDiscInfo());
        OpenScreen open(dir.path(), *findDataSet(ext));
        ASSERT_TRUE(open.screen) << ext;
        // The clerk leaves the folder box: the disc information is read again.
        writeHandDiscInfo(dir.path(), later);
        open.menu.folderFocusOut();
        ASSERT_EQ(u8(open.menu.productionDateBox()), "製作日期:114/01/02");
        ASSERT_EQ(open.screen->query(), LookupOutcome::Shown) << ext;
        Boxes expected = shown(ext);
        for (const auto &[name, text] : changes)
            expected[name] = text;
        expectBoxes(boxesOf(*open.screen), expected, ext);
        // Back to the first disc information: 次筆 and 前一畫面 display with it again.
        writeHandDiscInfo(dir.path(), handDiscInfo());
        open.menu.folderFocusOut();
        open.screen->next();
        open.screen->previousScreen();
        expected = shown(ext);
        expected["tx_o_pnt"] = "0001 0001 0002 ";
        expectBoxes(boxesOf(*open.screen), expected, ext);
        EXPECT_TRUE(open.messages.shown.empty()) << ext;
    }
}
