// Outputs are never lost or half-written: a writer puts its files in place only when they
// are complete; a cancel in any phase, or a writer dropped before it finished, leaves the
// files that were there byte for byte and no temporary file beside them. An output never
// replaces an input or, unless allowed, a file that is there; what cannot be written is
// said with its reason.
#include "tools_support.h"

#include "tools/export.h"
#include "tools/stats_report.h"
#include "writer/sample_disc.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

using namespace regdisc;
using namespace regdisc::test;
namespace fs = std::filesystem;

namespace {

std::string bytesOf(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Every name in the folder, hidden ones too, sorted.
std::vector<std::string> namesIn(const fs::path &folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Cancels when the stage of that name begins for the n-th time; remembers the stages.
class CancelAtStage : public Progress {
public:
    CancelAtStage(std::u16string stage, int occurrence = 1)
        : stage_(std::move(stage)), occurrence_(occurrence)
    {
    }
    void begin(TextView stage, std::int64_t) override
    {
        stages.emplace_back(stage);
        if (stage == stage_ && ++seen_ >= occurrence_)
            cancel_ = true;
    }
    void step(std::int64_t) override {}
    bool cancelled() const override { return cancel_; }
    std::vector<Text> stages;

private:
    std::u16string stage_;
    int occurrence_;
    int seen_ = 0;
    bool cancel_ = false;
};

std::vector<std::string> extsOf(const std::vector<const DataSetSpec *> &dataSets)
{
    std::vector<std::string> exts;
    for (const DataSetSpec *spec : dataSets)
        exts.emplace_back(spec->ext);
    return exts;
}

}  // namespace

// Each format, one register and several, cancelled while the rows are written, cancelled
// while the file is completed, and dropped without finish(): the previous files as they
// were, nothing beside them.
TEST(Output, CancelOrAWriterDroppedLeavesThePreviousFilesAndNoTemporaryFile)
{
    TempDir disc;
    writeHolderDisc(disc.path());
    const std::vector<const DataSetSpec *> psm{&psmDataSet()};
    const std::vector<const DataSetSpec *> psmPla{&psmDataSet(), &plaDataSet()};
    const struct {
        const char *out;
        std::vector<const DataSetSpec *> dataSets;
        std::vector<std::string> previous;  // the files the run would write, there before
        std::u16string cancelAt;  // empty: the writer is dropped after one row
        int occurrence;
    } cases[] = {
        {"r.csv", psm, {"r.csv"}, u"證券所有人名冊", 1},
        {"r.csv", psm, {"r.csv"}, u"寫入檔案…", 1},
        {"r.csv", psm, {"r.csv"}, u"", 0},
        {"r.xlsx", psm, {"r.xlsx"}, u"證券所有人名冊", 1},
        {"r.xlsx", psm, {"r.xlsx"}, u"寫入檔案…", 1},
        {"r.xlsx", psm, {"r.xlsx"}, u"", 0},
        {"r.sqlite", psm, {"r.sqlite"}, u"證券所有人名冊", 1},
        {"r.sqlite", psm, {"r.sqlite"}, u"建立索引…", 1},
        {"r.sqlite", psm, {"r.sqlite"}, u"寫入檔案…", 1},
        {"r.sqlite", psm, {"r.sqlite"}, u"", 0},
        // Several CSV files: the first complete, the second cancelled; or both complete
        // and cancelled before they are put in place. Neither appears.
        {"r.csv", psmPla, {"r_psm.csv", "r_pla.csv"}, u"設質資料", 1},
        {"r.csv", psmPla, {"r_psm.csv", "r_pla.csv"}, u"寫入檔案…", 1},
        {"r.xlsx", psmPla, {"r.xlsx"}, u"設質資料", 1},
        {"r.sqlite", psmPla, {"r.sqlite"}, u"建立索引…", 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.out) + " " + std::to_string(c.dataSets.size()) + " " + u8(c.cancelAt));
        TempDir dir;
        std::map<std::string, std::string> before;
        for (const std::string &name : c.previous) {
            before[name] = "the clerk's own " + name + "\n";
            writeFileBytes(dir.path() / name, before[name]);
        }
        const std::vector<std::string> names = namesIn(dir.path());
        Disc opened(fromUtf8(disc.path().string()));
        ASSERT_TRUE(opened.open());
        const fs::path out = dir.path() / c.out;
        OutputOptions options;
        options.replace = true;
        CancelAtStage progress(c.cancelAt, c.occurrence);
        options.progress = &progress;
        {
            auto writer = createTableWriter(*outputFormatOf(out), out, extsOf(c.dataSets), options);
            if (c.cancelAt.empty()) {
                writer->beginTable("psm", u"psm", {{u"帳號", "account"}});
                writer->writeRow({Cell{u"11110000001"}});
            } else {
                EXPECT_THROW(exportRegisters(opened, c.dataSets, *writer, progress), WorkCancelled);
            }
        }
        EXPECT_EQ(namesIn(dir.path()), names);
        for (const auto &[name, bytes] : before)
            EXPECT_EQ(bytesOf(dir.path() / name), bytes) << name;
    }
}

// XLSX is compressed in one long call: a cancel while it runs is answered without waiting
// for it, and its file goes.
TEST(Output, XlsxCancelledWhileCompressingLeavesNoFile)
{
    TempDir disc;
    writeSampleDisc(disc.path(), {.records = 20000});
    TempDir dir;
    writeFileBytes(dir.path() / "r.xlsx", "previous\n");
    Disc opened(fromUtf8(disc.path().string()));
    ASSERT_TRUE(opened.open());
    CancelAtStage progress(u"寫入檔案…");
    OutputOptions options;
    options.replace = true;
    options.progress = &progress;
    {
        auto writer = createXlsxWriter(dir.path() / "r.xlsx", options);
        EXPECT_THROW(exportRegisters(opened, selectDataSets({}), *writer, progress), WorkCancelled);
    }
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"r.xlsx"});
    EXPECT_EQ(bytesOf(dir.path() / "r.xlsx"), "previous\n");
    // The stage of the compression is reported as a phase of its own.
    EXPECT_EQ(u8(progress.stages.back()), "寫入檔案…");
}

