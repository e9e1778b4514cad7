// The disc check: a whole disc passes; each planted defect is found, with the record it
// is in; a damaged disc never crashes or hangs the check.
#include "tools_support.h"

#include "tools/disc_check.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <set>

using namespace regdisc;
using namespace regdisc::test;

namespace {

// The holder disc's psm (5 records, one DetailEntry per BlockEntry, two per block): the
// TopIndexFile holds the top records 1-3, then three blocks per KeyKind (ID: 4-6). The ID
// chain runs 1, 4, 2, 3, 5 (A123456789 twice, A223456789, B123456789, C100000001).
constexpr std::uint64_t kTop = 1900, kEntry = 19, kDetail = 61, kData = 494;
std::uint64_t top(int record, int entry, int byte)
{
    return (record - 1) * kTop + entry * kEntry + byte;
}
std::uint64_t detail(int entry, int byte)
{
    return (entry - 1) * kDetail + byte;
}
constexpr int kKey = 0, kPointer = 12;  // in a TopEntry or BlockEntry
constexpr int kRecordNo = 33, kNextId = 40;  // in a DetailEntry

void writeCompleteDisc(const std::filesystem::path &folder)
{
    writeHolderDisc(folder);
    writeListing(folder, u"T01", "ptr", {u"股東名冊總筆數：5"});
    writeListing(folder, u"T01", "lnx", {u"2330"});
}

// A fresh copy of one complete disc written once.
void copyCompleteDisc(const std::filesystem::path &folder)
{
    static TempDir pristine;
    static const bool written = (writeCompleteDisc(pristine.path()), true);
    (void)written;
    std::filesystem::copy(pristine.path(), folder, std::filesystem::copy_options::recursive);
}

DiscCheck check(const std::filesystem::path &folder)
{
    Disc disc(fromUtf8(folder.string()));
    NoProgress progress;
    return checkDisc(disc, progress);
}

const RegisterCheck &psmOf(const DiscCheck &c)
{
    return c.registers.at(0);
}

}  // namespace

TEST(DiscCheck, AWholeDiscPasses)
{
    TempDir dir;
    writeCompleteDisc(dir.path());
    const DiscCheck c = check(dir.path());
    EXPECT_EQ(c.exitStatus(), 0);
    ASSERT_EQ(c.registers.size(), 14u);
    for (const RegisterCheck &r : c.registers) {
        EXPECT_TRUE(r.whole()) << r.spec->ext;
        EXPECT_TRUE(r.defects.empty()) << r.spec->ext;
    }
    EXPECT_EQ(psmOf(c).records, 5);
    EXPECT_EQ(psmOf(c).entries, 5);
    EXPECT_EQ(c.registers.at(1).records, 3);  // pla
    EXPECT_EQ(c.registers.at(2).state, RegisterState::Absent);  // psl
}

