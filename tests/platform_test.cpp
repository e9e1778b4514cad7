// Code page, collation, record files, paths and text input on real files.
#include "platform/codepage.h"
#include "platform/collation.h"
#include "platform/paths.h"
#include "platform/record_file.h"
#include "platform/text_input.h"
#include "test_support.h"

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