// Finished, the files replace the previous ones together, and nothing else is left.
TEST(Output, FinishedFilesReplaceThePreviousOnesTogether)
{
    TempDir disc;
    writeHolderDisc(disc.path());
    Disc opened(fromUtf8(disc.path().string()));
    ASSERT_TRUE(opened.open());
    TempDir dir;
    writeFileBytes(dir.path() / "r_psm.csv", "old psm\n");
    writeFileBytes(dir.path() / "r_pla.csv", "old pla\n");
    OutputOptions options;
    options.replace = true;
    NoProgress progress;
    auto writer = createTableWriter(OutputFormat::Csv, dir.path() / "r.csv", {"psm", "pla"}, options);
    const ExportSummary summary = exportRegisters(opened, {&psmDataSet(), &plaDataSet()}, *writer, progress);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"r_pla.csv", "r_psm.csv"}));
    EXPECT_EQ(csvRows(dir.path() / "r_psm.csv").size(), 6u);  // the heading and five records
    EXPECT_EQ(csvRows(dir.path() / "r_pla.csv").size(), 4u);  // the heading and three records
    EXPECT_EQ(summary.files.size(), 2u);
}

// Outputs that must not be written, refused when the writer is made, before any row, with
// the reason; the file named stays as it was.
TEST(Output, InputsExistingFilesAndMissingFoldersAreRefusedWithTheReason)
{
    TempDir disc;
    writeHolderDisc(disc.path());
    TempDir dir;
    const fs::path list = dir.path() / "list.csv";
    writeFileBytes(list, "統一編號\r\nA123456789\r\n");
    fs::create_symlink(list, dir.path() / "link.csv");
    fs::create_directory(dir.path() / "sub");
    writeFileBytes(dir.path() / "old.xlsx", "mine\n");
    const fs::path stk = disc.path() / "stk";
    const fs::path psmData = dataSetFile(disc.path(), psmDataSet(), "data");
    const std::string listText = list.string();
    const std::string stkText = stk.string();

    OutputOptions options;
    options.inputs = discFolders(fromUtf8(disc.path().string()));
    options.inputs.push_back(list);
    const struct {
        fs::path out;
        bool replace;
        std::string message;
        OutputError::Kind kind;
    } cases[] = {
        {list, true, "無法寫入 " + listText + "：這是輸入的檔案 " + listText + "，不能寫在它上面",
         OutputError::Kind::Input},
        {dir.path() / "link.csv", true,
         "無法寫入 " + (dir.path() / "link.csv").string() + "：這是輸入的檔案 " + listText +
             "，不能寫在它上面",
         OutputError::Kind::Input},
        {dir.path() / "sub" / ".." / "list.csv", true,
         "無法寫入 " + (dir.path() / "sub" / ".." / "list.csv").string() + "：這是輸入的檔案 " + listText +
             "，不能寫在它上面",
         OutputError::Kind::Input},
        {fs::path(psmData.string() + ".csv"), true,
         "無法寫入 " + psmData.string() + ".csv：這在光碟的資料夾 " + stkText + " 內，不能寫在那裡",
         OutputError::Kind::Input},
        {disc.path() / "stkidx" / ".." / "stk" / "x.sqlite", true,
         "無法寫入 " + (disc.path() / "stkidx" / ".." / "stk" / "x.sqlite").string() + "：這在光碟的資料夾 " +
             stkText + " 內，不能寫在那裡",
         OutputError::Kind::Input},
        {dir.path() / "old.xlsx", false, "無法寫入 " + (dir.path() / "old.xlsx").string() + "：檔案已存在",
         OutputError::Kind::Exists},
        {dir.path() / "none" / "r.csv", true,
         "無法寫入 " + (dir.path() / "none" / "r.csv").string() + "：資料夾不存在",
         OutputError::Kind::System},
        {dir.path() / "list.csv" / "r.csv", true,
         "無法寫入 " + (dir.path() / "list.csv" / "r.csv").string() + "：路徑中有一段不是資料夾",
         OutputError::Kind::System},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.out.string());
        OutputOptions rules = options;
        rules.replace = c.replace;
        try {
            createTableWriter(*outputFormatOf(c.out), c.out, {"batch"}, rules);
            ADD_FAILURE() << "not refused";
        } catch (const OutputError &e) {
            EXPECT_EQ(std::string(e.what()), c.message);
            EXPECT_EQ(e.kind, c.kind);
        }
    }
    EXPECT_EQ(bytesOf(list), "統一編號\r\nA123456789\r\n");
    EXPECT_EQ(bytesOf(dir.path() / "old.xlsx"), "mine\n");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"link.csv", "list.csv", "old.xlsx", "sub"}));
    EXPECT_EQ(namesIn(stk).size(), 3u);  // psm, pla and psr's data files only
}

