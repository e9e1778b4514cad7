// Code page, collation, record files, paths and text input on real files.
#include "platform/codepage.h"
#include "platform/collation.h"
#include "platform/paths.h"
#include "platform/record_file.h"
#include "platform/shared_library.h"
#include "platform/text_input.h"
#include "test_support.h"
#include "writer/disc_writer.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace regdisc;
using namespace regdisc::test;

TEST(CodePage, DecodesSingleAndDoubleByteCharacters)
{
    EXPECT_EQ(u8(decodeCp950("A\xa4\x40\xa1\x40z")), "A一　z");
    bool exact = false;
    EXPECT_EQ(encodeCp950(u"王ａ", &exact), "\xa4\xfd\xa2\xe9");
    EXPECT_TRUE(exact);
}

TEST(CodePage, InvalidSequencesBecomeReplacementCharacters)
{
    // A lead byte before a blank, and a lone lead byte at the end.
    const Text text = decodeCp950("\x81 A\xa4");
    EXPECT_EQ(text, u"\uFFFD A\uFFFD");
    bool exact = true;
    EXPECT_EQ(encodeCp950(u"\U0001F600", &exact), "?");
    EXPECT_FALSE(exact);
}

TEST(Collation, OrdersNamesByBig5IgnoringCaseAndWidth)
{
    EXPECT_LT(compareText(u"王", u"陳"), 0);  // Big5 order, not code point order
    EXPECT_GT(compareText(u"陳", u"王"), 0);
    EXPECT_EQ(compareText(u"ａｂｃ公司", u"ＡＢＣ公司"), 0);  // letter case ignored
    EXPECT_LT(compareText(u"王大", u"王大明"), 0);  // a beginning is the smaller
    EXPECT_LT(compareText(u"　", u"王"), 0);  // the blank name key sorts first
    EXPECT_LT(compareBinary(u"A12", u"A123"), 0);
    EXPECT_GT(compareBinary(u"a", u"B"), 0);  // binary: case counts
    EXPECT_LT(textSortKey(u"王"), textSortKey(u"陳"));
    EXPECT_EQ(textSortKey(u"ａ"), textSortKey(u"Ａ"));
}

TEST(RecordFile, ReadsWholeRecordsByNumberAndRefusesOthers)
{
    TempDir dir;
    const auto path = dir.path() / "f";
    std::ofstream(path, std::ios::binary) << "aaaabbbbccccdd";  // three records and a partial one
    RecordFile file;
    ASSERT_TRUE(file.open(path, 4));
    EXPECT_EQ(file.recordCount(), 3);
    EXPECT_EQ(file.read(1), "aaaa");
    EXPECT_EQ(file.read(3), "cccc");
    EXPECT_THROW(file.read(0), RecordReadError);
    EXPECT_THROW(file.read(4), RecordReadError);  // the partial record at the end
    EXPECT_EQ(file.readCount(), 2);
    file.close();
    file.close();  // closing a closed file is no error
    EXPECT_FALSE(file.open(dir.path() / "missing", 4));
    EXPECT_FALSE(file.open(dir.path(), 4));  // a folder is not a record file
}

TEST(RecordFile, OffsetsBeyondFourGigabytes)
{
    TempDir dir;
    const auto path = dir.path() / "big";
    const std::uint64_t records = 9'999'998;  // a full holder register of 494-byte records
    {
        std::ofstream(path, std::ios::binary).put('x');
    }
    std::filesystem::resize_file(path, records * 494);  // sparse
    patchFile(path, (records - 1) * 494, "LAST");
    RecordFile file;
    ASSERT_TRUE(file.open(path, 494));
    EXPECT_EQ(file.recordCount(), static_cast<std::int64_t>(records));
    EXPECT_EQ(file.read(static_cast<std::int64_t>(records)).substr(0, 4), "LAST");
}

// A lookup step reads records out of the file's mapping. A file cut short under it fails
// those reads as reads by position fail: a record whose page is gone at once (the fault is
// caught), a record in what is left of the last page (read as zeros) when the step's reads
// are confirmed. The file written whole again reads again.
TEST(RecordFile, StepReadsOfAFileCutShortFail)
{
    TempDir dir;
    const auto path = dir.path() / "entries";
    std::string bytes;
    for (int n = 1; n <= 300; ++n)  // 300 records of 61 bytes: five pages of 4 KiB
        bytes += std::string(60, static_cast<char>('A' + n % 26)) + "\n";
    bytes[4 * 61 + 7] = '\0';  // record 5 holds a zero byte of its own
    writeFileBytes(path, bytes);
    RecordFile file;
    ASSERT_TRUE(file.open(path, 61));
    {
        RecordReads reads(file);
        EXPECT_EQ(reads.record(1), bytes.substr(0, 61));
        EXPECT_EQ(reads.record(68), bytes.substr(67 * 61, 61));  // across the first page end
        EXPECT_EQ(reads.record(300), bytes.substr(299 * 61, 61));
        EXPECT_EQ(reads.record(5), bytes.substr(4 * 61, 61));
        EXPECT_NO_THROW(reads.confirm());
        EXPECT_THROW(reads.record(301), RecordReadError);
        EXPECT_THROW(reads.record(0), RecordReadError);
    }
    EXPECT_EQ(file.readCount(), 4);  // records used, wherever they came from

    std::filesystem::resize_file(path, 100);  // within the first record's page
    {
        RecordReads reads(file);
        EXPECT_EQ(reads.record(1), bytes.substr(0, 61));
        EXPECT_NO_THROW(reads.confirm());
        reads.record(2);  // bytes 61 to 121: zeros after the end, until the reads are confirmed
        EXPECT_THROW(reads.confirm(), RecordReadError);
    }
    for (std::int64_t n : {200, 300}) {  // pages gone
        RecordReads reads(file);
        EXPECT_THROW(reads.record(n), RecordReadError) << n;
    }
    std::filesystem::resize_file(path, 4096);  // the record across the page end loses its tail
    {
        RecordReads reads(file);
        EXPECT_THROW(reads.record(68), RecordReadError);
    }
    EXPECT_THROW(file.read(68), RecordReadError);  // as a read by position

    writeFileBytes(path, bytes);
    RecordReads reads(file);
    EXPECT_EQ(reads.record(200), bytes.substr(199 * 61, 61));
    EXPECT_NO_THROW(reads.confirm());
}

