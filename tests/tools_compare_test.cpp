// Two book closures compared, and where and who the holders are: a hand-made pair of
// registers whose movement, buyers, sellers and side-by-side tables are worked out by hand
// below; postcodes at the edges of their ranges; ages at birthdays and 民前 dates; the
// tables read back from CSV and XLSX by independent readers.
#include "tools_support.h"

#include "datasets/postal_districts.h"
#include "engine/record_text.h"
#include "tools/compare_report.h"
#include "tools/disc_check.h"
#include "tools/holder_stats.h"
#include "tools/record_scan.h"
#include "writer/sample_disc.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

using namespace regdisc;
using namespace regdisc::test;

namespace {

struct Pair {
    TempDir older, newer;
    Pair() { writeComparePair(older.path(), newer.path()); }
};

RegisterComparison compared(const std::filesystem::path &older, const std::filesystem::path &newer,
                            CompareOptions options = {})
{
    Disc o(fromUtf8(older.string())), n(fromUtf8(newer.string()));
    EXPECT_TRUE(o.open());
    EXPECT_TRUE(n.open());
    NoProgress progress;
    return compareRegisters(o, n, options, progress);
}

std::vector<std::string> rowsOf(const StatsTable &table)
{
    std::vector<std::string> rows;
    for (const auto &row : table.rows) {
        std::string line;
        for (size_t i = 0; i < row.size(); ++i)
            line += (i > 0 ? "|" : "") + u8(row[i].text);
        rows.push_back(line);
    }
    return rows;
}

const StatsTable &tableNamed(const StatsReport &report, const std::string &name)
{
    for (const StatsTable &t : report.tables)
        if (t.name == name)
            return t;
    throw std::runtime_error("no table " + name);
}

}  // namespace

// New: 張五 (0 → 700), 李六 (3,000) and 周七's two accounts by account (1,500 each): 4
// holders, 6,700. Exited: 林四 500 and C100000001 3,000. Increased: 王二 +3,000 and
// 87654321 +12,000. Decreased: 陳三 -3,000 and 12345678 -3,000. Unchanged: 王一 1,000,
// 許八 6,000 (one account, then two) and 40000000001 800. 137,500 - 125,300 = 12,200 =
// 6,700 - 3,500 + 15,000 - 6,000; 11 - 9 holders = +2.
TEST(Compare, MovementOfAHandMadePair)
{
    Pair pair;
    const RegisterComparison c = compared(pair.older.path(), pair.newer.path());
    ASSERT_TRUE(c.refusal.empty()) << u8(c.refusal);
    const StatsReport report = compareReport(c, false);
    EXPECT_EQ(rowsOf(tableNamed(report, "movement")), (std::vector<std::string>{
                                                          "新進股東|4|6,700",
                                                          "出清股東|2|3,500",
                                                          "增持|2|15,000",
                                                          "減持|2|6,000",
                                                          "持股不變|3|7,800",
                                                          "股東人數及總股數增減|+2|+12,200",
                                                      }));
    EXPECT_EQ(c.olderTotal, 125300);
    EXPECT_EQ(c.newerTotal, 137500);
    EXPECT_EQ(c.olderHolders, 9);
    EXPECT_EQ(c.newerHolders, 11);
    EXPECT_EQ(u8(report.summary.at(2)), "股東人數增減 +2 人，總股數增減 +12,200 股。");
}

// The two largest increases reach 3,000, which 李六 and 王二 share: both rank 2, 李六 first
// as the newer register has it first. The largest decrease, 3,000, is shared by three:
// all rank 1 in the older register's order. Percentages of each disc's total, half up.
TEST(Compare, BuyersAndSellersWithTies)
{
    Pair pair;
    const RegisterComparison c =
        compared(pair.older.path(), pair.newer.path(), {.top = 2, .percentHundredths = 500});
    const StatsReport report = compareReport(c, false);
    EXPECT_EQ(rowsOf(tableNamed(report, "buyers")),
              (std::vector<std::string>{
                  "1|環球基金投資專戶|876**321|8,000|6.38|20,000|14.55|+12,000",
                  "2|李六|A10****006|0|0.00|3,000|2.18|+3,000",
                  "2|王二|A10****002|2,000|1.60|5,000|3.64|+3,000",
              }));
    const RegisterComparison one =
        compared(pair.older.path(), pair.newer.path(), {.top = 1, .percentHundredths = 500});
    EXPECT_EQ(rowsOf(tableNamed(compareReport(one, true), "sellers")),
              (std::vector<std::string>{
                  "1|陳三|A100000003|4,000|3.19|1,000|0.73|-3,000",
                  "1|周七|C100000001|3,000|2.39|0|0.00|-3,000",
                  "1|台灣科技股份有限公司|12345678|100,000|79.81|97,000|70.55|-3,000",
              }));
    EXPECT_EQ(
        rowsOf(tableNamed(compareReport(compared(pair.older.path(), pair.newer.path(), {.top = 0}), false),
                          "buyers")),
        std::vector<std::string>{});
}

