// The holder statistics: holders counted by ID on a writer-made register whose expected
// tables are worked out by hand below, the rounding that makes the percentages add up to
// 100.00, the sample register's shape, and the tables read back from CSV and XLSX by
// independent readers.
#include "tools_support.h"

#include "engine/record_text.h"
#include "tools/export.h"
#include "tools/record_scan.h"
#include "tools/stats_report.h"
#include "writer/sample_disc.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <random>

using namespace regdisc;
using namespace regdisc::test;

namespace {

HolderStats statsOf(const std::filesystem::path &folder, StatsOptions options = {})
{
    Disc disc(fromUtf8(folder.string()));
    EXPECT_TRUE(disc.open());
    NoProgress progress;
    return computeHolderStats(disc, options, progress);
}

StatsReport reportOf(const std::filesystem::path &folder, StatsOptions options = {}, bool showId = false)
{
    Disc disc(fromUtf8(folder.string()));
    EXPECT_TRUE(disc.open());
    NoProgress progress;
    return statsReport(computeHolderStats(disc, options, progress), disc.info(), options, showId);
}

// A table's rows as "cell|cell|…" in UTF-8.
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

std::vector<std::string> headingOf(const StatsTable &table)
{
    std::vector<std::string> heading;
    for (const TableColumn &c : table.columns)
        heading.push_back(u8(c.label));
    return heading;
}

// Cancels at the first step.
class CancellingProgress : public Progress {
public:
    void begin(TextView, std::int64_t) override {}
    void step(std::int64_t) override {}
    bool cancelled() const override { return true; }
};

}  // namespace

// Worked by hand from the fifteen holders of writeStatsDisc (total 2,109,002 shares):
// 1 至 999: 999 + the two blank-ID accounts 700 and 300; 1,000 至 5,000: 1,000, 5,000,
// B200000001 400 + 600 + 4,000, C100000001 2,000 + 3,000, F100000001 600 + 400; the
// percentages 9.478, 80.607, 23.713, 71.124, 94.836, 237.079, 4741.579, 4741.584
// hundredths are cut to 9996 and the four largest remainders (.836, .713, .607, .584)
// get one each: 47.41 and 47.42 for the two largest levels, not 47.42 twice.
TEST(Stats, DistributionCountsHoldersByIdAtTheLevelBounds)
{
    TempDir dir;
    writeStatsDisc(dir.path());
    const StatsReport report = reportOf(dir.path());
    const StatsTable &table = report.tables.at(0);
    EXPECT_EQ(u8(table.title), "股權分散表");
    EXPECT_EQ(headingOf(table),
              (std::vector<std::string>{"持股分級", "股東人數", "持有股數", "持股比例(%)"}));
    EXPECT_EQ(rowsOf(table), (std::vector<std::string>{
                                 "1 至 999|3|1,999|0.09",
                                 "1,000 至 5,000|5|17,000|0.81",
                                 "5,001 至 10,000|1|5,001|0.24",
                                 "10,001 至 15,000|1|15,000|0.71",
                                 "15,001 至 20,000|0|0|0.00",
                                 "20,001 至 30,000|1|20,001|0.95",
                                 "30,001 至 40,000|0|0|0.00",
                                 "40,001 至 50,000|1|50,000|2.37",
                                 "50,001 至 100,000|0|0|0.00",
                                 "100,001 至 200,000|0|0|0.00",
                                 "200,001 至 400,000|0|0|0.00",
                                 "400,001 至 600,000|0|0|0.00",
                                 "600,001 至 800,000|0|0|0.00",
                                 "800,001 至 1,000,000|1|1,000,000|47.41",
                                 "1,000,001 以上|1|1,000,001|47.42",
                                 "合計|14|2,109,002|100.00",
                             }));
    // Zero holdings are counted apart, not in 1 至 999.
    const HolderStats stats = statsOf(dir.path());
    EXPECT_EQ(stats.records, 19);
    EXPECT_EQ(stats.zeroHolders, 1);
    EXPECT_EQ(stats.recordsByAccount, 3);
    EXPECT_EQ(stats.recordsById, 16);
}

