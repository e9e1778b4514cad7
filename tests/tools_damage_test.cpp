// The whole-disc tools on damaged discs: a register that cannot be read is answered as
// unreadable with its message in every tool, never as "nothing found"; a chain that loops
// gives each record once; a record whose fields would shift, or whose quantity is no whole
// number, is counted and marked instead of turning into a wrong number.
#include "tools_support.h"

#include "tools/batch.h"
#include "tools/export.h"
#include "tools/holder_search.h"
#include "tools/holder_stats.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace regdisc;
using namespace regdisc::test;

namespace {

constexpr std::uint64_t kPsmData = 494, kPsmDetail = 61;

Disc openDisc(const TempDir &dir)
{
    Disc disc(dir.text());
    EXPECT_TRUE(disc.open());
    return disc;
}

const RegisterMatches &registerOf(const std::vector<RegisterMatches> &results, std::string_view ext)
{
    for (const RegisterMatches &r : results)
        if (r.spec->ext == ext)
            return r;
    throw std::logic_error("no such register");
}

std::vector<std::int64_t> records(const RegisterMatches &r)
{
    std::vector<std::int64_t> out;
    for (const HolderMatch &m : r.matches)
        out.push_back(m.recordNo);
    return out;
}

void truncateFile(const std::filesystem::path &path)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc);
}

// Batch rows of one input list, each row's fields joined by U+241F.
std::vector<std::string> batchRows(const TempDir &dir, const std::vector<Text> &inputs,
                                   BatchSummary *summary = nullptr)
{
    const Disc disc = openDisc(dir);
    const std::filesystem::path out = dir.path() / "batch.csv";
    auto writer = createTableWriter(OutputFormat::Csv, out, 1);
    NoProgress progress;
    const BatchSummary s =
        runBatch(disc, inputs, {KeyClass::Id, false, {&psmDataSet(), &plaDataSet()}}, *writer, progress);
    if (summary)
        *summary = s;
    std::vector<std::string> rows = csvRows(out);
    rows.erase(rows.begin());
    return rows;
}

}  // namespace

TEST(UnreadableRegister, IsNeverNothingFoundInHolderAndBatch)
{
    const struct {
        const char *name;
        const DataSetSpec &spec;
        std::function<void(const std::filesystem::path &)> damage;
        std::string message;
    } cases[] = {
        {"pla DataFile missing", plaDataSet(),
         [](const auto &folder) { std::filesystem::remove(dataSetFile(folder, plaDataSet(), "data")); },
         "MSG_0_08 "},
        {"pla DetailIndexFile empty", plaDataSet(),
         [](const auto &folder) { truncateFile(dataSetFile(folder, plaDataSet(), "idxd")); },
         "MSG_0_06 資料燒錄錯誤 !"},
        // The pledgor ID chain of pla's first entry leads out of the DetailIndexFile (its
        // next-pointer is character 61, after 12 double-byte name characters: byte 72).
        {"pla chain leaves its file", plaDataSet(),
         [](const auto &folder) { patchFile(dataSetFile(folder, plaDataSet(), "idxd"), 72, "888888"); },
         "MSG_2_99:資料燒錄錯誤 !"},
        // An empty TopIndexFile beside DetailEntries and records is damage, not "no data".
        {"psm TopIndexFile empty", psmDataSet(),
         [](const auto &folder) { truncateFile(dataSetFile(folder, psmDataSet(), "idxp")); },
         "MSG_0_01 無可查詢資料 !（索引檔為空，資料檔卻有 5 筆）"},
    };
    for (const auto &c : cases) {
        TempDir dir;
        writeHolderDisc(dir.path());
        c.damage(dir.path());
        const std::string ext(c.spec.ext);

        const Disc disc = openDisc(dir);
        NoProgress progress;
        const auto results = findHolder(disc, {KeyClass::Id, u"A123456789", false}, {}, progress);
        const RegisterMatches &damaged = registerOf(results, c.spec.ext);
        EXPECT_EQ(outcomeOf(damaged), RegisterOutcome::Unreadable) << c.name;
        EXPECT_TRUE(u8(damaged.message).starts_with(c.message)) << c.name << ": " << u8(damaged.message);
        // The other register still answers.
        const RegisterMatches &other = registerOf(results, ext == "psm" ? "pla" : "psm");
        EXPECT_EQ(outcomeOf(other), RegisterOutcome::Found) << c.name;

        // Batch: an input found nowhere else is 無法讀取 for the damaged register, not 查無資料
        // (A1 is no whole ID; its walk passes the damaged entry).
        BatchSummary summary;
        const std::vector<std::string> rows = batchRows(dir, {u"A1"}, &summary);
        ASSERT_EQ(rows.size(), 1u) << c.name;
        EXPECT_TRUE(rows[0].starts_with("A1␟無法讀取␟" + ext + "␟")) << c.name << ": " << rows[0];
        EXPECT_NE(rows[0].find(c.message), std::string::npos) << c.name << ": " << rows[0];
        EXPECT_FALSE(summary.whole()) << c.name;
        EXPECT_EQ(summary.unknown, 1) << c.name;
        EXPECT_EQ(summary.found, 0) << c.name;
    }
}