// A holder is who the statistics say: C100000001's two accounts are one holder on the
// older disc; without an ID on the newer they are two holders known by their accounts,
// so C100000001 left and two holders came. B100000001 in one account, then two, is one
// holder whose holding did not change.
TEST(Compare, AHolderUnderOneIdOnOneDiscAndTwoAccountsOnTheOther)
{
    Pair pair;
    const RegisterComparison c = compared(pair.older.path(), pair.newer.path(), {.top = 100});
    std::vector<std::string> buyers;
    for (const HolderChange &h : c.buyers)
        buyers.push_back(u8(shownId(h, true)) + " " + std::to_string(h.change()) + (h.onOlder ? " old" : "") +
                         (h.onNewer ? " new" : ""));
    EXPECT_EQ(buyers, (std::vector<std::string>{"87654321 12000 old new", "A100000006 3000 new",
                                                "A100000002 3000 old new", "帳號 30000000001 1500 new",
                                                "帳號 30000000002 1500 new", "A100000005 700 old new"}));
    std::vector<std::string> sellers;
    for (const HolderChange &h : c.sellers)
        sellers.push_back(u8(shownId(h, true)) + " " + std::to_string(h.change()));
    EXPECT_EQ(sellers, (std::vector<std::string>{"A100000003 -3000", "C100000001 -3000", "12345678 -3000",
                                                 "A100000004 -500"}));
    // The statistics of each disc count the same holders.
    for (const auto &[folder, stats] :
         {std::pair{pair.older.path(), &c.older}, std::pair{pair.newer.path(), &c.newer}}) {
        Disc disc(fromUtf8(folder.string()));
        ASSERT_TRUE(disc.open());
        NoProgress progress;
        const HolderStats own = computeHolderStats(disc, {}, progress);
        EXPECT_EQ(own.holders, stats->holders);
        EXPECT_EQ(own.recordsByAccount, stats->recordsByAccount);
        for (size_t level = 0; level < own.levels.size(); ++level)
            EXPECT_EQ(own.levels[level].holders, stats->levels[level].holders) << level;
    }
}

// 許八 keeps 6,000 shares: 4.79% of the older total, 4.36% of the newer one, so 4.5%
// is crossed downward without a trade; 87654321 rises from 6.38% to 14.55%, crossing 14%
// upward; nothing crosses 5%.
TEST(Compare, HoldingsThatCrossThePercentage)
{
    Pair pair;
    const auto rows = [&](int percent) {
        return rowsOf(tableNamed(compareReport(compared(pair.older.path(), pair.newer.path(),
                                                        {.top = 0, .percentHundredths = percent}),
                                               false),
                                 "crossings"));
    };
    EXPECT_EQ(rows(500), std::vector<std::string>{});
    EXPECT_EQ(rows(450), std::vector<std::string>{"向下|許八|B10****001|6,000|4.79|6,000|4.36|0"});
    EXPECT_EQ(rows(1400),
              std::vector<std::string>{"向上|環球基金投資專戶|876**321|8,000|6.38|20,000|14.55|+12,000"});
    // Exactly at a holding's share: 6,000 / 137,500 is 4.3636…%, which reaches 4.36% and
    // not 4.37%; 6,000 / 125,300 is 4.7885…%.
    EXPECT_EQ(rows(436), std::vector<std::string>{});
    EXPECT_EQ(rows(437), std::vector<std::string>{"向下|許八|B10****001|6,000|4.79|6,000|4.36|0"});
}

