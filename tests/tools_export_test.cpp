// Export: a register's records in DataFile order, one column per shown field named by
// its screen label, read back by independent readers: Python's csv module, openpyxl,
// and SQL through SQLite.
#include "tools_support.h"

#include "tools/batch.h"
#include "tools/export.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

using namespace regdisc;
using namespace regdisc::test;

namespace {

ExportSummary exportTo(const std::filesystem::path &folder, const std::filesystem::path &out,
                       std::vector<const DataSetSpec *> dataSets)
{
    Disc disc(fromUtf8(folder.string()));
    EXPECT_TRUE(disc.open());
    auto writer = createTableWriter(*outputFormatOf(out), out, static_cast<int>(dataSets.size()));
    NoProgress progress;
    return exportRegisters(disc, dataSets, *writer, progress);
}

std::vector<std::string> sqlRows(const std::filesystem::path &db, const std::string &sql)
{
    sqlite3 *handle = nullptr;
    std::vector<std::string> rows;
    EXPECT_EQ(sqlite3_open_v2(db.string().c_str(), &handle, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt *statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(handle, sql.c_str(), -1, &statement, nullptr), SQLITE_OK)
        << sqlite3_errmsg(handle);
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
        std::string row;
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            if (i > 0)
                row += "|";
            const auto *text = sqlite3_column_text(statement, i);
            row += text ? reinterpret_cast<const char *>(text) : "NULL";
        }
        rows.push_back(row);
    }
    sqlite3_finalize(statement);
    sqlite3_close(handle);
    return rows;
}

}  // namespace

TEST(Export, CsvIsUtf8WithBomInDataFileOrderWithScreenLabelsAndDisplayRules)
{
    TempDir dir;
    writeHolderDisc(dir.path(), "Y");
    const ExportSummary summary = exportTo(dir.path(), dir.path() / "out.csv", {&plaDataSet()});
    ASSERT_EQ(summary.files.size(), 1u);
    EXPECT_EQ(summary.registers[0].records, 3);

    std::string bytes;
    {
        std::ifstream in(summary.files[0], std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(bytes.find("\r\n"), std::string::npos);

    const std::vector<std::string> rows = csvRows(summary.files[0]);
    ASSERT_EQ(rows.size(), 4u);
    // Labels that repeat (帳號 of both parties) carry their party's heading.
    EXPECT_EQ(rows[0], "筆號␟證券代號␟出質人帳號␟出質人中文戶名␟出質人統一編號␟出質人通訊地址␟質權人帳號␟"
                       "質權人中文戶名␟質權人統一編號␟質權人通訊地址␟交付股數␟孳息約定␟設質編號␟設質信託␟"
                       "信託財產專戶␟減資/併購/收回/還本之款項歸屬約定␟說明");
    // Quantities with decimalFlag "Y" carry two decimals, with their comma in quotes; the
    // security code is followed by two blanks and the security name.
    EXPECT_EQ(rows[1],
              "1␟2330    測試公司␟11110000001␟王大明␟A123456789␟␟99990000001␟第一銀行␟12345678␟␟5.00␟␟␟␟␟␟");
    EXPECT_EQ(rows[3].substr(0, rows[3].find("␟")), "3");
    EXPECT_NE(rows[3].find("歐陽小明明明明"), std::string::npos);
}

TEST(Export, SeveralRegistersToCsvGoToOneFileEach)
{
    TempDir dir;
    writeHolderDisc(dir.path());
    const ExportSummary summary =
        exportTo(dir.path(), dir.path() / "disc.csv", {&psmDataSet(), &plaDataSet(), &pidDataSet()});
    ASSERT_EQ(summary.files.size(), 2u);
    EXPECT_EQ(summary.files[0].filename(), "disc_psm.csv");
    EXPECT_EQ(summary.files[1].filename(), "disc_pla.csv");
    EXPECT_EQ(summary.registers[2].state, RegisterState::Absent);
    // The psm header: every shown field by its screen label (信用別 as the printout names it).
    EXPECT_EQ(csvRows(summary.files[0]).at(0),
              "筆號␟帳號␟中文戶名␟統一編號␟戶籍地址␟通訊地址␟各筆股數␟歸戶股數␟出生日期␟法定代理␟開戶日期␟"
              "證券代號␟信用別␟地址異動␟電話號碼␟統編錯誤␟戶別␟設質註記␟郵遞區號␟劃撥帳號␟外資編號␟全權委託␟"
              "零股待領␟分戶編號␟國籍資料␟法院提存註記␟法拍餘額註記␟說明");
}

TEST(Export, LongNameInTwoBoxesIsOneColumn)
{
    TempDir dir;
    const std::string first40 =
        "一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十";
    writeTestDisc(dir.path(), {{&pslDataSet(),
                                {makeRecord(pslDataSet(), {{"account", "11110000001"},
                                                           {"id", "A123456789"},
                                                           {"name.part1", first40},
                                                           {"name.part2", "甲乙"}})}}});
    const ExportSummary summary = exportTo(dir.path(), dir.path() / "psl.csv", {&pslDataSet()});
    const std::vector<std::string> rows = csvRows(summary.files.at(0));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], "筆號␟帳號␟統一編號␟中文戶名␟證券代號␟說明");
    EXPECT_EQ(rows[1], "1␟11110000001␟A123456789␟" + first40 + "甲乙␟        測試公司␟");
}