TEST(UnreadableRegister, ExportAndStatsSayWhy)
{
    TempDir dir;
    writeHolderDisc(dir.path());
    std::filesystem::remove(dataSetFile(dir.path(), psmDataSet(), "data"));
    const Disc disc = openDisc(dir);
    NoProgress progress;

    auto writer = createTableWriter(OutputFormat::Csv, dir.path() / "out.csv", 2);
    const ExportSummary exported = exportRegisters(disc, {&psmDataSet(), &plaDataSet()}, *writer, progress);
    EXPECT_EQ(exported.registers[0].state, RegisterState::Unreadable);
    EXPECT_EQ(u8(exported.registers[0].message),
              "無法開啟資料檔 " + dataSetFile(dir.path(), psmDataSet(), "data").string());
    EXPECT_EQ(exported.registers[1].records, 3);
    EXPECT_FALSE(exported.whole());

    const HolderStats stats = computeHolderStats(disc, {}, progress);
    EXPECT_EQ(stats.state, RegisterState::Unreadable);
    EXPECT_FALSE(stats.message.empty());
}

TEST(DamagedChain, GivesEachRecordOnceThenSaysItIsDamaged)
{
    TempDir dir;
    writeHolderDisc(dir.path());
    // The ID chain runs 1, 4, 2, 3, 5; entry 4 (A123456789's second record) is sent back to
    // entry 1, so the chain goes round the holder's two records.
    patchFile(dataSetFile(dir.path(), psmDataSet(), "idxd"), 3 * kPsmDetail + 40, "0000001");
    const Disc disc = openDisc(dir);
    NoProgress progress;
    for (const bool exact : {false, true}) {
        const auto results =
            findHolder(disc, {KeyClass::Id, u"A123456789", exact}, {&psmDataSet()}, progress);
        EXPECT_EQ(records(results[0]), (std::vector<std::int64_t>{1, 4})) << exact;
        EXPECT_EQ(outcomeOf(results[0]), RegisterOutcome::Unreadable) << exact;
        EXPECT_EQ(u8(results[0].message), "MSG_1_99:資料燒錄錯誤 !");
    }
    // Batch marks the damage in the file itself, beside the records found before it.
    // (psm 1 and 4, then pla's pledgor and pledgee records, then the damaged register.)
    const std::vector<std::string> rows = batchRows(dir, {u"A123456789"});
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_TRUE(rows[0].starts_with("A123456789␟符合␟psm␟證券所有人名冊␟␟1␟"));
    EXPECT_TRUE(rows[1].starts_with("A123456789␟符合␟psm␟證券所有人名冊␟␟4␟"));
    EXPECT_TRUE(rows[2].starts_with("A123456789␟符合␟pla␟"));
    EXPECT_TRUE(rows[3].starts_with("A123456789␟符合␟pla␟"));
    EXPECT_EQ(rows[4], "A123456789␟無法讀取␟psm␟證券所有人名冊␟␟␟␟␟␟␟␟␟␟"
                       "MSG_1_99:資料燒錄錯誤 !（查詢此值時索引損壞，結果不完整）");
}