// Levels of both discs (older: 1,300 / 10,000 / 14,000 / 100,000; newer: 1,500 / 13,000 /
// 6,000 / 20,000 / 97,000) with the percentages the statistics settle: older 103.750,
// 798.085, 1117.318, 7980.846 hundredths cut to 9998, the two largest remainders up;
// newer 109.09, 945.45, 436.36, 1454.55, 7054.55 cut to 9998, 97,000 and 20,000 tied on
// their remainders, both up.
TEST(Compare, DistributionSideBySide)
{
    Pair pair;
    const StatsTable levels =
        tableNamed(compareReport(compared(pair.older.path(), pair.newer.path()), false), "distribution");
    const std::vector<std::string> rows = rowsOf(levels);
    ASSERT_EQ(rows.size(), 16u);
    EXPECT_EQ(rows[0], "1 至 999|2|2|0|1,300|1,500|+200|1.04|1.09|+0.05");
    EXPECT_EQ(rows[1], "1,000 至 5,000|4|6|+2|10,000|13,000|+3,000|7.98|9.45|+1.47");
    EXPECT_EQ(rows[2], "5,001 至 10,000|2|1|-1|14,000|6,000|-8,000|11.17|4.36|-6.81");
    EXPECT_EQ(rows[3], "10,001 至 15,000|0|0|0|0|0|0|0.00|0.00|0.00");
    EXPECT_EQ(rows[4], "15,001 至 20,000|0|1|+1|0|20,000|+20,000|0.00|14.55|+14.55");
    EXPECT_EQ(rows[8], "50,001 至 100,000|1|1|0|100,000|97,000|-3,000|79.81|70.55|-9.26");
    EXPECT_EQ(rows[15], "合計|9|11|+2|125,300|137,500|+12,200|100.00|100.00|0.00");
    EXPECT_EQ(u8(levels.columns[1].label), "股東人數(舊)");
    EXPECT_EQ(u8(levels.columns[9].label), "比例增減");

    // The structure: 一般戶 natural persons 6 → 6 (林四 and C100000001 gone, 李六 and 張五
    // came), 一般戶 other forms 1 → 3 (the accounts without an ID), 外國投資機構 legal 1 → 1.
    // Newer percentages: 16,700, 97,000 and 20,000 lose the same in the cut; the two larger
    // get the two hundredths missing.
    const StatsTable structure =
        tableNamed(compareReport(compared(pair.older.path(), pair.newer.path()), false), "structure");
    const std::vector<std::string> s = rowsOf(structure);
    EXPECT_EQ(s[0], "一般戶|自然人|6|6|0|16,500|16,700|+200|13.17|12.14|-1.03");
    EXPECT_EQ(s[1], "一般戶|法人|1|1|0|100,000|97,000|-3,000|79.81|70.55|-9.26");
    EXPECT_EQ(s[2], "一般戶|其他|1|3|+2|800|3,800|+3,000|0.64|2.76|+2.12");
    EXPECT_EQ(s[7], "外國投資機構|小計|1|1|0|8,000|20,000|+12,000|6.38|14.55|+8.17");
    EXPECT_EQ(s.back(), "合計|小計|9|11|+2|125,300|137,500|+12,200|100.00|100.00|0.00");
}

// With decimalFlag "Y" quantities are hundredths: 999.50 → 1,000.50 is an increase of
// 1.00 that lifts the holder into 1,000 至 5,000. A disc with "Y" compared with one
// without counts both in hundredths: 1,000 shares and 1,000.00 are the same holding.
TEST(Compare, DecimalFlagY)
{
    TempDir older, newer, whole;
    const DiscInfo y{u"T01", u"測試公司", u"113/12/06", u"Y", u"113/12/09"};
    writeRegister(older.path(),
                  {{"10000000001", "甲", "A100000001", "99950", "99950"},
                   {"10000000002", "乙", "A100000002", "100000", "100000"}},
                  y);
    writeRegister(newer.path(),
                  {{"10000000001", "甲", "A100000001", "100050", "100050"},
                   {"10000000002", "乙", "A100000002", "100000", "100000"}},
                  y);
    const RegisterComparison c = compared(older.path(), newer.path(), {.top = 1});
    const StatsReport report = compareReport(c, false);
    EXPECT_EQ(rowsOf(tableNamed(report, "movement")),
              (std::vector<std::string>{"新進股東|0|0.00", "出清股東|0|0.00", "增持|1|1.00", "減持|0|0.00",
                                        "持股不變|1|1,000.00", "股東人數及總股數增減|0|+1.00"}));
    EXPECT_EQ(rowsOf(tableNamed(report, "buyers")),
              std::vector<std::string>{"1|甲|A10****001|999.50|49.99|1,000.50|50.01|+1.00"});
    const std::vector<std::string> levels = rowsOf(tableNamed(report, "distribution"));
    EXPECT_EQ(levels[0], "1 至 999|1|0|-1|999.50|0.00|-999.50|49.99|0.00|-49.99");
    EXPECT_EQ(levels[1], "1,000 至 5,000|1|2|+1|1,000.00|2,000.50|+1,000.50|50.01|100.00|+49.99");
    EXPECT_DOUBLE_EQ(tableNamed(report, "buyers").rows[0][7].number, 1.0);

    writeRegister(whole.path(), {{"10000000001", "甲", "A100000001", "1000", "1000"},
                                 {"10000000002", "乙", "A100000002", "1000", "1000"}});
    const RegisterComparison mixed = compared(whole.path(), newer.path());
    EXPECT_EQ(mixed.decimals, 2);
    EXPECT_EQ(mixed.movement[static_cast<size_t>(Movement::Unchanged)].holders, 1);
    EXPECT_EQ(mixed.movement[static_cast<size_t>(Movement::Increased)].shares, 50);  // 0.50
}