// A database of the clerk's own under the name is never opened, changed or deleted unless
// replacing it was allowed; then it is replaced as a whole.
TEST(Output, AnSqliteDatabaseItDidNotWriteIsLeftAlone)
{
    TempDir disc;
    writeHolderDisc(disc.path());
    TempDir dir;
    const fs::path db = dir.path() / "mine.sqlite";
    sqlite3 *handle = nullptr;
    ASSERT_EQ(sqlite3_open(db.string().c_str(), &handle), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(handle, "CREATE TABLE notes (t TEXT); INSERT INTO notes VALUES ('keep');", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(handle);
    const std::string before = bytesOf(db);

    OutputOptions keep;
    keep.replace = false;
    EXPECT_THROW(createSqliteWriter(db, keep), OutputError);
    EXPECT_EQ(bytesOf(db), before);

    Disc opened(fromUtf8(disc.path().string()));
    ASSERT_TRUE(opened.open());
    OutputOptions options;
    options.replace = true;
    NoProgress progress;
    auto writer = createSqliteWriter(db, options);
    exportRegisters(opened, {&psmDataSet()}, *writer, progress);
    ASSERT_EQ(sqlite3_open(db.string().c_str(), &handle), SQLITE_OK);
    sqlite3_stmt *statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(handle, "SELECT group_concat(name) FROM sqlite_master WHERE type = 'table'",
                                 -1, &statement, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0))),
              "column_labels,table_titles,psm");
    sqlite3_finalize(statement);
    sqlite3_close(handle);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"mine.sqlite"});
}

// The statistics' four CSV files are checked as a set before anything is written.
TEST(Output, StatisticsFilesAreCheckedTogetherBeforeTheWork)
{
    TempDir dir;
    writeFileBytes(dir.path() / "s_principal.csv", "mine\n");
    OutputOptions keep;
    keep.replace = false;
    try {
        createCsvWriter(dir.path() / "s.csv", statsTableNames(), keep);
        ADD_FAILURE() << "not refused";
    } catch (const OutputError &e) {
        EXPECT_EQ(std::string(e.what()),
                  "無法寫入 " + (dir.path() / "s_principal.csv").string() + "：檔案已存在");
    }
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"s_principal.csv"});
}