TEST(Export, XlsxHasTextAsTextNumbersAsNumbersAndAFrozenHeader)
{
    TempDir dir;
    writeHolderDisc(dir.path(), "Y");
    const std::filesystem::path out = dir.path() / "out.xlsx";
    exportTo(dir.path(), out, {&psmDataSet(), &plaDataSet()});
    const std::string report = runPython(R"(import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
print(wb.sheetnames)
ws = wb.worksheets[0]
print(ws.freeze_panes, ws.max_row)
rows = list(ws.iter_rows(values_only=True))
print(rows[0][:8])
print([type(v).__name__ for v in rows[4][:8]])
print(rows[4][:8])
print(ws.cell(row=5, column=7).number_format)
)",
                                         out);
    EXPECT_EQ(report,
              "['psm 證券所有人名冊', 'pla 設質資料']\n"
              "A2 6\n"
              "('筆號', '帳號', '中文戶名', '統一編號', '戶籍地址', '通訊地址', '各筆股數', '歸戶股數')\n"
              "['int', 'str', 'str', 'str', 'NoneType', 'NoneType', 'float', 'int']\n"
              "(4, '11110000004', '王大明', 'A123456789', None, None, 1234.56, 0)\n"
              "#,##0.00\n");
}

TEST(Export, SqliteTablesAnswerSqlWithTypedColumnsLabelsAndIndexes)
{
    TempDir dir;
    writeHolderDisc(dir.path());
    const std::filesystem::path out = dir.path() / "disc.sqlite";
    exportTo(dir.path(), out, {&psmDataSet(), &plaDataSet()});
    EXPECT_EQ(
        sqlRows(out, "SELECT record_no, account, name, shares FROM psm WHERE id = 'A123456789' ORDER BY 1"),
        (std::vector<std::string>{"1|11110000001|王大明|1000", "4|11110000004|王大明|123456"}));
    EXPECT_EQ(sqlRows(out, "SELECT typeof(shares), typeof(name) FROM psm LIMIT 1"),
              std::vector<std::string>{"integer|text"});
    EXPECT_EQ(sqlRows(out, "SELECT SUM(pledged_shares) FROM pla WHERE pledgee_id = '12345678'"),
              std::vector<std::string>{"1400"});
    EXPECT_EQ(sqlRows(out, "SELECT label FROM column_labels WHERE table_name = 'pla' AND column_name = "
                           "'pledgee_account'"),
              std::vector<std::string>{"質權人帳號"});
    EXPECT_EQ(sqlRows(out, "SELECT title FROM table_titles ORDER BY table_name"),
              (std::vector<std::string>{"pla 設質資料", "psm 證券所有人名冊"}));
    EXPECT_EQ(
        sqlRows(out, "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'psm' ORDER BY 1"),
        (std::vector<std::string>{"psm_account", "psm_id", "psm_name"}));
}

TEST(Export, UndecodableBytesAreShownAsReplacementCharactersAndCounted)
{
    TempDir dir;
    writeHolderDisc(dir.path());
    // A lead byte without its trail byte at the start of psm record 2's name.
    patchFile(dataSetFile(dir.path(), psmDataSet(), "data"), 494 + 11, "\x81\x20");
    const ExportSummary summary = exportTo(dir.path(), dir.path() / "psm.csv", {&psmDataSet()});
    EXPECT_EQ(summary.registers[0].undecodableRecords, 1);
    EXPECT_GE(summary.registers[0].undecodable, 1);
    const std::vector<std::string> rows = csvRows(summary.files.at(0));
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_NE(rows[2].find("\xEF\xBF\xBD"), std::string::npos);  // U+FFFD
}

// A batch's quantity column holds values of several fields: each keeps its own rule. On a
// disc whose decimalFlag is "Y" the holder register's 各筆股數 carries two decimals and the
// restricted shares' 持有股數 (a whole number whatever the flag) none: in XLSX as numbers
// in #,##0.00 and #,##0, in SQLite as REAL and INTEGER.
TEST(Export, BatchQuantitiesKeepTheirOwnFieldsRule)
{
    TempDir dir;
    writeTestDisc(
        dir.path(),
        {{&psmDataSet(),
          {makeRecord(
              psmDataSet(),
              {{"account", "11110000001"}, {"id", "A123456789"}, {"name", "王大明"}, {"shares", "123456"}})}},
         {&rsaDataSet(),
          {makeRecord(rsaDataSet(), {{"account", "11110000001"},
                                     {"id", "A123456789"},
                                     {"name", "王大明"},
                                     {"sharesHeld", "167346"}})}}},
        testDiscInfo("Y"));
    Disc disc(dir.text());
    ASSERT_TRUE(disc.open());
    NoProgress progress;
    for (const char *name : {"b.xlsx", "b.sqlite"}) {
        auto writer = createTableWriter(*outputFormatOf(name), dir.path() / name, 1);
        runBatch(disc, {u"A123456789"}, {KeyClass::Id, false, {&psmDataSet(), &rsaDataSet()}}, *writer,
                 progress);
    }
    EXPECT_EQ(runPython(R"(import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
for r in (2, 3):
    c = ws.cell(row=r, column=11)
    print(ws.cell(row=r, column=3).value, c.value, c.number_format)
)",
                        dir.path() / "b.xlsx"),
              "psm 1234.56 #,##0.00\nrsa 167346 #,##0\n");
    EXPECT_EQ(runPython(R"(import sys, sqlite3
for row in sqlite3.connect(sys.argv[1]).execute("SELECT register, quantity_1, typeof(quantity_1) FROM batch"):
    print(*row)
)",
                        dir.path() / "b.sqlite"),
              "psm 1234.56 real\nrsa 167346 integer\n");
}