// With decimalFlag "Y" the stored digits carry two decimals and a level takes whole shares:
// 999.99 and 0.50 are in 1 至 999, 5,000.99 in 1,000 至 5,000, 1,000,000.99 in
// 800,001 至 1,000,000. Total 2,013,004.47; hundredths 9.938, 29.811, 24.843, 4967.704,
// 4967.704 (…7038 above …7037) cut to 9996, four given by remainder: 0.10, 0.30, 0.25,
// 49.67, 49.68.
TEST(Stats, DecimalFlagYCountsLevelsOnTheShownValue)
{
    TempDir dir;
    writeDecimalStatsDisc(dir.path());
    const StatsReport report = reportOf(dir.path());
    const std::vector<std::string> rows = rowsOf(report.tables.at(0));
    ASSERT_EQ(rows.size(), 16u);
    EXPECT_EQ(rows[0], "1 至 999|4|2,000.49|0.10");
    EXPECT_EQ(rows[1], "1,000 至 5,000|2|6,000.99|0.30");
    EXPECT_EQ(rows[2], "5,001 至 10,000|1|5,001.00|0.25");
    EXPECT_EQ(rows[3], "10,001 至 15,000|0|0.00|0.00");
    EXPECT_EQ(rows[13], "800,001 至 1,000,000|1|1,000,000.99|49.67");
    EXPECT_EQ(rows[14], "1,000,001 以上|1|1,000,001.00|49.68");
    EXPECT_EQ(rows[15], "合計|9|2,013,004.47|100.00");
    EXPECT_EQ(statsOf(dir.path()).zeroHolders, 1);
    // Numbers keep their value for the spreadsheet: 2,000.49 is 2000.49.
    EXPECT_DOUBLE_EQ(report.tables.at(0).rows[0][2].number, 2000.49);
}

// By 戶別 (type 9 is "other") and the form of the ID: A100000001-like IDs are natural
// persons, 12345678 and 87654321 legal entities; the blank IDs, A12-345678 and
// AB12345678 other. F100000001's second account (type 2) counts under its first (0).
TEST(Stats, StructureByHolderTypeAndFormOfId)
{
    TempDir dir;
    writeStatsDisc(dir.path());
    const StatsReport report = reportOf(dir.path());
    const StatsTable &table = report.tables.at(1);
    EXPECT_EQ(u8(table.title), "股東結構");
    EXPECT_EQ(headingOf(table),
              (std::vector<std::string>{"項目", "身分", "一般戶", "外國投資機構", "僑外戶", "大陸地區投資人",
                                        "法院拍賣專戶", "其他戶別", "合計"}));
    EXPECT_EQ(rowsOf(table), (std::vector<std::string>{
                                 "人數|自然人|7|0|0|0|0|1|8",
                                 "人數|法人|1|1|0|0|0|0|2",
                                 "人數|其他|2|0|2|0|0|0|4",
                                 "人數|小計|10|1|2|0|0|1|14",
                                 "持有股數|自然人|23,000|0|0|0|0|20,001|43,001",
                                 "持有股數|法人|1,000,000|1,000,001|0|0|0|0|2,000,001",
                                 "持有股數|其他|1,000|0|65,000|0|0|0|66,000",
                                 "持有股數|小計|1,024,000|1,000,001|65,000|0|0|20,001|2,109,002",
                                 "持股比例(%)|自然人|1.09|0.00|0.00|0.00|0.00|0.95|2.04",
                                 "持股比例(%)|法人|47.41|47.42|0.00|0.00|0.00|0.00|94.83",
                                 "持股比例(%)|其他|0.05|0.00|3.08|0.00|0.00|0.00|3.13",
                                 "持股比例(%)|小計|48.55|47.42|3.08|0.00|0.00|0.95|100.00",
                             }));
    // The rule is stated under the table.
    ASSERT_FALSE(table.notes.empty());
    bool stated = false;
    for (const Text &note : table.notes)
        stated =
            stated || u8(note).find("一個英文字母接九位數字為自然人，八位數字為法人") != std::string::npos;
    EXPECT_TRUE(stated);
}