// Two discs of different securities are not compared; nor is a disc whose holder register
// cannot be read, and what could not be read is said, not shown as nothing.
TEST(Compare, DifferentSecuritiesAndUnreadableRegistersAreRefused)
{
    TempDir older, other, blankCodes, otherBase;
    writeRegister(older.path(), kOlderHoldings);
    writeRegister(other.path(), kNewerHoldings, {u"T02", u"別家公司", u"114/06/30", u"N", u"114/07/02"},
                  "T02");
    const RegisterComparison c = compared(older.path(), other.path());
    EXPECT_EQ(u8(c.refusal),
              "兩片光碟不是同一證券：舊光碟是 T01  測試公司，新光碟是 T02  別家公司，無法比較。");
    EXPECT_EQ(c.movement[0].holders, 0);
    // Without security codes in the records the baseName tells.
    writeRegister(blankCodes.path(), kNewerHoldings, testDiscInfo(), "");
    EXPECT_TRUE(compared(older.path(), blankCodes.path()).refusal.empty());
    writeRegister(otherBase.path(), kNewerHoldings, {u"T09", u"測試公司", u"114/06/30", u"N", u"114/07/02"},
                  "");
    EXPECT_FALSE(compared(blankCodes.path(), otherBase.path()).refusal.empty());

    Pair pair;
    std::filesystem::remove(dataSetFile(pair.newer.path(), psmDataSet(), "data"));
    const RegisterComparison missing = compared(pair.older.path(), pair.newer.path());
    EXPECT_NE(u8(missing.refusal).find("新光碟"), std::string::npos) << u8(missing.refusal);
    EXPECT_NE(u8(missing.refusal).find("無法讀取"), std::string::npos) << u8(missing.refusal);
}

// A disc compared with itself: every holder unchanged, as many as the statistics count.
TEST(Compare, ADiscComparedWithItselfIsUnchanged)
{
    TempDir dir;
    writeStatsDisc(dir.path());
    const RegisterComparison c = compared(dir.path(), dir.path());
    ASSERT_TRUE(c.refusal.empty());
    EXPECT_EQ(c.movement[static_cast<size_t>(Movement::Unchanged)].holders, 14);
    EXPECT_EQ(c.movement[static_cast<size_t>(Movement::Unchanged)].shares, 2109002);
    for (Movement m : {Movement::New, Movement::Exited, Movement::Increased, Movement::Decreased})
        EXPECT_EQ(c.movement[static_cast<size_t>(m)].holders, 0);
    EXPECT_TRUE(c.buyers.empty());
    EXPECT_TRUE(c.sellers.empty());
}

