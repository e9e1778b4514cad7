// A holder across the disc: the union of what every register's screen answers, both
// parties of the pledge register, absent registers named as absent; and batch lookup's
// rows in input order with one "not found" row per input without a match.
#include "tools_support.h"

#include "tools/batch.h"
#include "tools/holder_search.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

using namespace regdisc;
using namespace regdisc::test;

namespace {

// (register, party, record) of every match.
using Found = std::set<std::tuple<std::string, std::string, std::int64_t>>;

Found found(const std::vector<RegisterMatches> &results)
{
    Found out;
    for (const RegisterMatches &r : results)
        for (const HolderMatch &m : r.matches)
            out.insert({std::string(r.spec->ext), u8(m.party), m.recordNo});
    return out;
}

// What the screens answer: 查詢 and every 次筆 on each KeyKind of the class, every register.
Found screensAnswer(const std::filesystem::path &folder, KeyClass keyClass, const std::string &input)
{
    Found out;
    for (const DataSetSpec *spec : allDataSets()) {
        OpenScreen open(folder, *spec);
        if (!open.screen)
            continue;
        for (const KeyKindSpec &kind : spec->keyKinds)
            if (kind.keyClass == keyClass)
                for (std::int64_t record : open.queryAll(u8(kind.caption), input))
                    out.insert({std::string(spec->ext), u8(kind.party), record});
    }
    return out;
}

class HolderAcrossTheDisc : public testing::Test {
protected:
    void SetUp() override { writeHolderDisc(dir.path()); }
    std::vector<RegisterMatches> find(KeyClass keyClass, const std::string &input, bool exact = false)
    {
        Disc disc(dir.text());
        EXPECT_TRUE(disc.open());
        NoProgress progress;
        return findHolder(disc, {keyClass, t(input), exact}, {}, progress);
    }
    TempDir dir;
};

}  // namespace

TEST_F(HolderAcrossTheDisc, FindsEveryRegisterAndBothParties)
{
    const struct {
        KeyClass keyClass;
        std::string input;
        bool exact;
        Found expected;
    } cases[] = {
        {KeyClass::Id,
         "A123456789",
         false,
         {{"psm", "", 1}, {"psm", "", 4}, {"pla", "出質人", 1}, {"pla", "質權人", 2}, {"psr", "", 1}}},
        {KeyClass::Id,
         "a1234",
         false,
         {{"psm", "", 1}, {"psm", "", 4}, {"pla", "出質人", 1}, {"pla", "質權人", 2}, {"psr", "", 1}}},
        {KeyClass::Id,
         "A",
         false,
         {{"psm", "", 1},
          {"psm", "", 2},
          {"psm", "", 4},
          {"pla", "出質人", 1},
          {"pla", "質權人", 2},
          {"psr", "", 1}}},
        {KeyClass::Id, "A12345678", true, {}},
        {KeyClass::Id, "12345678", true, {{"pla", "質權人", 1}, {"pla", "質權人", 3}}},
        {KeyClass::Account,
         "1111",
         false,
         {{"psm", "", 1}, {"psm", "", 2}, {"psm", "", 4}, {"pla", "出質人", 1}, {"pla", "質權人", 2}}},
        {KeyClass::Name,
         "王大",
         false,
         {{"psm", "", 1}, {"psm", "", 4}, {"pla", "出質人", 1}, {"pla", "質權人", 2}, {"psr", "", 1}}},
        {KeyClass::Name,
         "王大明",
         true,
         {{"psm", "", 1}, {"psm", "", 4}, {"pla", "出質人", 1}, {"pla", "質權人", 2}, {"psr", "", 1}}},
        {KeyClass::Name, "王", true, {}},
        {KeyClass::Name, "林志豪", false, {{"psr", "", 2}}},
        {KeyClass::Name, "Z", false, {}},
    };
    for (const auto &c : cases) {
        const std::vector<RegisterMatches> results = find(c.keyClass, c.input, c.exact);
        EXPECT_EQ(found(results), c.expected) << c.input;
        // Without --exact the tool answers exactly what the screens answer together.
        if (!c.exact) {
            EXPECT_EQ(found(results), screensAnswer(dir.path(), c.keyClass, c.input)) << c.input;
        }
    }
}