// The largest holders and those at or above a percentage, exactly at the boundary:
// A12-345678 holds 2.370789…%, so 2.37 lists it and 2.38 does not.
TEST(Stats, PrincipalHoldersByRankAndPercentage)
{
    TempDir dir;
    writeStatsDisc(dir.path());
    struct Case {
        int top;
        int percent;
        bool showId;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {2,
         200,
         false,
         {"1|環球基金投資專戶|876**321|1,000,001|47.42", "2|台灣科技股份有限公司|123**678|1,000,000|47.42",
          "3|格式錯|A12****678|50,000|2.37"}},
        {2,
         200,
         true,
         {"1|環球基金投資專戶|87654321|1,000,001|47.42", "2|台灣科技股份有限公司|12345678|1,000,000|47.42",
          "3|格式錯|A12-345678|50,000|2.37"}},
        {0,
         237,
         false,
         {"1|環球基金投資專戶|876**321|1,000,001|47.42", "2|台灣科技股份有限公司|123**678|1,000,000|47.42",
          "3|格式錯|A12****678|50,000|2.37"}},
        {0,
         238,
         false,
         {"1|環球基金投資專戶|876**321|1,000,001|47.42", "2|台灣科技股份有限公司|123**678|1,000,000|47.42"}},
        // The seventh largest holding, 5,000, is held by three: all share rank 7, in register order.
        {7,
         10000,
         false,
         {"1|環球基金投資專戶|876**321|1,000,001|47.42", "2|台灣科技股份有限公司|123**678|1,000,000|47.42",
          "3|格式錯|A12****678|50,000|2.37", "4|未知戶|E10****001|20,001|0.95",
          "5|舊證號|AB1****678|15,000|0.71", "6|王四|A10****004|5,001|0.24", "7|陳美|B20****001|5,000|0.24",
          "7|王三|A10****003|5,000|0.24", "7|林大|C10****001|5,000|0.24"}},
    };
    for (const Case &c : cases) {
        const StatsReport report =
            reportOf(dir.path(), {.top = c.top, .percentHundredths = c.percent}, c.showId);
        EXPECT_EQ(rowsOf(report.tables.at(2)), c.rows) << "top " << c.top << ", percent " << c.percent;
    }
}

// The stored totals are compared, never silently preferred: C100000001 stores 6,000 on
// both accounts, which hold 5,000.
TEST(Stats, DataCheckReportsMismatchedTotalsAndTheRest)
{
    TempDir dir;
    writeStatsDisc(dir.path());
    const StatsReport report = reportOf(dir.path());
    std::vector<std::string> summary;
    for (const Text &line : report.summary)
        summary.push_back(u8(line));
    EXPECT_EQ(summary, (std::vector<std::string>{
                           "證券所有人名冊 19 筆，歸戶後持有股數大於零的股東 14 人，合計 2,109,002 股。",
                           "統一編號空白或格式不符的帳戶 3 筆，各自計為一位股東。",
                           "歸戶股數與各筆股數合計不符：1 人，C10****001（各筆合計 5,000，歸戶股數 6,000）；"
                           "表中採各筆股數之和。",
                           "多筆帳戶戶別不一致的股東 1 人，以其第一筆的戶別計。",
                           "持股為零的股東 1 人，不列入統計。",
                       }));
    const HolderStats stats = statsOf(dir.path());
    ASSERT_EQ(stats.firstMismatches.size(), 1u);
    EXPECT_EQ(u8(stats.firstMismatches[0].id), "C100000001");
    EXPECT_EQ(stats.firstMismatches[0].sum, 5000);
    EXPECT_EQ(stats.firstMismatches[0].stored, 6000);

    // A holder whose first record stores the sum but whose second does not is reported
    // too; more than five are listed by their first five in register order.
    TempDir more;
    std::vector<Text> records;
    const auto record = [](std::string id, std::string shares, std::string stored) {
        return makeRecord(psmDataSet(), {{"account", "3000000" + id.substr(6, 4)},
                                         {"id", id},
                                         {"shares", shares},
                                         {"totalShares", stored},
                                         {"holderType", "0"}});
    };
    records.push_back(record("G100000001", "100", "200"));
    records.push_back(record("G100000001", "100", "300"));
    for (const char *id :
         {"H100000007", "H100000006", "H100000005", "H100000004", "H100000003", "H100000002"})
        records.push_back(record(id, "10", "20"));
    writeTestDisc(more.path(), {{&psmDataSet(), records}});
    const HolderStats several = statsOf(more.path());
    EXPECT_EQ(several.totalMismatches, 7);
    std::vector<std::string> first;
    for (const TotalMismatch &m : several.firstMismatches)
        first.push_back(u8(m.id));
    EXPECT_EQ(first, (std::vector<std::string>{"G100000001", "H100000007", "H100000006", "H100000005",
                                               "H100000004"}));
}