// The report's tables read back: the CSV files by Python's csv module, the workbook by
// openpyxl (numbers as numbers, the changes with their sign).
TEST(Compare, CsvAndXlsxReadBackByIndependentReaders)
{
    Pair pair;
    const StatsReport report =
        compareReport(compared(pair.older.path(), pair.newer.path(), {.top = 2}), false);
    TempDir out;
    {
        auto writer = createCsvWriter(out.path() / "movement.csv", 10);
        writeStatsReport(report, *writer);
    }
    const std::vector<std::string> movement = csvRows(out.path() / "movement_movement.csv");
    ASSERT_EQ(movement.size(), 7u);
    EXPECT_EQ(movement[0], "異動␟股東人數␟股數");
    EXPECT_EQ(movement[1], "新進股東␟4␟6,700");
    EXPECT_EQ(movement[6], "股東人數及總股數增減␟+2␟+12,200");
    const std::vector<std::string> sellers = csvRows(out.path() / "movement_sellers.csv");
    ASSERT_EQ(sellers.size(), 4u);
    EXPECT_EQ(sellers[1], "1␟陳三␟A10****003␟4,000␟3.19␟1,000␟0.73␟-3,000");
    {
        auto writer = createXlsxWriter(out.path() / "movement.xlsx");
        writeStatsReport(report, *writer);
    }
    const std::string xlsx = runPython(R"(import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
print('|'.join(book.sheetnames))
for row in book['異動概況'].iter_rows(min_row=2, max_row=7, values_only=True):
    print('|'.join(repr(v) for v in row))
print('|'.join(repr(v) for v in next(book['主要賣超股東'].iter_rows(min_row=2, max_row=2, values_only=True))))
)",
                                       out.path() / "movement.xlsx");
    EXPECT_EQ(xlsx,
              "異動概況|主要買超股東|主要賣超股東|持股比例跨越 5.00%|股權分散表（新舊對照）|"
              "股東結構（新舊對照）|縣市分布（新舊對照）|年齡分布（新舊對照）|國籍分布（新舊對照）|說明\n"
              "'新進股東'|4|6700\n"
              "'出清股東'|2|3500\n"
              "'增持'|2|15000\n"
              "'減持'|2|6000\n"
              "'持股不變'|3|7800\n"
              "'股東人數及總股數增減'|2|12200\n"
              "1|'陳三'|'A10****003'|4000|3.19|1000|0.73|-3000\n");
}

// Postcodes at the edges of the counties' ranges, the gaps between them, the islands
// with codes of their own, and what is no code.
TEST(Breakdowns, PostcodesAtTheEdgesOfTheirRanges)
{
    const std::pair<const char *, const char *> cases[] = {
        {"100", "臺北市"},  {"116", "臺北市"}, {"117", "未詳"},   {"099", "未詳"},   {"000", "未詳"},
        {"200", "基隆市"},  {"206", "基隆市"}, {"207", "新北市"}, {"208", "新北市"}, {"209", "連江縣"},
        {"212", "連江縣"},  {"213", "未詳"},   {"219", "未詳"},   {"220", "新北市"}, {"253", "新北市"},
        {"254", "未詳"},    {"260", "宜蘭縣"}, {"272", "宜蘭縣"}, {"290", "宜蘭縣"}, {"300", "新竹市"},
        {"301", "未詳"},    {"302", "新竹縣"}, {"315", "新竹縣"}, {"320", "桃園市"}, {"338", "桃園市"},
        {"350", "苗栗縣"},  {"369", "苗栗縣"}, {"400", "臺中市"}, {"439", "臺中市"}, {"500", "彰化縣"},
        {"530", "彰化縣"},  {"540", "南投縣"}, {"558", "南投縣"}, {"600", "嘉義市"}, {"602", "嘉義縣"},
        {"625", "嘉義縣"},  {"630", "雲林縣"}, {"655", "雲林縣"}, {"700", "臺南市"}, {"745", "臺南市"},
        {"800", "高雄市"},  {"817", "高雄市"}, {"819", "高雄市"}, {"852", "高雄市"}, {"880", "澎湖縣"},
        {"885", "澎湖縣"},  {"890", "金門縣"}, {"896", "金門縣"}, {"900", "屏東縣"}, {"947", "屏東縣"},
        {"950", "臺東縣"},  {"966", "臺東縣"}, {"970", "花蓮縣"}, {"983", "花蓮縣"}, {"984", "未詳"},
        {"999", "未詳"},    {"   ", "未詳"},   {"10 ", "未詳"},   {" 10", "未詳"},   {"1O0", "未詳"},
        {"１００", "未詳"}, {"10", "未詳"},    {"1000", "未詳"},
    };
    for (const auto &[code, county] : cases) {
        const int c = postalCountyOf(t(code));
        EXPECT_EQ(c < 0 ? std::string("未詳") : u8(Text(postalCounties()[static_cast<size_t>(c)])), county)
            << "'" << code << "'";
    }
    EXPECT_EQ(postalCounties().size(), 22u);
}