TEST(DiscCheck, FindsEachPlantedDefect)
{
    struct Patch {
        std::string file;  // idxp, idxd, data
        std::uint64_t offset;
        std::string bytes;
    };
    const struct {
        const char *name;
        std::vector<Patch> patches;
        DefectClass expected;
        std::int64_t firstRecord;  // in the file the defect class counts in
    } cases[] = {
        // The partial record is the sixth of the DataFile.
        {"partial record", {{"data", 5 * kData, "x"}}, DefectClass::FileLength, 6},
        {"top keys descend", {{"idxp", top(1, 1, kKey), "0           "}}, DefectClass::TopOrder, 1},
        {"used entry after an unused one",
         {{"idxp", top(1, 0, kPointer), "0000000"}},
         DefectClass::TopMarker,
         1},
        {"top entry past the file", {{"idxp", top(1, 0, kPointer), "0000099"}}, DefectClass::TopPointer, 1},
        {"top entry at a top record", {{"idxp", top(1, 0, kPointer), "0000002"}}, DefectClass::TopPointer, 1},
        {"block keys descend", {{"idxp", top(4, 1, kKey), "0           "}}, DefectClass::BlockOrder, 4},
        {"block entry past the file",
         {{"idxp", top(4, 0, kPointer), "0000099"}},
         DefectClass::BlockPointer,
         4},
        {"block entry starts too late",
         {{"idxp", top(5, 0, kPointer), "0000003"}},
         DefectClass::BlockStart,
         5},
        {"chain out of order",
         {{"idxd", detail(1, kNextId), "0000002"},
          {"idxd", detail(2, kNextId), "0000004"},
          {"idxd", detail(4, kNextId), "0000003"}},
         DefectClass::ChainOrder,
         4},
        {"chain leaves the file", {{"idxd", detail(5, kNextId), "8888888"}}, DefectClass::ChainEnd, 5},
        {"chain loops", {{"idxd", detail(3, kNextId), "0000001"}}, DefectClass::ChainLoop, 3},
        {"entry off its chain", {{"idxd", detail(1, kNextId), "0000002"}}, DefectClass::ChainCoverage, 4},
        {"record number 0", {{"idxd", detail(2, kRecordNo), "0000000"}}, DefectClass::RecordPointer, 2},
        {"record past the file", {{"idxd", detail(2, kRecordNo), "0000006"}}, DefectClass::RecordPointer, 2},
        // 林 (code page 950 AA 4C) for 陳 in record 3's name.
        {"key differs from the record", {{"data", 2 * kData + 11, "\xAA\x4C"}}, DefectClass::KeyMismatch, 3},
        {"record without an entry",
         {{"idxd", detail(5, kRecordNo), "0000001"}},
         DefectClass::UnindexedRecord,
         5},
        {"bytes that are not code page 950", {{"data", kData + 11, "\x81\x20"}}, DefectClass::Undecodable, 2},
        // FF FF in record 4's registered address (after 11 + 2 * 19 + 10 = 59 bytes): two
        // characters of one byte each where one double-byte character belongs.
        {"fields that would shift", {{"data", 3 * kData + 59, "\xFF\xFF"}}, DefectClass::RecordLayout, 4},
        // The letter O in record 2's 各筆股數 (118 characters before it, 97 double-byte).
        {"quantity that is no number",
         {{"data", kData + 215, "0000007O56000"}},
         DefectClass::MalformedQuantity,
         2},
        {"quantity with a blank between digits",
         {{"data", kData + 215, "0000007056 00"}},
         DefectClass::MalformedQuantity,
         2},
        // The partial DetailEntry is the sixth of the DetailIndexFile.
        {"partial detail entry", {{"idxd", 5 * kDetail, "0"}}, DefectClass::FileLength, 6},
    };
    for (const auto &c : cases) {
        TempDir dir;
        copyCompleteDisc(dir.path());
        for (const Patch &p : c.patches) {
            const auto path = dataSetFile(dir.path(), psmDataSet(), p.file);
            if (p.offset == std::filesystem::file_size(path))
                std::ofstream(path, std::ios::app | std::ios::binary) << p.bytes;
            else
                patchFile(path, p.offset, p.bytes);
        }
        const DiscCheck result = check(dir.path());
        EXPECT_EQ(result.exitStatus(), 1) << c.name;
        const RegisterCheck &psm = psmOf(result);
        EXPECT_FALSE(psm.whole()) << c.name;
        const auto found = std::find_if(psm.defects.begin(), psm.defects.end(),
                                        [&](const DefectCount &d) { return d.defect == c.expected; });
        ASSERT_NE(found, psm.defects.end()) << c.name << ": " << defectInfo(c.expected).code << " not found";
        ASSERT_FALSE(found->first.empty()) << c.name;
        EXPECT_EQ(found->first.front(), c.firstRecord) << c.name;
        // The file the record numbers count in is the file that was damaged.
        if (c.expected == DefectClass::FileLength) {
            EXPECT_EQ(found->file, c.patches[0].file == "idxd" ? CheckedFile::DetailIndex : CheckedFile::Data)
                << c.name;
        }
        // The other registers are not touched by the damage.
        EXPECT_TRUE(result.registers.at(1).whole()) << c.name;
    }
}

TEST(DiscCheck, RecordNumbersAreDistinctAndSayHowMuchIsLeftOver)
{
    TempDir dir;
    copyCompleteDisc(dir.path());
    // Two used TopEntries after an unused one in top record 1: one top record, named once.
    const auto idxp = dataSetFile(dir.path(), psmDataSet(), "idxp");
    patchFile(idxp, top(1, 0, kPointer), "0000000");
    patchFile(idxp, top(1, 1, kPointer), "0000005");
    std::ofstream(dataSetFile(dir.path(), psmDataSet(), "data"), std::ios::app | std::ios::binary) << "xyz";
    const RegisterCheck psm = psmOf(check(dir.path()));
    for (const DefectCount &d : psm.defects) {
        EXPECT_TRUE(std::is_sorted(d.first.begin(), d.first.end())) << defectInfo(d.defect).code;
        EXPECT_EQ(std::adjacent_find(d.first.begin(), d.first.end()), d.first.end())
            << defectInfo(d.defect).code;
        EXPECT_GE(d.first.front(), 1) << defectInfo(d.defect).code;
    }
    const auto length = std::find_if(psm.defects.begin(), psm.defects.end(), [](const DefectCount &d) {
        return d.defect == DefectClass::FileLength;
    });
    ASSERT_NE(length, psm.defects.end());
    EXPECT_EQ(u8(length->detail), "最後 3 位元組不足一筆（每筆 494 位元組）");
}