TEST(Stats, PercentagesAddUpToExactly100)
{
    struct Case {
        std::vector<std::int64_t> parts;
        std::vector<int> percent;
    };
    const Case cases[] = {
        {{1, 1, 1}, {3334, 3333, 3333}},  // equal remainders: the earlier part
        {{1, 4, 1}, {1667, 6667, 1666}},  // equal remainders: the larger part, then the earlier
        {{1, 2}, {3333, 6667}},  // .33 and .67: the larger remainder
        {{0, 0}, {0, 0}},
        {{0, 5}, {0, 10000}},
        {{1, 1, 1, 1, 1, 1, 1}, {1429, 1429, 1429, 1429, 1428, 1428, 1428}},
        {{999, 1, 0}, {9990, 10, 0}},
        {{1, 99999}, {0, 10000}},  // 0.001% loses less in the cut than 99.999%
        {{3, 3, 1}, {4286, 4286, 1428}},  // 42.857, 42.857, 14.286: the two larger remainders
    };
    for (const Case &c : cases)
        EXPECT_EQ(percentagesAddingUp(c.parts), c.percent);
    std::mt19937_64 random(11);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::int64_t> parts(1 + random() % 20);
        for (auto &p : parts)
            p = static_cast<std::int64_t>(random() % (random() % 2 ? 1000 : 4000000000000000000ULL));
        const std::vector<int> percent = percentagesAddingUp(parts);
        int sum = 0;
        for (int p : percent)
            sum += p;
        bool any = false;
        for (auto p : parts)
            any = any || p > 0;
        EXPECT_EQ(sum, any ? 10000 : 0);
    }
    EXPECT_EQ(percentOf(1, 8), 1250);
    EXPECT_EQ(percentOf(1, 3), 3333);
    EXPECT_EQ(percentOf(2, 3), 6667);
    EXPECT_EQ(percentOf(1, 20000), 1);  // 0.005% rounds half up
    EXPECT_EQ(percentOf(1, 20001), 0);
    EXPECT_TRUE(reachesPercent(1, 20, 500));
    EXPECT_FALSE(reachesPercent(999999, 20000000, 500));
}

