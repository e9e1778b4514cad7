// A damaged disc never crashes, loops or shows a record the index does not designate: each
// fault ends with a message and the screen keeps what it showed.
#include "test_support.h"

#include <gtest/gtest.h>

using namespace regdisc;
using namespace regdisc::test;

namespace {

// Seven holders; DetailEntry i designates record i. The ID chain runs 4, 5, 1, 2, 3, 6, 7.
std::vector<Text> holders()
{
    const char *ids[] = {"A123456789", "A223456789", "B123456789", "12345678",
                         "A123456780", "C100000001", "F100000002"};
    const char *names[] = {"王大明", "王小明", "陳美玲", "大同公司", "林志豪", "王大明", "林志明"};
    std::vector<Text> records;
    for (int i = 0; i < 7; ++i)
        records.push_back(makeRecord(
            psmDataSet(),
            {{"account", "1111000000" + std::to_string(i + 1)}, {"name", names[i]}, {"id", ids[i]}}));
    return records;
}

// One chain section: every walk starts at the chain's first entry.
const IndexOptions kOneSection{.sectionSize = 7};

constexpr int kDetailLength = 61;
std::uint64_t detailOffset(int entry, int byte)
{
    return static_cast<std::uint64_t>(entry - 1) * kDetailLength + byte;
}
constexpr int kRecordNoByte = 33;  // characters 28-34 after 21 single-byte and 6 double-byte characters
constexpr int kNextIdByte = 40;  // next-pointer of the ID chain

class DamagedDisc : public testing::Test {
protected:
    void SetUp() override { writeTestDisc(dir.path(), {{&psmDataSet(), holders(), kOneSection}}); }
    std::filesystem::path file(std::string_view which)
    {
        return dataSetFile(dir.path(), psmDataSet(), which);
    }
    TempDir dir;
};

}  // namespace

TEST_F(DamagedDisc, RecordNumberOutsideTheDataFile)
{
    for (const char *number : {"0000000", "0000008", "ABCDEFG"}) {
        writeTestDisc(dir.path(), {{&psmDataSet(), holders(), kOneSection}});
        patchFile(file("idxd"), detailOffset(1, kRecordNoByte), number);
        OpenScreen open(dir.path(), psmDataSet());
        open.query("依 統一編號", "B123456789");  // a sound query first
        const Text shown = open.screen->box("tx_o_03");
        EXPECT_EQ(open.query("依 統一編號", "A123456789"), LookupOutcome::Damaged) << number;
        EXPECT_EQ(open.messages.texts().back(), "MSG_1_99:資料燒錄錯誤 !");
        EXPECT_EQ(open.screen->box("tx_o_03"), shown);
        EXPECT_EQ(u8(open.screen->box("tx_o_pnt")), "0001 0001 0001 ");
        EXPECT_FALSE(open.screen->nextEnabled());
    }
}

TEST_F(DamagedDisc, LoopingChainsEnd)
{
    // Entry 2 (A223456789) leads back to entry 5 (A123456780): 5, 1, 2, 5, 1, 2, ...
    patchFile(file("idxd"), detailOffset(2, kNextIdByte), "0000005");
    {
        // 次筆 along the loop stops once the chain is longer than the file.
        OpenScreen open(dir.path(), psmDataSet());
        const auto shown = open.queryAll("依 統一編號", "A");
        EXPECT_LE(shown.size(), 8u);
        EXPECT_EQ(open.messages.texts(), std::vector<std::string>{"MSG_1_99:資料燒錄錯誤 !"});
        EXPECT_FALSE(open.screen->nextEnabled());
    }
    {
        // A chain walk for a key beyond the loop would never reach it.
        OpenScreen open(dir.path(), psmDataSet());
        EXPECT_EQ(open.query("依 統一編號", "B"), LookupOutcome::Damaged);
        EXPECT_EQ(open.messages.texts(), std::vector<std::string>{"MSG_1_99:資料燒錄錯誤 !"});
    }
}

TEST_F(DamagedDisc, ChainEndBeforeTheKeyIsNoMatch)
{
    // Entry 3 (B123456789) ends the ID chain early: C100000001 and F100000002 are cut off.
    patchFile(file("idxd"), detailOffset(3, kNextIdByte), "9999999");
    OpenScreen open(dir.path(), psmDataSet());
    EXPECT_EQ(open.query("依 統一編號", "C"), LookupOutcome::PrefixMessage);
    EXPECT_EQ(open.messages.texts(), std::vector<std::string>{"MSG_1_04:無符合資料 !"});
}

TEST_F(DamagedDisc, TruncatedFiles)
{
    std::filesystem::resize_file(file("data"), 6 * 494 + 100);  // the last record cut in half
    std::filesystem::resize_file(file("idxp"), 1900 + 5);  // only the ID top record is whole
    OpenScreen open(dir.path(), psmDataSet());
    ASSERT_TRUE(open.screen);
    EXPECT_EQ(open.query("依 統一編號", "F"), LookupOutcome::Damaged);  // its block is gone
    EXPECT_EQ(open.query("依 中文戶名", "王"), LookupOutcome::Damaged);  // its top record is gone
    EXPECT_EQ(open.messages.texts(),
              (std::vector<std::string>{"MSG_1_99:資料燒錄錯誤 !", "MSG_1_99:資料燒錄錯誤 !"}));
}