TEST(DiscCheck, AnEmptyTopIndexBesideEntriesAndRecordsIsDamageNotAnEmptyRegister)
{
    TempDir dir;
    copyCompleteDisc(dir.path());
    std::ofstream(dataSetFile(dir.path(), psmDataSet(), "idxp"), std::ios::trunc | std::ios::binary);
    const DiscCheck result = check(dir.path());
    EXPECT_EQ(result.exitStatus(), 1);
    const RegisterCheck &psm = psmOf(result);
    EXPECT_EQ(psm.state, RegisterState::Present);
    EXPECT_EQ(psm.records, 5);
    std::set<DefectClass> found;
    for (const DefectCount &d : psm.defects)
        found.insert(d.defect);
    EXPECT_TRUE(found.count(DefectClass::TopMarker));
    EXPECT_TRUE(found.count(DefectClass::ChainCoverage));

    // All three files empty: a register without data, which is whole.
    for (const char *which : {"idxd", "data"})
        std::ofstream(dataSetFile(dir.path(), psmDataSet(), which), std::ios::trunc | std::ios::binary);
    EXPECT_EQ(psmOf(check(dir.path())).state, RegisterState::NoData);
}

TEST(DiscCheck, AFileLargerThanItsIndexCanNameIsCheckedOnlyAsFarAsTheIndexReaches)
{
    // pla numbers its records with six digits: 999,999 at most. Its DataFile is made to
    // claim 2^32 + 10 records (a sparse file): the check reads what the index can name,
    // reports the rest, and neither runs out of memory nor reads on.
    TempDir dir;
    copyCompleteDisc(dir.path());
    const auto data = dataSetFile(dir.path(), plaDataSet(), "data");
    std::filesystem::resize_file(data, ((std::uint64_t{1} << 32) + 10) * 394);
    const DiscCheck result = check(dir.path());
    const RegisterCheck &pla = result.registers.at(1);
    EXPECT_EQ(pla.records, 999999);
    const auto beyond = std::find_if(pla.defects.begin(), pla.defects.end(), [](const DefectCount &d) {
        return d.defect == DefectClass::BeyondIndex;
    });
    ASSERT_NE(beyond, pla.defects.end());
    EXPECT_EQ(beyond->count, (std::int64_t{1} << 32) + 10 - 999999);
    EXPECT_EQ(beyond->first, (std::vector<std::int64_t>{1000000}));
}

TEST(DiscCheck, UnreadableDiscsAndFiles)
{
    {
        TempDir dir;  // no stk, no stkidx
        const DiscCheck c = check(dir.path());
        EXPECT_FALSE(c.opened);
        EXPECT_EQ(c.exitStatus(), 2);
        EXPECT_EQ(u8(c.error), u8(dir.text()) + "資料夾內需同時存在stk及stkidx次目錄");
    }
    {
        TempDir dir;
        writeCompleteDisc(dir.path());
        std::filesystem::remove(dir.path() / "stkidx" / "security.txt");
        EXPECT_EQ(check(dir.path()).exitStatus(), 2);
    }
    {
        // A missing listing and a register without its DetailIndexFile are defects.
        TempDir dir;
        writeCompleteDisc(dir.path());
        std::filesystem::remove(dir.path() / "stk" / "T01.lnx");
        std::filesystem::remove(dataSetFile(dir.path(), plaDataSet(), "idxd"));
        const DiscCheck c = check(dir.path());
        EXPECT_EQ(c.exitStatus(), 1);
        EXPECT_EQ(c.files.at(2).readable, false);
        EXPECT_EQ(c.registers.at(1).state, RegisterState::Unreadable);
        EXPECT_TRUE(psmOf(c).whole());
    }
}

TEST(DiscCheck, RandomDamageNeverCrashesOrHangs)
{
    for (unsigned seed = 1; seed <= 30; ++seed) {
        TempDir dir;
        copyCompleteDisc(dir.path());
        std::mt19937 random(seed);
        for (const char *which : {"idxp", "idxd", "data"}) {
            const auto path = dataSetFile(dir.path(), psmDataSet(), which);
            const auto size = std::filesystem::file_size(path);
            for (int i = 0; i < 6; ++i)
                patchFile(path, random() % size, std::string(1, static_cast<char>(random() % 256)));
        }
        if (seed % 4 == 0)
            std::filesystem::resize_file(dataSetFile(dir.path(), psmDataSet(), "idxd"), 100);
        const DiscCheck c = check(dir.path());
        EXPECT_EQ(c.registers.size(), 14u) << seed;
    }
}