TEST(Stats, FormsOfIdMasksAndHolderTypes)
{
    struct Case {
        const char *id;
        HolderKind kind;
        bool joins;
        const char *masked;
    };
    const Case cases[] = {
        {"A123456789", HolderKind::NaturalPerson, true, "A12****789"},
        {"A823456789", HolderKind::NaturalPerson, true, "A82****789"},
        {"12345678  ", HolderKind::LegalEntity, true, "123**678"},
        {"AB12345678", HolderKind::Other, true, "AB1****678"},
        {"123456789 ", HolderKind::Other, true, "123***789"},
        {"a123456789", HolderKind::Other, false, "a12****789"},
        {"A12345678 ", HolderKind::Other, true, "A12***678"},
        {"A1234567  ", HolderKind::Other, true, "A12**567"},
        {"1234567   ", HolderKind::Other, false, "123*567"},
        {"A12 456789", HolderKind::Other, false, "A12****789"},
        {" A12345678", HolderKind::Other, false, " A1****678"},
        {"          ", HolderKind::Other, false, ""},
        {"A1", HolderKind::Other, false, "**"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(holderKind(t(c.id)), c.kind) << c.id;
        EXPECT_EQ(aggregatesById(t(c.id)), c.joins) << c.id;
        EXPECT_EQ(u8(maskId(t(c.id))), c.masked) << c.id;
    }
    const std::vector<HolderType> types =
        holderTypesOfLegend(u"0：一般戶 、1：外國投資機構、2：僑外戶、3：大陸地區投資人、4：法院拍賣專戶");
    ASSERT_EQ(types.size(), 6u);
    EXPECT_EQ(u8(types[0].code + u"=" + types[0].caption), "0=一般戶");
    EXPECT_EQ(u8(types[4].code + u"=" + types[4].caption), "4=法院拍賣專戶");
    EXPECT_EQ(u8(types[5].code + u"=" + types[5].caption), "=其他戶別");
}

TEST(Stats, MissingRegisterPartialRecordAndCancel)
{
    TempDir dir;
    writeHolderDisc(dir.path());
    std::filesystem::remove(dataSetFile(dir.path(), psmDataSet(), "data"));
    EXPECT_EQ(statsOf(dir.path()).state, RegisterState::Unreadable);
    TempDir absent;
    writeTestDisc(absent.path(), {{&plaDataSet(), {}}});
    EXPECT_EQ(statsOf(absent.path()).state, RegisterState::Absent);

    TempDir partial;
    writeStatsDisc(partial.path());
    {
        std::ofstream tail(dataSetFile(partial.path(), psmDataSet(), "data"),
                           std::ios::app | std::ios::binary);
        tail << "1234567";
    }
    const HolderStats stats = statsOf(partial.path());
    EXPECT_EQ(stats.state, RegisterState::Present);
    EXPECT_EQ(stats.records, 19);
    EXPECT_EQ(stats.trailingBytes, 7u);

    Disc disc(fromUtf8(partial.path().string()));
    ASSERT_TRUE(disc.open());
    CancellingProgress cancelling;
    EXPECT_THROW(computeHolderStats(disc, {}, cancelling), WorkCancelled);
}

// What the sample register must look like to be believed, read from its DataFile by the
// holder register's layout: 戶別 at character 206, nationality at 248-249, ID at 31-40,
// shares at 119-131 and the holder's total at 132-144.
TEST(Stats, SampleRegisterLooksLikeALargeListedCompany)
{
    TempDir dir;
    writeSampleDisc(dir.path(), {.records = 4000, .seed = 3});
    const HolderStats stats = statsOf(dir.path(), {.top = 10, .percentHundredths = 500});
    EXPECT_EQ(stats.totalMismatches, 0);
    EXPECT_EQ(stats.recordsByAccount, 0);
    EXPECT_EQ(stats.typeConflicts, 0);
    // Several accounts for some holders.
    EXPECT_LT(stats.holders + stats.zeroHolders, stats.records * 96 / 100);
    // Many odd-lot and one-lot holders; a few above 5%; the largest levels hold most shares.
    EXPECT_GT(stats.levels[0].holders, stats.holders / 5);
    EXPECT_GT(stats.levels[1].holders, stats.holders / 5);
    int above5 = 0;
    for (const PrincipalHolder &p : stats.principal)
        above5 += p.percent >= 500 ? 1 : 0;
    EXPECT_GE(above5, 3);
    EXPECT_GT(stats.levels[kLevels - 1].percent, 5000);
    EXPECT_LT(stats.levels[kLevels - 1].holders, stats.holders / 20);

    int foreign = 0, foreignWithNationality = 0, legalEightDigits = 0;
    NoProgress progress;
    scanRecords(dir.path() / "stk" / "X001.psm", 494, 9999999, progress,
                [&](std::int64_t, std::string_view bytes) {
                    const Text record = recordText(bytes, 388);
                    const Text id = field(record, 31, 10);
                    if (field(record, 206, 1) == u"1") {
                        ++foreign;
                        const Text nationality = field(record, 248, 2);
                        foreignWithNationality += nationality != u"  " && nationality != u"TW" ? 1 : 0;
                        EXPECT_EQ(holderKind(id), HolderKind::LegalEntity) << u8(id);
                    }
                    legalEightDigits += holderKind(id) == HolderKind::LegalEntity ? 1 : 0;
                });
    EXPECT_GT(foreign, 20);
    EXPECT_EQ(foreignWithNationality, foreign);
    EXPECT_GT(legalEightDigits, 200);

    // Deliberate mismatches only where asked for.
    TempDir faulty;
    writeSampleDisc(faulty.path(), {.records = 1000, .seed = 3, .mismatchedTotals = 4});
    EXPECT_EQ(statsOf(faulty.path()).totalMismatches, 4);
}

// CSV files (one per table) read by Python's csv module, the workbook by openpyxl:
// numbers as numbers, the rules in a sheet of their own.
TEST(Stats, CsvAndXlsxReadBackByIndependentReaders)
{
    TempDir dir;
    writeStatsDisc(dir.path());
    const StatsReport report = reportOf(dir.path());
    {
        auto writer = createCsvWriter(dir.path() / "stats.csv", 4);
        writeStatsReport(report, *writer);
    }
    const std::vector<std::string> distribution = csvRows(dir.path() / "stats_distribution.csv");
    ASSERT_EQ(distribution.size(), 17u);
    EXPECT_EQ(distribution[0], "持股分級␟股東人數␟持有股數␟持股比例(%)");
    EXPECT_EQ(distribution[15], "1,000,001 以上␟1␟1,000,001␟47.42");
    EXPECT_EQ(distribution[16], "合計␟14␟2,109,002␟100.00");
    EXPECT_EQ(csvRows(dir.path() / "stats_structure.csv").size(), 13u);
    // The tenth largest holding, 1,000, is held by two: eleven principal holders.
    EXPECT_EQ(csvRows(dir.path() / "stats_principal.csv").size(), 12u);
    const std::vector<std::string> notes = csvRows(dir.path() / "stats_notes.csv");
    ASSERT_GT(notes.size(), 5u);
    EXPECT_EQ(notes[0], "說明");

    {
        auto writer = createXlsxWriter(dir.path() / "stats.xlsx");
        writeStatsReport(report, *writer);
    }
    const std::string out = runPython(R"(import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
print('|'.join(book.sheetnames))
sheet = book['股權分散表']
for row in sheet.iter_rows(min_row=16, max_row=17, values_only=True):
    print('|'.join(repr(v) for v in row))
print(repr(book['主要股東'].cell(row=2, column=3).value))
)",
                                      dir.path() / "stats.xlsx");
    EXPECT_EQ(out, "股權分散表|股東結構|主要股東|縣市分布|年齡分布|國籍分布|說明\n"
                   "'1,000,001 以上'|1|1000001|47.42\n"
                   "'合計'|14|2109002|100\n"
                   "'876**321'\n");
}

