// Damaged and tampered discs, as a clerk could be handed them: pointers outside their
// files, chains that loop, end early or go down, files cut short (also under an open
// screen), a disc information file that points outside the folder, files past their bounds.
// A query never crashes, loops or shows a record the index does not designate: each fault
// ends with a message, in bounded time, and the screen keeps what it showed.
#include "platform/codepage.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <functional>
#include <sstream>

using namespace regdisc;
using namespace regdisc::test;

namespace {

const char *kId = "依 統一編號";
const std::string kDamaged = "MSG_1_99:資料燒錄錯誤 !";

// The holder register's DetailEntry: 61 bytes; the DataFile record number at bytes 33-39
// (after 21 single-byte and 6 double-byte characters), the ID chain's next-pointer at 40-46.
constexpr int kDetailLength = 61;
constexpr int kRecordLength = 494;
constexpr int kRecordNoByte = 33;
constexpr int kNextIdByte = 40;
std::uint64_t entryOffset(int entry, int byte = 0)
{
    return static_cast<std::uint64_t>(entry - 1) * kDetailLength + static_cast<std::uint64_t>(byte);
}

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
        patchFile(file("idxd"), entryOffset(1, kRecordNoByte), number);
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

TEST_F(DamagedDisc, ChainEndBeforeTheKeyIsNoMatch)
{
    // Entry 3 (B123456789) ends the ID chain early: C100000001 and F100000002 are cut off.
    patchFile(file("idxd"), entryOffset(3, kNextIdByte), "9999999");
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

namespace {

// Holders whose records lie in ID order, so the ID chain runs 1, 2, 3, ... When `ids` holds
// equal IDs, their entries follow each other in record order.
std::vector<Text> holdersWithIds(const std::vector<std::string> &ids)
{
    std::vector<Text> records;
    for (size_t i = 0; i < ids.size(); ++i)
        records.push_back(
            makeRecord(psmDataSet(),
                       {{"account", std::to_string(11110000001 + i)}, {"name", "王大明"}, {"id", ids[i]}}));
    return records;
}

const std::vector<std::string> kSixIds = {"A180000001", "A180000002", "A180000003",
                                          "A180000004", "A180000005", "A180000006"};

std::string fileBytes(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Everything a query screen shows: its boxes, buttons, texts and history.
struct ScreenState {
    std::map<std::string, std::string> boxes;
    bool next = false, previous = false, following = false;
    std::string input, combo;
    int oldest = 0, current = 0, newest = 0;
    std::int64_t shown = 0;
    bool operator==(const ScreenState &) const = default;
};

ScreenState stateOf(const QueryScreenModel &screen)
{
    ScreenState s;
    for (const std::string &name : screen.boxNames())
        s.boxes[name] = u8(screen.box(name));
    s.next = screen.nextEnabled();
    s.previous = screen.previousEnabled();
    s.following = screen.followingEnabled();
    s.input = u8(screen.inputText());
    s.combo = u8(screen.comboText());
    s.oldest = screen.history().oldestSlot();
    s.current = screen.history().currentSlot();
    s.newest = screen.history().newestSlot();
    s.shown = screen.recordShown();
    return s;
}

void PrintTo(const ScreenState &s, std::ostream *os)
{
    *os << "record " << s.shown << ", counters \"" << s.boxes.at("tx_o_pnt") << "\", 次筆 " << s.next
        << ", 前一畫面 " << s.previous << ", 下一畫面 " << s.following << ", slots " << s.oldest << "/"
        << s.current << "/" << s.newest << ", input \"" << s.input << "\"";
}

class HostileDisc : public testing::Test {
protected:
    void write(const std::vector<std::string> &ids)
    {
        // One chain section: every walk starts at the chain's first entry.
        writeTestDisc(dir.path(), {{&psmDataSet(), holdersWithIds(ids), {.sectionSize = int(ids.size())}}});
    }
    std::filesystem::path file(std::string_view which) const
    {
        return dataSetFile(dir.path(), psmDataSet(), which);
    }
    void cut(std::string_view which, std::uint64_t bytes)
    {
        std::filesystem::resize_file(file(which), bytes);
    }
    TempDir dir;
};

}  // namespace

// psm, 依 統一編號 A18: the DataFile is cut to nothing while the screen holds it, 次筆 and
// 查詢 fail; once the file is back, the next 查詢 is the second record remembered.
TEST_F(HostileDisc, AFailedReadAddsNoHistorySlot)
{
    write(kSixIds);
    OpenScreen open(dir.path(), psmDataSet());
    ASSERT_EQ(open.query(kId, "A18"), LookupOutcome::Shown);
    ASSERT_EQ(u8(open.screen->box("tx_o_pnt")), "0001 0001 0001 ");
    ASSERT_TRUE(open.screen->nextEnabled());
    const std::string data = fileBytes(file("data"));
    cut("data", 0);

    EXPECT_EQ(open.screen->next(), LookupOutcome::Damaged);
    EXPECT_EQ(open.query(kId, "A18"), LookupOutcome::Damaged);
    EXPECT_EQ(open.messages.texts(), (std::vector<std::string>{kDamaged, kDamaged}));
    EXPECT_EQ(u8(open.screen->box("tx_o_pnt")), "0001 0001 0001 ");
    EXPECT_EQ(u8(open.screen->box("tx_o_03")), "A180000001");
    EXPECT_FALSE(open.screen->previousEnabled());
    EXPECT_FALSE(open.screen->nextEnabled());

    writeFileBytes(file("data"), data);  // the same file, whole again
    ASSERT_EQ(open.query(kId, "A18"), LookupOutcome::Shown);
    EXPECT_EQ(u8(open.screen->box("tx_o_pnt")), "0001 0002 0002 ");
    open.screen->previousScreen();
    EXPECT_EQ(u8(open.screen->box("tx_o_pnt")), "0001 0001 0002 ");
    EXPECT_EQ(open.screen->recordShown(), 1);
    EXPECT_FALSE(open.screen->previousEnabled());
}

// Every step that cannot read what it would show (the record, the look-ahead entry, an
// entry of the walk, a remembered record) leaves the screen exactly as it was; a lookup step
// also disables 次筆.
TEST_F(HostileDisc, EveryFailedStepLeavesTheScreenAsItWas)
{
    struct Case {
        const char *name;
        std::function<void(OpenScreen &)> before;  // after 查詢 A18 and one 次筆, before the cut
        std::string_view file;  // cut to `keep` bytes
        std::uint64_t keep;
        std::function<void(OpenScreen &)> action;
        bool lookup;
    };
    const auto next = [](OpenScreen &o) { o.screen->next(); };
    const auto query = [](OpenScreen &o) { o.screen->query(); };
    const auto none = [](OpenScreen &) {};
    const auto type = [](const char *input) {
        return [input](OpenScreen &o) { o.screen->typeInput(t(input)); };
    };
    const Case cases[] = {
        {"次筆, its record cut", none, "data", 2 * kRecordLength, next, true},
        {"次筆, its look-ahead entry cut", none, "idxd", 3 * kDetailLength, next, true},
        {"次筆, its record half cut", none, "data", 2 * kRecordLength + 100, next, true},
        {"查詢, its record cut", type("A180000005"), "data", 2 * kRecordLength, query, true},
        {"查詢, its look-ahead entry cut", type("A180000004"), "idxd", 4 * kDetailLength, query, true},
        {"查詢, an entry of the walk cut", type("A180000005"), "idxd", 2 * kDetailLength, query, true},
        {"前一畫面, the record cut", none, "data", 0, [](OpenScreen &o) { o.screen->previousScreen(); },
         false},
        {"下一畫面, the record cut", [](OpenScreen &o) { o.screen->previousScreen(); }, "data", kRecordLength,
         [](OpenScreen &o) { o.screen->nextScreen(); }, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        write(kSixIds);
        OpenScreen open(dir.path(), psmDataSet());
        ASSERT_EQ(open.query(kId, "A18"), LookupOutcome::Shown);
        ASSERT_EQ(open.screen->next(), LookupOutcome::Shown);
        c.before(open);
        ScreenState expected = stateOf(*open.screen);
        ASSERT_TRUE(open.messages.shown.empty());
        cut(c.file, c.keep);
        c.action(open);
        EXPECT_EQ(open.messages.texts(), std::vector<std::string>{kDamaged});
        if (c.lookup)
            expected.next = false;
        EXPECT_EQ(stateOf(*open.screen), expected);
    }
}

// A file removed while the screen holds it is still read through the open file.
TEST_F(HostileDisc, AFileRemovedUnderTheScreenIsNoFault)
{
    write(kSixIds);
    OpenScreen open(dir.path(), psmDataSet());
    std::filesystem::remove(file("data"));
    std::filesystem::remove(file("idxd"));
    EXPECT_EQ(open.query(kId, "A180000003"), LookupOutcome::Shown);
    EXPECT_EQ(u8(open.screen->box("tx_o_03")), "A180000003");
}

// A chain that returns to an entry it has visited is found within a few rounds of the loop,
// however many entries the DetailIndexFile claims: the loop is not walked until the file's
// record count runs out.
TEST_F(HostileDisc, LoopingChainsEndAtOnce)
{
    // Records 4, 5 and 6 share one ID, so only the loop, not the order, tells the damage.
    const std::vector<std::string> ids = {"A180000001", "A180000002", "A180000003", "C100000001",
                                          "C100000001", "C100000001", "F100000001"};
    struct Case {
        const char *name;
        int entry;  // whose ID next-pointer is bent
        const char *to;
        const char *input;
    };
    const Case cases[] = {
        {"back over equal keys, 次筆", 6, "0000004", "C"},
        {"back over equal keys, a walk beyond the loop", 6, "0000004", "D"},
        {"an entry that names itself, 次筆", 7, "0000007", "F"},
        {"an entry that names itself, a walk beyond it", 2, "0000002", "B"},
        {"back to the chain's start, 次筆", 3, "0000001", "A"},
        {"back to the chain's start, a walk beyond the loop", 3, "0000001", "B"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        write(ids);
        patchFile(file("idxd"), entryOffset(c.entry, kNextIdByte), c.to);
        // A DetailIndexFile extended to a million entries (sparse: free on disk).
        cut("idxd", entryOffset(1'000'001));
        OpenScreen open(dir.path(), psmDataSet());
        std::vector<std::int64_t> shown;
        if (open.query(kId, c.input) == LookupOutcome::Shown) {
            shown.push_back(open.screen->recordShown());
            for (int presses = 0; presses < 100 && open.screen->nextEnabled(); ++presses)
                if (open.screen->next() == LookupOutcome::Shown)
                    shown.push_back(open.screen->recordShown());
        }
        EXPECT_LE(shown.size(), 6u);
        EXPECT_EQ(open.messages.texts(), std::vector<std::string>{kDamaged});
        EXPECT_FALSE(open.screen->nextEnabled());
        EXPECT_LE(open.menu.slot(psmDataSet().detail.slot).readCount(), 30);
    }
}

// A sorted chain cannot go down: an entry whose key is less than the one before it is damage,
// whether the walk or the look-ahead meets it. Equal keys follow each other soundly.
TEST_F(HostileDisc, ChainsThatGoDown)
{
    const auto bend = [this] {
        // Entry 7, appended: a copy of entry 1 with a smaller ID that ends the chain; entry 3
        // leads to it.
        std::string entry = fileBytes(file("idxd")).substr(0, kDetailLength);
        entry.replace(0, 10, "A100000000");
        entry.replace(kNextIdByte, 7, "9999999");
        std::ofstream(file("idxd"), std::ios::binary | std::ios::app) << entry;
        patchFile(file("idxd"), entryOffset(3, kNextIdByte), "0000007");
    };
    {
        write(kSixIds);
        bend();
        OpenScreen open(dir.path(), psmDataSet());
        EXPECT_EQ(open.query(kId, "A180000004"), LookupOutcome::Damaged);  // the walk: 1, 2, 3, 7
        EXPECT_EQ(open.query(kId, "A180000003"), LookupOutcome::Damaged);  // the look-ahead after 3
        EXPECT_EQ(open.messages.texts(), (std::vector<std::string>{kDamaged, kDamaged}));
        EXPECT_EQ(open.screen->recordShown(), 0);
        // The records before the bend are found and stepped through up to it.
        open.messages.clear();
        EXPECT_EQ(open.queryAll(kId, "A18"), (std::vector<std::int64_t>{1, 2}));
        EXPECT_EQ(open.messages.texts(), std::vector<std::string>{kDamaged});
    }
    {
        write({"A180000001", "B100000001", "B100000001", "B100000001", "C100000001"});
        OpenScreen open(dir.path(), psmDataSet());
        EXPECT_EQ(open.queryAll(kId, "B"), (std::vector<std::int64_t>{2, 3, 4}));
        EXPECT_TRUE(open.messages.shown.empty());
    }
}

// A pointer that leads into a sparse stretch of the DetailIndexFile (NUL bytes) meets a key
// lower than the one before it: damage at once, not a walk through the stretch.
TEST_F(HostileDisc, PointerIntoAnEmptyStretch)
{
    write(kSixIds);
    cut("idxd", entryOffset(500'001));
    patchFile(file("idxd"), entryOffset(2, kNextIdByte), "0400000");
    OpenScreen open(dir.path(), psmDataSet());
    EXPECT_EQ(open.query(kId, "A180000004"), LookupOutcome::Damaged);
    EXPECT_LE(open.menu.slot(psmDataSet().detail.slot).readCount(), 3);
}

// The baseName names files inside the disc folder only. Anything that is not a file-name
// stem fails like an unreadable disc information file, replaces no value, and no file is
// opened by it.
TEST_F(HostileDisc, BaseNameOutsideTheFolder)
{
    write(kSixIds);
    writeListing(dir.path(), u"T01", "ptr", {u"T01 sound"});
    // A listing beside the disc folder, and one at the folder's root.
    writeFileBytes(dir.path() / "secret.ptr", "SECRET\r\n");
    const std::filesystem::path securityTxt = dir.path() / "stkidx" / "security.txt";
    const std::string rest = encodeCp950(u"\r\n新名稱\r\n114/01/01\r\nY\r\n114/01/02\r\n");
    const std::string bad[] = {
        "../secret",
        std::string("../secret.ptr\0", 14),  // a NUL would cut ".ptr" off at the system call
        "../../../../etc/hostname",
        std::string("../../../../etc/hostname\0", 25),
        "..\\secret",
        "/etc/hostname",
        "C:secret",
        "stk/T01",
        "..",
        ".",
        "T01.psm",
        "",
        "\"T01 \"",
        "T01\x1b[2J",
        "\"T01\t\"",
        "\x81\x20",  // not code page 950
        "CON",
        "nul",
        "LPT1",
        std::string(65, '1'),
    };
    RecordedMessages messages;
    MainMenuModel menu(messages, dir.text());
    ASSERT_TRUE(menu.checkDataFolder(menu.folderText()));
    ASSERT_EQ(u8(menu.discInfo().baseName), "T01");
    const std::string failed = "MSG_0_00 " + u8(dir.text()) + "/stkidx/security.txt 開檔錯誤 !";
    for (const std::string &name : bad) {
        SCOPED_TRACE(name);
        writeFileBytes(securityTxt, name + rest);
        messages.clear();
        menu.readDiscInfo();
        EXPECT_EQ(messages.texts(), std::vector<std::string>{failed});
        EXPECT_EQ(u8(menu.productionDateBox()), "開檔錯誤");
        EXPECT_TRUE(menu.readFailed());
        EXPECT_EQ(u8(menu.discInfo().baseName), "T01");
        EXPECT_EQ(u8(menu.discInfo().securityName), "測試公司");
        // A listing button reads the disc information again and opens nothing.
        messages.clear();
        EXPECT_FALSE(menu.openListing(ptrListing()));
        EXPECT_FALSE(menu.openDataSet(psmDataSet()));
        EXPECT_EQ(messages.texts(), (std::vector<std::string>{failed, failed}));
        // The silent start-up read leaves the box empty.
        MainMenuModel startup(messages, dir.text());
        startup.startupRead();
        EXPECT_EQ(u8(startup.productionDateBox()), "");
        EXPECT_EQ(u8(startup.discInfo().baseName), "");
    }
    // Stems real discs use: the security code, with letters, and Chinese text.
    for (const char *name : {"2330", "00632R", "T01", "台積電", "T_01-a", "COM", "CONS"}) {
        SCOPED_TRACE(name);
        writeFileBytes(securityTxt, encodeCp950(t(name)) + rest);
        messages.clear();
        menu.readDiscInfo();
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(u8(menu.discInfo().baseName), name);
        EXPECT_EQ(u8(menu.productionDateBox()), "製作日期:114/01/02");
    }
}

// The disc information file is read as far as its five values reach: blanks between them
// are no bound, a file that never completes them is refused after a bounded read.
TEST_F(HostileDisc, DiscInformationBounds)
{
    write(kSixIds);
    const std::filesystem::path securityTxt = dir.path() / "stkidx" / "security.txt";
    RecordedMessages messages;
    MainMenuModel menu(messages, dir.text());

    // A first value followed by more than a million blanks (past 1 MiB), then the other four.
    writeFileBytes(securityTxt, "T02" + std::string(1'200'000, ' ') + "\r\n" +
                                    encodeCp950(u"新名稱\r\n114/01/01\r\nY\r\n114/01/02\r\n"));
    EXPECT_TRUE(menu.checkDataFolder(menu.folderText()));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(u8(menu.discInfo().baseName), "T02");
    EXPECT_EQ(u8(menu.productionDateBox()), "製作日期:114/01/02");

    // Five values at the start of a file of 3 GB (sparse): only the start is read.
    writeFileBytes(securityTxt, encodeCp950(u"T03,名稱,114/01/01,N,114/01/03\r\n"));
    std::filesystem::resize_file(securityTxt, 3ull << 30);
    menu.readDiscInfo();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(u8(menu.discInfo().productionDate), "114/01/03");

    // A last value that runs on past the first pieces read is read whole.
    writeFileBytes(securityTxt, "T04,a,b,c," + std::string(100'000, 'x') + "\r\n");
    menu.readDiscInfo();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(menu.discInfo().productionDate, Text(100'000, u'x'));

    // A first value that never ends (40 MB, sparse): not disc information.
    writeFileBytes(securityTxt, "T05");
    std::filesystem::resize_file(securityTxt, 40'000'000);
    menu.readDiscInfo();
    EXPECT_EQ(messages.texts(),
              std::vector<std::string>{"MSG_0_00 " + u8(dir.text()) + "/stkidx/security.txt 開檔錯誤 !"});
}

// A count listing larger than its bound is refused as a whole with a message that says so,
// never shown cut short.
TEST_F(HostileDisc, ListingLargerThanItsBound)
{
    write(kSixIds);
    writeListing(dir.path(), u"T01", "ptr", {u"A", u"B"});
    const std::filesystem::path ptr = dir.path() / "stk" / "T01.ptr";
    std::filesystem::resize_file(ptr, (64u << 20) + 1);  // 64 MiB and one byte (sparse)
    RecordedMessages messages;
    MainMenuModel menu(messages, dir.text());
    ASSERT_TRUE(menu.checkDataFolder(menu.folderText()));
    EXPECT_FALSE(menu.openListing(ptrListing()));
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"MSG_0_18 " + u8(dir.text()) +
                                                         "/stk/T01.ptr 檔案過大，無法完整顯示 !"});
    EXPECT_TRUE(menu.buttonEnabled("cmd_5"));
    // A listing of a few hundred thousand lines is shown whole.
    std::vector<Text> lines(300'000, u"2330 股東名冊 123456 筆");
    lines.back() = u"最後一行";
    writeListing(dir.path(), u"T01", "ptr", lines);
    messages.clear();
    const auto listing = menu.openListing(ptrListing());
    ASSERT_TRUE(listing);
    EXPECT_TRUE(listing->text().ends_with(u"\r\n  最後一行"));
    EXPECT_TRUE(messages.shown.empty());
}

// Something else than a regular file where a disc file should be (a FIFO would wait for a
// writer for ever) is a file that cannot be opened.
TEST_F(HostileDisc, NoRegularFile)
{
    write(kSixIds);
    writeListing(dir.path(), u"T01", "lnx", {u"A"});
    std::filesystem::remove(file("data"));
    std::filesystem::remove(dir.path() / "stk" / "T01.lnx");
    ASSERT_EQ(::mkfifo(file("data").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir.path() / "stk" / "T01.lnx").c_str(), 0600), 0);
    RecordedMessages messages;
    MainMenuModel menu(messages, dir.text());
    ASSERT_TRUE(menu.checkDataFolder(menu.folderText()));
    EXPECT_FALSE(menu.openDataSet(psmDataSet()));
    EXPECT_FALSE(menu.openListing(lnxListing()));
    const std::string stk = u8(dir.text()) + "/stk/";
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"MSG_0_04 " + stk + "T01.psm 開檔錯誤 !",
                                                          "MSG_0_27 " + stk + "T01.lnx 開檔錯誤 !"}));
}

// A link on a tampered disc that leads out of the folder names no file; a link that stays
// inside it is followed.
TEST_F(HostileDisc, LinksLeadingOutOfTheFolder)
{
    TempDir outside;
    write(kSixIds);
    writeListing(outside.path(), u"T01", "ptr", {u"OUTSIDE"});
    writeListing(dir.path(), u"T01", "lnx", {u"INSIDE"});
    std::filesystem::rename(dir.path() / "stk" / "T01.lnx", dir.path() / "stkidx" / "counts.txt");
    std::filesystem::create_symlink(outside.path() / "stk" / "T01.ptr", dir.path() / "stk" / "T01.ptr");
    std::filesystem::create_symlink("../stkidx/counts.txt", dir.path() / "stk" / "T01.lnx");
    std::filesystem::rename(file("data"), outside.path() / "T01.psm");
    std::filesystem::create_symlink(outside.path() / "T01.psm", file("data"));

    RecordedMessages messages;
    MainMenuModel menu(messages, dir.text());
    ASSERT_TRUE(menu.checkDataFolder(menu.folderText()));
    EXPECT_FALSE(menu.openListing(ptrListing()));
    EXPECT_FALSE(menu.openDataSet(psmDataSet()));
    const auto inside = menu.openListing(lnxListing());
    ASSERT_TRUE(inside);
    EXPECT_EQ(u8(inside->text()), "\r\n  INSIDE");
    const std::string folder = u8(dir.text());
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"MSG_0_18 " + folder + "/stk/T01.ptr 開檔錯誤 !",
                                                          "MSG_0_04 " + folder + "/stk/T01.psm 開檔錯誤 !"}));

    // security.txt itself may not lead out either.
    std::filesystem::rename(dir.path() / "stkidx" / "security.txt", outside.path() / "security.txt");
    std::filesystem::create_symlink(outside.path() / "security.txt", dir.path() / "stkidx" / "security.txt");
    messages.clear();
    menu.readDiscInfo();
    EXPECT_EQ(messages.texts(),
              std::vector<std::string>{"MSG_0_00 " + folder + "/stkidx/security.txt 開檔錯誤 !"});
}