TEST_F(DamagedDisc, IndexPointersOutsideTheirFiles)
{
    // The ID top record's first entry names block 999.
    patchFile(file("idxp"), 12, "0000999");
    OpenScreen open(dir.path(), psmDataSet());
    EXPECT_EQ(open.query("依 統一編號", "A"), LookupOutcome::Damaged);
    // A block whose keys are all less than the input takes no entry.
    writeTestDisc(dir.path(), {{&psmDataSet(), holders(), kOneSection}});
    patchFile(file("idxp"), 0, "ZZZZZZZZZZZZ");
    OpenScreen other(dir.path(), psmDataSet());
    EXPECT_EQ(other.query("依 統一編號", "G"), LookupOutcome::TopScanMessage);
    EXPECT_EQ(other.messages.texts().back(), "MSG_1_02:無符合資料 !");
}

TEST_F(DamagedDisc, InvalidBig5BytesAreShownAsReplacementCharacters)
{
    patchFile(file("data"), 11, "\x81\x20\xff");  // record 1's name
    OpenScreen open(dir.path(), psmDataSet());
    ASSERT_EQ(open.query("依 統一編號", "A123456789"), LookupOutcome::Shown);
    const Text name = open.screen->box("tx_o_02");
    EXPECT_EQ(name.size(), 19u);
    EXPECT_EQ(name.substr(0, 2), u"\uFFFD ");
    // The fields after it moved, but every box is still filled without a fault.
    EXPECT_EQ(open.screen->box("tx_o_pnt"), u"0001 0001 0001 ");
}

namespace {

// The name KeyKind's block, one BlockEntry a record (sections of one entry): its keys are
// six double-byte characters (12 bytes), each followed by a 7-digit pointer. Its chain runs
// 大同公司 4, 王大明 1, 王大明 6, 王小明 2, 林志明 7, 林志豪 5, 陳美玲 3 (Big5 order: 大 A46A,
// 王 A4FD, 林 AA4C, 陳 B3AF).
const IndexOptions kSectionsOfOne{.sectionSize = 1};
constexpr std::uint64_t kNameBlock = 5 * 1900;  // record 6: three top records, then a block each
std::string nameKey(std::string_view big5)  // a one-character key, filled with ideographic spaces
{
    std::string key(big5);
    while (key.size() < 12)
        key += "\xA1\x40";
    return key;
}

// The disc with its name block sound; the tests patch it.
class DamagedIndex : public testing::Test {
protected:
    void SetUp() override
    {
        writeTestDisc(dir.path(), {{&psmDataSet(), holders(), kSectionsOfOne}});
        OpenScreen sound(dir.path(), psmDataSet());
        ASSERT_EQ(sound.queryAll("依 中文戶名", "林"), (std::vector<std::int64_t>{7, 5}));
    }
    void patchNameBlock(const std::string &entries)
    {
        patchFile(dataSetFile(dir.path(), psmDataSet(), "idxp"), kNameBlock, entries);
    }
    TempDir dir;
};

}  // namespace

// A scan stops at the first entry whose key is not less than the input, whatever order the
// entries after it are in: a block out of order is scanned as it stands.
TEST_F(DamagedIndex, ABlockOutOfOrderIsScannedEntryByEntry)
{
    // 陳 before 王 before 林: the first key not less than 林 is the first, 陳, which names
    // entry 4; the third, 林, names entry 5 and would skip 林志明.
    patchNameBlock(nameKey("\xB3\xAF") + "0000004" + nameKey("\xA4\xFD") + "0000001" + nameKey("\xAA\x4C") +
                   "0000005");
    OpenScreen damaged(dir.path(), psmDataSet());
    EXPECT_EQ(damaged.queryAll("依 中文戶名", "林"), (std::vector<std::int64_t>{7, 5}));
    EXPECT_EQ(damaged.queryAll("依 中文戶名", "陳"), (std::vector<std::int64_t>{3}));
}

// A block changed on disk under an open screen is scanned as it is now.
TEST_F(DamagedIndex, ABlockChangedUnderTheScreenIsReadAsItIsNow)
{
    OpenScreen open(dir.path(), psmDataSet());
    EXPECT_EQ(open.queryAll("依 中文戶名", "林"), (std::vector<std::int64_t>{7, 5}));
    // The first BlockEntry now holds 林 and names entry 5 (林志豪).
    patchNameBlock(nameKey("\xAA\x4C") + "0000005");
    EXPECT_EQ(open.queryAll("依 中文戶名", "林"), (std::vector<std::int64_t>{5}));
    // 王 is less than 林 too: the walk starts at 林志豪 and finds no 王.
    EXPECT_TRUE(open.queryAll("依 中文戶名", "王").empty());
}