// The same steps on records in memory, as tests and fuzzing hold them.
TEST(MemoryRecordSource, StepReadsOfBytesCutShortFail)
{
    MemoryRecordSource source(std::string("aaaabbbbcccc"), 4);
    source.truncate(6);
    RecordReads reads(source);
    EXPECT_EQ(reads.record(1), "aaaa");
    EXPECT_THROW(reads.record(2), RecordReadError);
    EXPECT_NO_THROW(reads.confirm());
    EXPECT_EQ(source.readCount(), 2);
}

TEST(Paths, ComponentsMatchWithoutRegardToCase)
{
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "STK");
    std::ofstream(dir.path() / "STK" / "T01.PSM") << "x";
    const auto resolved = resolvePath(dir.text() + u"/stk/t01.psm", false);
    EXPECT_TRUE(std::filesystem::exists(resolved));
    EXPECT_EQ(resolved.filename(), "T01.PSM");
    EXPECT_FALSE(std::filesystem::exists(resolvePath(dir.text() + u"/stk/t02.psm", false)));
    // A doubled separator (a folder ending in one) resolves like a single one.
    EXPECT_TRUE(std::filesystem::exists(resolvePath(dir.text() + u"//STK//T01.PSM", false)));
}

TEST(Paths, EmptyFolderResolvesAgainstTheCurrentDrivesRoot)
{
    const auto root = currentDriveRoot();
    EXPECT_TRUE(std::filesystem::is_directory(root));
    EXPECT_EQ(resolvePath(u"/stkidx/security.txt", true), root / "stkidx" / "security.txt");
}

struct ListCase {
    const char *name;
    const char *text;
    bool complete;
    std::vector<const char *> values;
};

// The case's name where a failing test shows its parameter.
void PrintTo(const ListCase &c, std::ostream *os)
{
    *os << c.name;
}

class ListInput : public testing::TestWithParam<ListCase> {};

TEST_P(ListInput, ReadsFiveValues)
{
    const ListCase &c = GetParam();
    const ListValues list = readListValues(t(c.text), 5);
    EXPECT_EQ(list.complete, c.complete);
    std::vector<std::string> got;
    for (const Text &v : list.values)
        got.push_back(u8(v));
    EXPECT_EQ(got, std::vector<std::string>(c.values.begin(), c.values.end()));
}

INSTANTIATE_TEST_SUITE_P(
    SecurityTxt, ListInput,
    testing::Values(ListCase{"Lines",
                             "2330\r\n台積電\r\n113/12/06\r\nY\r\n113/12/09\r\n",
                             true,
                             {"2330", "台積電", "113/12/06", "Y", "113/12/09"}},
                    ListCase{"Commas",
                             "2330,台積電,113/12/06,Y,113/12/09",
                             true,
                             {"2330", "台積電", "113/12/06", "Y", "113/12/09"}},
                    ListCase{"QuotedKeepsCommas",
                             "\"2330\",\"A,B\",  \"d\" ,N,\"p\"\r\n",
                             true,
                             {"2330", "A,B", "d", "N", "p"}},
                    ListCase{"EmptyLineAndDoubleComma", "a\r\n\r\nc,,e\r\n", true, {"a", "", "c", "", "e"}},
                    ListCase{"BareLineFeeds", "a\nb\nc\nd\ne", true, {"a", "b", "c", "d", "e"}},
                    ListCase{"LeadingBlanksSkipped",
                             "  a,  b\r\n c\r\nd\r\ne\r\nignored",
                             true,
                             {"a", "b", "c", "d", "e"}},
                    ListCase{"FourValuesFail", "a\r\nb\r\nc\r\nd\r\n", false, {"a", "b", "c", "d"}},
                    ListCase{"EmptyFileFails", "", false, {}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LineInput, SplitsOnEveryLineEnd)
{
    const auto lines = readLines(u"A\r\nB\rC\nD");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3], u"D");
    EXPECT_TRUE(readLines(u"").empty());
    EXPECT_EQ(readLines(u"A\r\n\r\n").size(), 2u);
}

// A library opened at run time: a missing one is reported, not a fault; a present one
// gives its functions.
TEST(SharedLibrary, OpensWhatIsThereAndReportsWhatIsNot)
{
    const SharedLibrary missing("libregdisc-no-such-library.so.1");
    EXPECT_FALSE(missing.isOpen());
    EXPECT_EQ(missing.symbol("workbook_new_opt"), nullptr);
#ifdef __linux__
    const SharedLibrary xlsx("libxlsxwriter.so.4");
    ASSERT_TRUE(xlsx.isOpen());
    EXPECT_NE(xlsx.symbol("workbook_new_opt"), nullptr);
    EXPECT_EQ(xlsx.symbol("no_such_function_here"), nullptr);
#endif
}