TEST_F(HolderAcrossTheDisc, NamesLongerThanTheNameKeyAreDecidedOnTheWholeName)
{
    // The name key holds 6 characters: the screens find nothing for the 7-character name,
    // the whole-disc lookup compares the whole name field.
    EXPECT_TRUE(screensAnswer(dir.path(), KeyClass::Name, "歐陽小明明明明").empty());
    const Found expected{{"psm", "", 5}, {"pla", "出質人", 3}};
    EXPECT_EQ(found(find(KeyClass::Name, "歐陽小明明明明")), expected);
    EXPECT_EQ(found(find(KeyClass::Name, "歐陽小明明明明", true)), expected);
    EXPECT_TRUE(found(find(KeyClass::Name, "歐陽小明明明明明")).empty());
}

TEST_F(HolderAcrossTheDisc, ReportsEachRegisterWithItsStateAndTheMatchingPartysFields)
{
    const std::vector<RegisterMatches> results = find(KeyClass::Id, "A123456789");
    ASSERT_EQ(results.size(), 14u);
    for (const RegisterMatches &r : results) {
        const std::string ext(r.spec->ext);
        const bool onDisc = ext == "psm" || ext == "pla" || ext == "psr";
        EXPECT_EQ(r.state, onDisc ? RegisterState::Present : RegisterState::Absent) << ext;
        EXPECT_TRUE(r.message.empty()) << ext;
    }
    // The pledgee match shows the pledgee's keys, not the pledgor's.
    const auto &pla = results[1];
    ASSERT_EQ(pla.spec->ext, "pla");
    ASSERT_EQ(pla.matches.size(), 2u);
    const HolderMatch &pledgee = pla.matches[1];
    EXPECT_EQ(u8(pledgee.party), "質權人");
    EXPECT_EQ(u8(pledgee.account), "11110000004");
    EXPECT_EQ(u8(pledgee.name), "王大明");
    EXPECT_EQ(u8(pledgee.id), "A123456789");
    ASSERT_EQ(pledgee.quantities.size(), 1u);
    EXPECT_EQ(u8(pledgee.quantities[0].label), "交付股數");
    EXPECT_EQ(u8(pledgee.quantities[0].value), "700");
    // psm record 4: both quantities and the three dates, with their screen labels.
    const HolderMatch &holder = results[0].matches[1];
    EXPECT_EQ(holder.recordNo, 4);
    ASSERT_EQ(holder.quantities.size(), 2u);
    EXPECT_EQ(u8(holder.quantities[0].label), "各筆股數");
    EXPECT_EQ(u8(holder.quantities[0].value), "123,456");
    EXPECT_EQ(u8(holder.quantities[1].label), "歸戶股數");
    std::vector<std::string> dateLabels;
    for (const LabelledValue &d : holder.dates)
        dateLabels.push_back(u8(d.label));
    EXPECT_EQ(dateLabels, (std::vector<std::string>{"出生日期", "開戶日期", "地址異動"}));
}

TEST_F(HolderAcrossTheDisc, DamagedRegisterIsReportedAndTheOthersStillAnswer)
{
    // psm's ID chain sent outside the DetailIndexFile from its first entry (A123456789).
    patchFile(dataSetFile(dir.path(), psmDataSet(), "idxd"), 40, "8888888");
    const std::vector<RegisterMatches> results = find(KeyClass::Id, "A");
    EXPECT_EQ(u8(results[0].message), "MSG_1_99:資料燒錄錯誤 !");
    const Found pla{{"pla", "出質人", 1}, {"pla", "質權人", 2}, {"psr", "", 1}};
    Found others = found(results);
    std::erase_if(others, [](const auto &f) { return std::get<0>(f) == "psm"; });
    EXPECT_EQ(others, pla);
}