// Ages on the data date 113/12/06 (2024-12-06): a birthday reached on its day, 民前 n is
// 1912 - n, 29 February born in a leap year, dates that are none.
TEST(Breakdowns, AgesAtBirthdaysAndBefore1912)
{
    const std::tuple<const char *, const char *, int> cases[] = {
        {" 0831206", "113/12/06", 30},  {" 0831207", "113/12/06", 29},  {" 0831205", "113/12/06", 30},
        {"10011206", "113/12/06", 113}, {"10011207", "113/12/06", 112}, {"10101231", "113/12/06", 121},
        {" 0010101", "113/12/06", 112}, {" 1131206", "113/12/06", 0},   {" 1131207", "113/12/06", -1},
        {" 0890229", "113/12/06", 24},  {" 0890229", "114/02/28", 24},  {" 0890229", "114/03/01", 25},
        {" 0880229", "113/12/06", -1},  {" 0000101", "113/12/06", -1},  {"10000101", "113/12/06", -1},
        {" 0891301", "113/12/06", -1},  {" 0890230", "113/12/06", -1},  {" 0890100", "113/12/06", -1},
        {"        ", "113/12/06", -1},  {"1       ", "113/12/06", -1},  {" 08312 6", "113/12/06", -1},
        {"00831206", "113/12/06", 30},  {" 0831206", "1131206", 30},    {" 0831206", "113/1/6", 29},
        {" 0831206", "", -1},           {" 0831206", "113/13/06", -1},  {" 0831206", "ABC", -1},
    };
    for (const auto &[birth, on, age] : cases)
        EXPECT_EQ(ageOn(t(birth), t(on)), age) << birth << " on " << on;
    const std::pair<int, const char *> bands[] = {
        {0, "未滿 30 歲"},   {29, "未滿 30 歲"},  {30, "30 至 39 歲"}, {39, "30 至 39 歲"},
        {40, "40 至 49 歲"}, {69, "60 至 69 歲"}, {70, "70 至 79 歲"}, {79, "70 至 79 歲"},
        {80, "80 歲以上"},   {121, "80 歲以上"},  {-1, "未詳"},
    };
    for (const auto &[age, label] : bands)
        EXPECT_EQ(u8(ageBandLabel(ageBandOf(age))), label) << age;
}

namespace {

Text placedRecord(const char *account, const char *id, const char *shares, const char *type,
                  const char *postcode, const char *birth, const char *nationality)
{
    return makeRecord(psmDataSet(), {{"account", account},
                                     {"name", "股東"},
                                     {"id", id},
                                     {"shares", shares},
                                     {"totalShares", shares},
                                     {"holderType", type},
                                     {"postcode", postcode},
                                     {"birthDate", birth},
                                     {"nationality", nationality}});
}

}  // namespace