TEST(ClerkInput, FullWidthIdsAndAccountsAreFoundAsTheirAsciiForms)
{
    TempDir dir;
    writeHolderDisc(dir.path());
    const Disc disc = openDisc(dir);
    NoProgress progress;
    const struct {
        KeyClass keyClass;
        const char *input;
        std::vector<std::int64_t> psm;
    } cases[] = {
        {KeyClass::Id, "Ａ１２３４５６７８９", {1, 4}},
        {KeyClass::Id, "ａ１２３４５６７８９　", {1, 4}},  // lower case and a trailing ideographic blank
        {KeyClass::Account, "２２２２００００００３", {3}},
        // Names are compared by a collation that ignores width already; they are not folded.
        {KeyClass::Name, "陳美玲", {3}},
    };
    for (const auto &c : cases) {
        const auto results = findHolder(disc, {c.keyClass, t(c.input), true}, {&psmDataSet()}, progress);
        EXPECT_EQ(records(results[0]), c.psm) << c.input;
    }
}

TEST(DamagedRecord, FieldsThatWouldShiftAndQuantitiesThatAreNoNumbersAreMarked)
{
    TempDir dir;
    writeHolderDisc(dir.path());
    const auto data = dataSetFile(dir.path(), psmDataSet(), "data");
    // Record 4 (A123456789, 123,456 shares): two bytes FF FF in its registered address, which
    // begins after 11 + 2 * 19 + 10 = 59 bytes; each decodes to a character of its own, so
    // every later field would move by one.
    patchFile(data, 3 * kPsmData + 59, "\xFF\xFF");
    // Record 3 (B123456789): the letter O for a zero in 各筆股數, at byte 118 + 2 * 97 = 215
    // (118 characters before it, 97 of them double-byte).
    patchFile(data, 2 * kPsmData + 215, "0000000O03000");

    const Disc disc = openDisc(dir);
    NoProgress progress;
    const auto results = findHolder(disc, {KeyClass::Id, u"A123456789", true}, {&psmDataSet()}, progress);
    ASSERT_EQ(records(results[0]), (std::vector<std::int64_t>{1, 4}));
    EXPECT_TRUE(results[0].matches[0].followsLayout);
    EXPECT_FALSE(results[0].matches[1].followsLayout);

    // psm 1, psm 4, pla 1 and 2 for A123456789; psm 3 and pla 2 for B123456789.
    const std::vector<std::string> rows = batchRows(dir, {u"A123456789", u"B123456789"});
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_TRUE(rows[1].ends_with("␟記錄損壞：位元組與欄位配置不符，欄位可能錯位")) << rows[1];
    // The malformed quantity is written as stored, not as the 0 the numeric rule reads.
    EXPECT_TRUE(rows[4].starts_with("B123456789␟符合␟psm␟證券所有人名冊␟␟3␟22220000003␟陳美玲␟B123456789␟"
                                    "各筆股數␟0000000O03000␟歸戶股數␟0␟"))
        << rows[4];
    EXPECT_TRUE(rows[4].ends_with("␟各筆股數不是整數")) << rows[4];

    auto writer = createTableWriter(OutputFormat::Csv, dir.path() / "psm.csv", 1);
    const ExportSummary exported = exportRegisters(disc, {&psmDataSet()}, *writer, progress);
    const RegisterExport &psm = exported.registers[0];
    EXPECT_EQ(psm.damagedRecords, 1);
    EXPECT_EQ(psm.firstDamaged, (std::vector<std::int64_t>{4}));
    EXPECT_EQ(psm.malformedQuantities, 1);
    EXPECT_EQ(psm.firstMalformed, (std::vector<std::int64_t>{3}));
    const std::vector<std::string> exportedRows = csvRows(dir.path() / "psm.csv");
    EXPECT_TRUE(exportedRows[4].ends_with("␟記錄損壞：位元組與欄位配置不符，欄位可能錯位"));
    EXPECT_NE(exportedRows[3].find("␟0000000O03000␟"), std::string::npos) << exportedRows[3];
    EXPECT_TRUE(exportedRows[3].ends_with("␟各筆股數不是整數"));

    // Stats leaves both records out and says so; the other three holders are counted.
    const HolderStats stats = computeHolderStats(disc, {}, progress);
    EXPECT_EQ(stats.damagedRecords, 1);
    EXPECT_EQ(stats.firstDamaged, (std::vector<std::int64_t>{4}));
    EXPECT_EQ(stats.malformedRecords, 1);
    EXPECT_EQ(stats.firstMalformed, (std::vector<std::int64_t>{3}));
    EXPECT_EQ(stats.holders, 3);
    EXPECT_EQ(stats.totalShares, 1000 + 2000 + 5);
}