TEST(BatchLookup, RowsInInputOrderWithOneNotFoundRowPerInput)
{
    TempDir dir;
    writeHolderDisc(dir.path());
    Disc disc(dir.text());
    ASSERT_TRUE(disc.open());
    const std::filesystem::path out = dir.path() / "result.csv";
    auto writer = createTableWriter(OutputFormat::Csv, out, 1);
    NoProgress progress;
    const BatchSummary summary =
        runBatch(disc, {u"Z999999999", u"B123456789", u"A12345678", u"A123456789", u"B123456789"},
                 {KeyClass::Id, false, {}}, *writer, progress);
    EXPECT_EQ(summary.inputs, 5);
    EXPECT_EQ(summary.found, 3);

    // Input, result, register, its name, party, record; account, name, ID; quantities.
    const std::vector<std::string> rows = csvRows(out);
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(rows[0],
              "輸入值␟結果␟名冊代碼␟名冊␟當事人␟筆號␟帳號␟戶名␟統一編號␟數量名稱1␟數量1␟數量名稱2␟數量2␟"
              "數量名稱3␟數量3␟說明");
    const std::vector<std::string> expected{
        "Z999999999␟查無資料␟␟␟␟␟␟␟␟␟␟␟␟␟␟",
        "B123456789␟符合␟psm␟證券所有人名冊␟␟3␟22220000003␟陳美玲␟B123456789␟各筆股數␟3,000␟歸戶股數␟0␟␟␟",
        "B123456789␟符合␟pla␟設質資料␟出質人␟2␟22220000003␟陳美玲␟B123456789␟交付股數␟700␟␟␟␟␟",
        "A12345678␟查無資料␟␟␟␟␟␟␟␟␟␟␟␟␟␟",
        "A123456789␟符合␟psm␟證券所有人名冊␟␟1␟11110000001␟王大明␟A123456789␟各筆股數␟1,000␟歸戶股數␟0␟␟␟",
        "A123456789␟符合␟psm␟證券所有人名冊␟␟4␟11110000004␟王大明␟A123456789␟各筆股數␟123,456␟歸戶股數␟0␟␟␟",
        "A123456789␟符合␟pla␟設質資料␟出質人␟1␟11110000001␟王大明␟A123456789␟交付股數␟500␟␟␟␟␟",
        "A123456789␟符合␟pla␟設質資料␟質權人␟2␟11110000004␟王大明␟A123456789␟交付股數␟700␟␟␟␟␟",
        "A123456789␟符合␟psr␟無實體登錄資料␟␟1␟␟王大明␟A123456789␟股數␟10␟回覆股數␟0␟回覆緩課␟0␟",
        "B123456789␟符合␟psm␟證券所有人名冊␟␟3␟22220000003␟陳美玲␟B123456789␟各筆股數␟3,000␟歸戶股數␟0␟␟␟",
        "B123456789␟符合␟pla␟設質資料␟出質人␟2␟22220000003␟陳美玲␟B123456789␟交付股數␟700␟␟␟␟␟",
    };
    EXPECT_EQ(std::vector<std::string>(rows.begin() + 1, rows.end()), expected);
}