// Eleven holders with shares (and one with none, counted nowhere): by county of their
// postcode, natural persons by age on 113/12/06, the foreign 戶別 (1, 2, 3) by
// nationality. 許 has two accounts: its first decides (臺北市, 40 至 49 歲).
TEST(Breakdowns, StatisticsByCountyAgeAndNationality)
{
    TempDir dir;
    const std::vector<Text> records{
        placedRecord("10000000001", "A100000001", "1000", "0", "100", " 0831206", "TW"),  // 30, 臺北市
        placedRecord("10000000002", "A100000002", "2000", "0", "116", " 0831207", "TW"),  // 29, 臺北市
        placedRecord("10000000003", "A100000003", "3000", "0", "207", "10011206", "TW"),  // 113, 新北市
        placedRecord("10000000004", "A100000004", "4000", "0", "117", "        ", "  "),  // 未詳, 未詳
        placedRecord("10000000005", "A100000005", "500", "0", "300", " 0730101", "TW"),  // 40, 新竹市
        placedRecord("10000000006", "A100000005", "500", "0", "983", " 0730101", "TW"),  // same holder
        placedRecord("10000000007", "12345678", "10000", "0", "   ", "        ", "TW"),  // legal, 未詳
        placedRecord("10000000008", "87654321", "20000", "1", "100", "        ", "US"),  // foreign US
        placedRecord("10000000009", "87654322", "30000", "1", "100", "        ", "US"),  // foreign US
        placedRecord("10000000010", "B800000001", "600", "2", "970", " 0331206", "MY"),  // 80, 花蓮縣, MY
        placedRecord("10000000011", "B900000001", "700", "2", "983", " 0331207", "  "),  // 79, 花蓮縣, 未詳
        placedRecord("10000000012", "87654323", "800", "4", "800", "        ", "TW"),  // court, not foreign
        placedRecord("10000000013", "C100000001", "0", "3", "100", " 0500101", "CN"),  // no shares
    };
    writeTestDisc(dir.path(), {{&psmDataSet(), records}});
    Disc disc(fromUtf8(dir.path().string()));
    ASSERT_TRUE(disc.open());
    NoProgress progress;
    const HolderStats stats = computeHolderStats(disc, {}, progress);
    const StatsReport report = statsReport(stats, disc.info(), {}, false);

    // 73,100 shares of 11 holders.
    const std::vector<std::string> county = rowsOf(tableNamed(report, "county"));
    ASSERT_EQ(county.size(), 24u);
    EXPECT_EQ(county[0], "臺北市|4|36.37|53,000|72.50");
    EXPECT_EQ(county[1], "基隆市|0|0.00|0|0.00");
    EXPECT_EQ(county[2], "新北市|1|9.09|3,000|4.10");
    EXPECT_EQ(county[5], "新竹市|1|9.09|1,000|1.37");
    EXPECT_EQ(county[16], "高雄市|1|9.09|800|1.10");
    EXPECT_EQ(county[21], "花蓮縣|2|18.18|1,300|1.78");
    EXPECT_EQ(county[22], "未詳|2|18.18|14,000|19.15");
    EXPECT_EQ(county[23], "合計|11|100.00|73,100|100.00");

    // Natural persons: the seven with a letter and nine digits (12,300 shares). Five rows
    // of one holder each lose .5714 in the cut: the three earliest get the hundredths.
    EXPECT_EQ(rowsOf(tableNamed(report, "age")), (std::vector<std::string>{
                                                     "未滿 30 歲|1|14.29|2,000|16.26",
                                                     "30 至 39 歲|1|14.29|1,000|8.13",
                                                     "40 至 49 歲|1|14.29|1,000|8.13",
                                                     "50 至 59 歲|0|0.00|0|0.00",
                                                     "60 至 69 歲|0|0.00|0|0.00",
                                                     "70 至 79 歲|1|14.28|700|5.69",
                                                     "80 歲以上|2|28.57|3,600|29.27",
                                                     "未詳|1|14.28|4,000|32.52",
                                                     "合計|7|100.00|12,300|100.00",
                                                 }));

    // 1 外國投資機構 and 2 僑外戶: US twice, MY once, one blank; the court's account (4)
    // and the holders of 0 are not counted.
    EXPECT_EQ(rowsOf(tableNamed(report, "nationality")), (std::vector<std::string>{
                                                             "US|2|50.00|50,000|97.47",
                                                             "MY|1|25.00|600|1.17",
                                                             "未詳|1|25.00|700|1.36",
                                                             "合計|4|100.00|51,300|100.00",
                                                         }));
    // The tables are in the printout's and the workbook's order, after the principal holders.
    std::vector<std::string> names;
    for (const StatsTable &t : report.tables)
        names.push_back(t.name);
    EXPECT_EQ(names, (std::vector<std::string>{"distribution", "structure", "principal", "county", "age",
                                               "nationality"}));
}