TEST(MalformedQuantity, EveryFormTheNumericRuleReadsOnlyPartOf)
{
    const struct {
        const char *field;
        bool wellFormed;
        std::int64_t units;
    } cases[] = {
        {"0000007056000", true, 7056000},   {"      7056000", true, 7056000},
        {"7056000      ", true, 7056000},   {"             ", true, 0},
        {"-000000000001", true, -1},        {"0000007O56000", false, 7},
        {"0000007056 00", false, 705600},   {"00000000000-1", false, 0},
        {"0000007,56000", false, 7},        {"000000705.600", false, 706},
        {"99999999999999999999", false, 0},
    };
    for (const auto &c : cases) {
        const Quantity q = quantityOfText(t(c.field), Rule::Quantity, u"N");
        EXPECT_EQ(q.wellFormed, c.wellFormed) << c.field;
        if (c.wellFormed || c.units != 0) {
            // A malformed field keeps what the screen's rule reads, for display only.
            EXPECT_EQ(q.units, c.units) << c.field;
        }
    }
    const Quantity y = quantityOfText(u"0000000123456", Rule::Quantity, u"Y");
    EXPECT_EQ(y.scale, 2);
    EXPECT_DOUBLE_EQ(y.shown(), 1234.56);
    EXPECT_EQ(quantityOfText(u"0000000123456", Rule::WholeNumber, u"Y").scale, 0);
}

namespace {

// Counts the rows it is given and keeps nothing.
class CountingWriter : public TableWriter {
public:
    void beginTable(std::string_view, TextView, const std::vector<TableColumn> &) override {}
    void writeRow(const std::vector<Cell> &) override { ++rows; }
    void endTable() override {}
    void finish() override {}
    std::vector<std::filesystem::path> files() const override { return {}; }
    std::int64_t rows = 0;
};

}  // namespace

// A DataFile larger than its index can name (pla's six-digit record numbers name 999,999
// records at most), here a sparse file claiming 2^32 + 10 records: export writes what the
// index can name and says how many it left out; stats refuses such a holder register
// before reading it.
TEST(OversizedFile, IsReadOnlyAsFarAsTheIndexReaches)
{
    TempDir dir;
    writeHolderDisc(dir.path());
    const std::int64_t claimed = (std::int64_t{1} << 32) + 10;
    std::filesystem::resize_file(dataSetFile(dir.path(), plaDataSet(), "data"),
                                 static_cast<std::uintmax_t>(claimed) * 394);
    std::filesystem::resize_file(dataSetFile(dir.path(), psmDataSet(), "data"),
                                 static_cast<std::uintmax_t>(claimed) * 494);
    const Disc disc = openDisc(dir);
    NoProgress progress;
    CountingWriter writer;
    const ExportSummary exported = exportRegisters(disc, {&plaDataSet()}, writer, progress);
    EXPECT_EQ(writer.rows, 999999);
    EXPECT_EQ(exported.registers[0].records, 999999);
    EXPECT_EQ(exported.registers[0].beyondIndex, claimed - 999999);
    EXPECT_EQ(u8(exported.registers[0].message),
              "資料檔的筆數超過索引所能指向的 999,999 筆，其後 4,293,967,307 筆未匯出");
    EXPECT_FALSE(exported.whole());

    const HolderStats stats = computeHolderStats(disc, {}, progress);
    EXPECT_EQ(stats.state, RegisterState::Unreadable);
    EXPECT_EQ(u8(stats.message), "資料檔有 4,294,967,306 筆，超過索引所能指向的 9,999,999 筆");
}