TEST(BatchLookup, ListFilesOfLinesOrOfACsvColumnInUtf8OrBig5)
{
    TempDir dir;
    const auto write = [&](const char *name, std::string_view bytes) {
        writeFileBytes(dir.path() / name, bytes);
        return dir.path() / name;
    };
    const struct {
        std::filesystem::path file;
        std::string column;
        std::vector<std::string> expected;
        bool noHeader = false;
    } cases[] = {
        {write("a.txt", "A123456789\r\n\r\n  B123456789 \nC1"), "", {"A123456789", "B123456789", "C1"}},
        {write("b.txt", "\xEF\xBB\xBF王大明\n陳美玲\n"), "", {"王大明", "陳美玲"}},
        // 王大明 in code page 950.
        {write("c.txt", "\xA4\xFD\xA4\x6A\xA9\xFA\r\n"), "", {"王大明"}},
        {write("d.csv", "序號,身分證字號\r\n1,A123456789\r\n2,\"B12345,6789\"\r\n3,\r\n"),
         "身分證字號",
         {"A123456789", "B12345,6789"}},
        // A CSV list's first row holds its headings, unless it is said to hold values.
        {write("e.csv", "A123456789,x\nB123456789,y\n"), "", {"B123456789"}},
        {dir.path() / "e.csv", "", {"A123456789", "B123456789"}, true},
        {dir.path() / "e.csv", "2", {"x", "y"}, true},
    };
    for (const auto &c : cases) {
        Text error;
        const auto values = readInputList(c.file, {c.column, c.noHeader}, error);
        ASSERT_TRUE(values) << c.file << u8(error);
        std::vector<std::string> got;
        for (const Text &v : *values)
            got.push_back(u8(v));
        EXPECT_EQ(got, c.expected) << c.file;
    }
    // Refusals say why, in the clerk's words: the headings there are, the line that is
    // neither UTF-8 nor code page 950 (one bad byte in a UTF-8 list), a missing file.
    writeFileBytes(dir.path() / "f.txt", "王大明\n陳美玲\n林\xFF柏傑\n");
    writeFileBytes(dir.path() / "g.txt", "A123456789\n" + std::string(300, 'A') + "\n");
    const struct {
        std::filesystem::path file;
        ListOptions options;
        std::string error;
    } refused[] = {
        {dir.path() / "d.csv",
         {"統一編號", false},
         "名單沒有「統一編號」欄；第一列的欄位是 「序號」、「身分證字號」"},
        {dir.path() / "d.csv",
         {"身分證字號", true},
         "沒有標題列的名單以欄號（由 1 起）指定欄位，不能用「身分證字號」"},
        {dir.path() / "f.txt", {}, "名單第 3 行無法讀取：不是 UTF-8 文字"},
        {dir.path() / "g.txt", {}, "名單第 2 行的值超過 200 個字，不是統一編號、帳號或戶名"},
        {dir.path() / "missing.txt",
         {},
         "無法讀取名單 " + (dir.path() / "missing.txt").string() + "：檔案不存在"},
    };
    for (const auto &r : refused) {
        Text error;
        EXPECT_FALSE(readInputList(r.file, r.options, error)) << r.file;
        EXPECT_EQ(u8(error), r.error);
    }
}

// A long list walks by a skip index, and a longer one is looked up on several threads; the
// rows and the summary are those of the walk on one thread, damage included.
TEST(BatchLookup, RowsAreTheSameWithASkipIndexAndOnThreads)
{
    TempDir dir;
    writeHolderDisc(dir.path());
    // A loop in the ID chain (entry 4 back to 1) and the rest of the disc sound.
    patchFile(dataSetFile(dir.path(), psmDataSet(), "idxd"), 3 * 61 + 40, "0000001");
    Disc disc(dir.text());
    ASSERT_TRUE(disc.open());
    const std::vector<Text> inputs{u"A123456789", u"A1", u"B123456789", u"C100000001",
                                   u"Z9",         u"",   u"12345678"};
    const struct {
        const char *name;
        bool skipIndex;
        int threads;
    } ways[] = {
        {"walk", false, 1}, {"skip index", true, 1}, {"three threads", true, 3}, {"walk on two", false, 2}};
    for (const bool prefix : {false, true}) {
        std::vector<std::string> walked;
        std::string walkedSummary;
        for (const auto &way : ways) {
            const auto out = dir.path() / (std::string(way.name) + ".csv");
            auto writer = createTableWriter(OutputFormat::Csv, out, 1);
            NoProgress progress;
            BatchOptions options{KeyClass::Id, prefix, {}};
            options.skipIndexFrom = way.skipIndex ? 1 : inputs.size() + 1;
            options.threads = way.threads;
            options.threadsFrom = 1;
            options.chunk = 2;  // inputs in four chunks
            const BatchSummary summary = runBatch(disc, inputs, options, *writer, progress);
            std::string said = std::to_string(summary.found) + " " + std::to_string(summary.unknown) + " " +
                               std::to_string(summary.rows);
            for (const RegisterMatches &r : summary.registers)
                said += " " + std::to_string(static_cast<int>(r.state)) + u8(r.message);
            if (walked.empty()) {
                walked = csvRows(out);
                walkedSummary = said;
                EXPECT_GT(walked.size(), inputs.size()) << prefix;
                continue;
            }
            EXPECT_EQ(csvRows(out), walked) << way.name << " " << prefix;
            EXPECT_EQ(said, walkedSummary) << way.name << " " << prefix;
        }
    }
}