// The next book closure of a sample disc: the same issuer, dates six months on, most
// holders as they were, trades both ways, holders gone and come, a block across 5% each
// way, the total unchanged; pledges partly released and made anew, the other registers as
// they were; a disc that checks whole. It is never written over the disc it follows.
TEST(Sample, TheLaterDiscIsTheNextBookClosure)
{
    TempDir older, newer;
    writeSampleDisc(older.path(), {.records = 3000, .seed = 3});
    writeSampleDisc(newer.path(), {.seed = 4, .after = older.path()});
    Disc o(fromUtf8(older.path().string())), n(fromUtf8(newer.path().string()));
    ASSERT_TRUE(o.open());
    ASSERT_TRUE(n.open());
    EXPECT_EQ(u8(n.info().baseName), "X001");
    EXPECT_EQ(u8(n.info().securityName), "虛構科技");
    EXPECT_EQ(u8(o.info().dataDate), "113/12/06");
    EXPECT_EQ(u8(n.info().dataDate), "114/06/06");
    EXPECT_EQ(u8(n.info().productionDate), "114/06/09");

    NoProgress progress;
    const RegisterComparison c = compareRegisters(o, n, {}, progress);
    ASSERT_TRUE(c.refusal.empty()) << u8(c.refusal);
    const auto holders = [&](Movement m) { return c.movement[static_cast<size_t>(m)].holders; };
    EXPECT_GT(holders(Movement::Unchanged), c.olderHolders * 8 / 10);
    for (Movement m : {Movement::New, Movement::Exited, Movement::Increased, Movement::Decreased})
        EXPECT_GT(holders(m), c.olderHolders / 100) << movementName(m);
    EXPECT_EQ(c.newerTotal, c.olderTotal);
    ASSERT_EQ(c.crossings.size(), 2u);
    EXPECT_GE(c.crossings[0].newPercent, 500);
    EXPECT_EQ(c.crossings[0].oldShares, 0);  // a new holder bought the block
    EXPECT_LT(c.crossings[1].newPercent, 500);
    EXPECT_GE(c.crossings[1].oldPercent, 500);

    // Pledges: some released, as many made; a register without trades is as it was.
    const auto records = [](const std::filesystem::path &path, int length) {
        std::ifstream in(path, std::ios::binary);
        std::set<std::string> out;
        for (std::string r(static_cast<size_t>(length), '\0'); in.read(r.data(), length);)
            out.insert(r);
        return out;
    };
    const DataSetSpec &pla = plaDataSet();
    const std::set<std::string> before = records(older.path() / "stk" / "X001.pla", pla.data.length);
    std::set<std::string> after = records(newer.path() / "stk" / "X001.pla", pla.data.length);
    size_t kept = 0;
    for (const std::string &r : before)
        kept += after.count(r);
    EXPECT_GT(kept, before.size() * 8 / 10);
    EXPECT_LT(kept, before.size());
    EXPECT_GT(after.size(), kept);
    for (const char *file : {"stk/X001.psr", "stkidx/X001idxp.psr", "stkidx/X001idxd.psr"}) {
        const auto bytes = [&](const std::filesystem::path &folder) {
            std::ifstream in(folder / file, std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(in), {});
        };
        EXPECT_FALSE(bytes(newer.path()).empty()) << file;
        EXPECT_EQ(bytes(older.path()), bytes(newer.path())) << file;
    }
    EXPECT_EQ(checkDisc(n, progress).exitStatus(), 0);

    // Over the disc it follows: refused, and that disc is left as it was.
    const auto size = std::filesystem::file_size(older.path() / "stk" / "X001.psm");
    EXPECT_THROW(writeSampleDisc(older.path(), {.after = older.path()}), DiscWriteError);
    EXPECT_THROW(writeSampleDisc(older.path() / ".", {.after = older.path()}), DiscWriteError);
    EXPECT_EQ(std::filesystem::file_size(older.path() / "stk" / "X001.psm"), size);
    EXPECT_EQ(u8(o.info().dataDate), "113/12/06");
}

// The sample's holders live where their postcodes say, at an address of that county and
// district, and their ages are those of a listed company's holders.
TEST(Sample, AddressesPostcodesAndAgesAgree)
{
    TempDir dir;
    writeSampleDisc(dir.path(), {.records = 3000, .seed = 9});
    const DataSetSpec &psm = psmDataSet();
    int records = 0, agree = 0;
    NoProgress progress;
    scanRecords(dir.path() / "stk" / "X001.psm", psm.data.length, 9999999, progress,
                [&](std::int64_t, std::string_view bytes) {
                    const Text record = recordText(bytes, psm.dataN);
                    const Text postcode = field(record, 208, 3);
                    const Text mailing = field(record, 80, 39);
                    ++records;
                    for (const PostalDistrict &d : postalDistricts())
                        if (d.code == postcode && mailing.starts_with(Text(d.county) + Text(d.district)))
                            ++agree;
                    EXPECT_EQ(u8(field(record, 170, 6)), "X001  ");
                });
    EXPECT_EQ(agree, records);

    Disc disc(fromUtf8(dir.path().string()));
    ASSERT_TRUE(disc.open());
    const HolderStats stats = computeHolderStats(disc, {}, progress);
    EXPECT_EQ(stats.byCounty.back().holders, 0);  // no 未詳
    std::int64_t persons = 0;
    for (const BreakdownRow &row : stats.byAge)
        persons += row.holders;
    const auto share = [&](int band) {
        return stats.byAge[static_cast<size_t>(band)].holders * 100 / persons;
    };
    EXPECT_LE(share(0), 20);  // under 30
    EXPECT_GE(share(2) + share(3) + share(4), 45);  // 40 to 69
    EXPECT_LE(share(kAgeBands - 2), 8);  // 80 and over
    EXPECT_LE(share(kUnknownAge), 4);
    EXPECT_GT(stats.byNationality.size(), 3u);
}