// The same levels counted by SQL on the register exported to SQLite: an independent count
// of a sample register's thousands of holders.
TEST(Stats, LevelsEqualSqlOnTheExportedRegister)
{
    TempDir dir;
    writeSampleDisc(dir.path(), {.records = 3000, .seed = 5});
    Disc disc(fromUtf8(dir.path().string()));
    ASSERT_TRUE(disc.open());
    NoProgress progress;
    {
        auto writer = createSqliteWriter(dir.path() / "psm.sqlite");
        exportRegisters(disc, {&psmDataSet()}, *writer, progress);
    }
    const HolderStats stats = computeHolderStats(disc, {}, progress);

    sqlite3 *db = nullptr;
    ASSERT_EQ(
        sqlite3_open_v2((dir.path() / "psm.sqlite").string().c_str(), &db, SQLITE_OPEN_READONLY, nullptr),
        SQLITE_OK);
    const char *sql = R"(
        WITH h AS (SELECT SUM(shares) AS s FROM psm
                   GROUP BY CASE WHEN length(id) BETWEEN 8 AND 10 AND id NOT GLOB '*[^A-Z0-9]*'
                                 THEN id ELSE 'record ' || record_no END)
        SELECT CASE WHEN s < 1000 THEN 0 WHEN s <= 5000 THEN 1 WHEN s <= 10000 THEN 2 WHEN s <= 15000 THEN 3
                    WHEN s <= 20000 THEN 4 WHEN s <= 30000 THEN 5 WHEN s <= 40000 THEN 6 WHEN s <= 50000 THEN 7
                    WHEN s <= 100000 THEN 8 WHEN s <= 200000 THEN 9 WHEN s <= 400000 THEN 10
                    WHEN s <= 600000 THEN 11 WHEN s <= 800000 THEN 12 WHEN s <= 1000000 THEN 13 ELSE 14 END,
               COUNT(*), SUM(s)
        FROM h WHERE s > 0 GROUP BY 1)";
    sqlite3_stmt *statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, sql, -1, &statement, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    std::array<LevelRow, kLevels> expected{};
    while (sqlite3_step(statement) == SQLITE_ROW) {
        LevelRow &row = expected.at(static_cast<size_t>(sqlite3_column_int(statement, 0)));
        row.holders = sqlite3_column_int64(statement, 1);
        row.shares = sqlite3_column_int64(statement, 2);
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    for (size_t level = 0; level < expected.size(); ++level) {
        EXPECT_EQ(stats.levels[level].holders, expected[level].holders) << level;
        EXPECT_EQ(stats.levels[level].shares, expected[level].shares) << level;
    }
}
