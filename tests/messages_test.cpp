// Every message of every query screen and of the main menu, reached the way a clerk reaches
// it, on the hand-built disc of tests/hand_built_disc.cpp; and the comparison each name
// look-ahead makes. The texts stand here literally, one row per case.
#include "hand_built_disc_suite.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace regdisc;
using namespace regdisc::test;

namespace {

// One KeyKind of a screen on the hand-built disc, whose chains run sample (2), filler (1).
struct KeyCase {
    const char *caption;
    const char *found;  // a beginning of the sample's key, as typed
    const char *foundShown;  // tx_i_01 after the query
    const char *tooGreat;  // greater than every key: the top scan meets the empty-entry marker
    const char *topScanMessage;
    const char *notAPrefix;  // less than the sample's key, not a beginning of it
    const char *prefixMessage;
};

struct ScreenMessages {
    const char *ext;
    const char *comboMessage;
    const char *damagedMessage;  // a DetailEntry names a record past the end of the DataFile
    std::vector<KeyCase> keys;
};

const std::vector<ScreenMessages> &screenMessages()
{
    static const std::vector<ScreenMessages> screens = {
        {"psm",
         "MSG_1_01:查詢條件 不在範圍內 !",
         "MSG_1_99:資料燒錄錯誤 !",
         {
             {"依 統一編號", "b1234", "B1234", "~", "MSG_1_02:無符合資料 !", "!", "MSG_1_04:無符合資料 !"},
             {"依 帳號", "1234", "1234", "~", "MSG_1_02:無符合資料 !", "!", "MSG_1_05:無符合資料 !"},
             {"依 中文戶名", "王大明", "王大明", "龘", "MSG_1_03:無符合資料 !", "一",
              "MSG_1_06:無符合資料 !"},
         }},
        {"pla",
         "MSG_2_01:查詢條件 不在範圍內 !",
         "MSG_2_99:資料燒錄錯誤 !",
         {
             {"依 出質人統編", "f1234", "F1234", "~", "MSG_2_02:無符合資料 !", "!", "MSG_2_04:無符合資料 !"},
             {"依 出質人帳號", "1000", "1000", "~", "MSG_2_02:無符合資料 !", "!", "MSG_2_05:無符合資料 !"},
             {"依 出質人戶名", "出質人", "出質人", "龘", "MSG_2_03:無符合資料 !", "一",
              "MSG_2_06:無符合資料 !"},
             {"依 質權人統編", "g2345", "G2345", "~", "MSG_2_02:無符合資料 !", "!", "MSG_2_07:無符合資料 !"},
             {"依 質權人帳號", "2000", "2000", "~", "MSG_2_02:無符合資料 !", "!", "MSG_2_08:無符合資料 !"},
             {"依 質權人戶名", "質權人", "質權人", "龘", "MSG_2_03:無符合資料 !", "一",
              "MSG_2_09:無符合資料 !"},
         }},
        {"psl",
         "MSG_3_01:查詢條件 不在範圍內 !",
         "MSG_3_99:資料燒錄錯誤 !",
         {
             {"依 統一編號", "k1234", "K1234", "~", "MSG_3_02:無符合資料 !", "!", "MSG_3_04:無符合資料 !"},
             {"依 帳號", "1234", "1234", "~", "MSG_3_02:無符合資料 !", "!", "MSG_3_05:無符合資料 !"},
             {"依 中文戶名", "長戶名", "長戶名", "龘", "MSG_3_03:無符合資料 !", "一",
              "MSG_3_06:無符合資料 !"},
         }},
        {"psr",
         "MSG_4_01:查詢條件 不在範圍內 !",
         "MSG_4_99:資料燒錄錯誤 !",
         {
             {"依 統一編號", "m1234", "M1234", "~", "MSG_4_02:無符合資料 !", "!", "MSG_4_04:無符合資料 !"},
             {"依 中文戶名", "無實體", "無實體", "龘", "MSG_4_03:無符合資料 !", "一",
              "MSG_4_05:無符合資料 !"},
         }},
        {"pid",
         "MSG_7_01:查詢條件 不在範圍內 !",
         "MSG_7_99:資料燒錄錯誤 !",
         {
             {"依 統一編號", "b1234", "B1234", "~", "MSG_7_02:無符合資料 !", "!", "MSG_7_04:無符合資料 !"},
             {"依 帳號", "1234", "1234", "~", "MSG_7_02:無符合資料 !", "!", "MSG_7_05:無符合資料 !"},
             {"依 中文戶名", "王大明", "王大明", "龘", "MSG_7_03:無符合資料 !", "一",
              "MSG_7_06:無符合資料 !"},
         }},
        {"pco",
         "MSG_8_01:查詢條件 不在範圍內 !",
         "MSG_8_99:資料燒錄錯誤 !",
         {
             {"依 統一編號", "c2345", "C2345", "~", "MSG_8_02:無符合資料 !", "!", "MSG_8_04:無符合資料 !"},
             {"依 帳號", "1234", "1234", "~", "MSG_8_02:無符合資料 !", "!", "MSG_8_05:無符合資料 !"},
             {"依 中文戶名", "陳美玲", "陳美玲", "龘", "MSG_8_03:無符合資料 !", "一",
              "MSG_8_06:無符合資料 !"},
         }},
        {"pru",
         "MSG_10_01:查詢條件 不在範圍內 !",
         "MSG_10_99:資料燒錄錯誤 !",
         {
             {"依 統一編號", "b1234", "B1234", "~", "MSG_10_02:無符合資料 !", "!", "MSG_10_04:無符合資料 !"},
             {"依 帳號", "1234", "1234", "~", "MSG_10_02:無符合資料 !", "!", "MSG_10_05:無符合資料 !"},
             {"依 中文戶名", "王大明", "王大明", "龘", "MSG_10_03:無符合資料 !", "一",
              "MSG_10_06:無符合資料 !"},
         }},
        {"tru",
         "MSG_11_01:查詢條件 不在範圍內 !",
         "MSG_11_99:資料燒錄錯誤 !",
         {
             {"依 統一編號", "b1234", "B1234", "~", "MSG_11_02:無符合資料 !", "!", "MSG_11_04:無符合資料 !"},
             {"依 帳號", "1234", "1234", "~", "MSG_11_02:無符合資料 !", "!", "MSG_11_05:無符合資料 !"},
             {"依 中文戶名", "王大明", "王大明", "龘", "MSG_11_03:無符合資料 !", "一",
              "MSG_11_06:無符合資料 !"},
         }},
        {"lmk",
         "MSG_12_01:查詢條件 不在範圍內 !",
         "MSG_12_99:資料燒錄錯誤 !",
         {
             {"依 統一編號", "d3456", "D3456", "~", "MSG_12_02:無符合資料 !", "!", "MSG_12_04:無符合資料 !"},
             {"依 帳號", "1234", "1234", "~", "MSG_12_02:無符合資料 !", "!", "MSG_12_05:無符合資料 !"},
             {"依 中文戶名", "林志豪", "林志豪", "龘", "MSG_12_03:無符合資料 !", "一",
              "MSG_12_06:無符合資料 !"},
         }},
        {"rae",
         "MSG_14_01:查詢條件 不在範圍內 !",
         "MSG_14_99:資料燒錄錯誤 !",
         {
             {"依 統一編號", "e4567", "E4567", "~", "MSG_14_02:無符合資料 !", "!", "MSG_14_04:無符合資料 !"},
             {"依 帳號", "1234", "1234", "~", "MSG_14_02:無符合資料 !", "!", "MSG_14_05:無符合資料 !"},
             {"依 中文戶名", "罕用字", "罕用字", "龘", "MSG_14_03:無符合資料 !", "一",
              "MSG_14_06:無符合資料 !"},
         }},
        // The English name is compared exactly as typed: in lower case it is greater than
        // every key.
        {"pel",
         "MSG_3_01:查詢條件 不在範圍內 !",
         "MSG_3_99:資料燒錄錯誤 !",
         {
             {"依 統一編號", "l1234", "L1234", "~", "MSG_3_02:無符合資料 !", "!", "MSG_3_04:無符合資料 !"},
             {"依 帳號", "1234", "1234", "~", "MSG_3_02:無符合資料 !", "!", "MSG_3_05:無符合資料 !"},
             {"依 英文戶名", "CHEN T", "CHEN T", "chen", "MSG_3_03:無符合資料 !", "!",
              "MSG_3_06:無符合資料 !"},
         }},
        {"drf",
         "MSG_2_01:查詢條件 不在範圍內 !",
         "MSG_2_99:資料燒錄錯誤 !",
         {
             {"依 提存人統編", "h1234", "H1234", "~", "MSG_2_02:無符合資料 !", "!", "MSG_2_04:無符合資料 !"},
             {"依 提存人帳號", "1000", "1000", "~", "MSG_2_02:無符合資料 !", "!", "MSG_2_05:無符合資料 !"},
             {"依 提存人戶名", "提存人", "提存人", "龘", "MSG_2_03:無符合資料 !", "一",
              "MSG_2_06:無符合資料 !"},
             {"依 扣繳單位編號", "wu123", "WU123", "~", "MSG_2_02:無符合資料 !", "!",
              "MSG_2_07:無符合資料 !"},
             {"依 法院帳號", "2000", "2000", "~", "MSG_2_02:無符合資料 !", "!", "MSG_2_08:無符合資料 !"},
             {"依 法院戶名", "臺灣臺北", "臺灣臺北", "龘", "MSG_2_03:無符合資料 !", "一",
              "MSG_2_09:無符合資料 !"},
         }},
        {"cpm",
         "MSG_2_01:查詢條件 不在範圍內 !",
         "MSG_2_99:資料燒錄錯誤 !",
         {
             {"依 執行機關統編", "ag123", "AG123", "~", "MSG_2_02:無符合資料 !", "!",
              "MSG_2_04:無符合資料 !"},
             {"依 法院拍賣帳號", "3000", "3000", "~", "MSG_2_02:無符合資料 !", "!", "MSG_2_05:無符合資料 !"},
             {"依 法院拍賣戶名", "法院拍賣", "法院拍賣", "龘", "MSG_2_03:無符合資料 !", "一",
              "MSG_2_06:無符合資料 !"},
             {"依 身份證字號", "j1234", "J1234", "~", "MSG_2_02:無符合資料 !", "!", "MSG_2_07:無符合資料 !"},
             {"依 所有人帳號", "4000", "4000", "~", "MSG_2_02:無符合資料 !", "!", "MSG_2_08:無符合資料 !"},
             {"依 所有人戶名", "所有人", "所有人", "龘", "MSG_2_03:無符合資料 !", "一",
              "MSG_2_09:無符合資料 !"},
         }},
        {"rsa",
         "MSG_3_01:查詢條件 不在範圍內 !",
         "MSG_3_99:資料燒錄錯誤 !",
         {
             {"依 統一編號", "n1234", "N1234", "~", "MSG_3_02:無符合資料 !", "!", "MSG_3_04:無符合資料 !"},
             {"依 帳號", "1234", "1234", "~", "MSG_3_02:無符合資料 !", "!", "MSG_3_05:無符合資料 !"},
             {"依 中文戶名", "員工甲", "員工甲", "龘", "MSG_3_03:無符合資料 !", "一",
              "MSG_3_06:無符合資料 !"},
         }},
    };
    return screens;
}

class Messages : public HandBuiltDiscSuite<> {};

}  // namespace

// Per KeyKind: the whole chain for an empty input, a beginning of the key (upper-cased
// where the KeyKind says so), an input greater than every key, one that no key begins with;
// per screen the combo text that is none of the captions.
TEST_F(Messages, EveryQueryScreenMessage)
{
    ASSERT_EQ(screenMessages().size(), 14u);
    for (const ScreenMessages &s : screenMessages()) {
        OpenScreen open(disc->path(), *findDataSet(s.ext));
        ASSERT_TRUE(open.screen) << s.ext;
        EXPECT_EQ(open.screen->spec().keyKinds.size(), s.keys.size()) << s.ext;
        for (const KeyCase &k : s.keys) {
            const std::string where = std::string(s.ext) + " " + k.caption;
            EXPECT_EQ(open.queryAll(k.caption, ""), (std::vector<std::int64_t>{2, 1})) << where;
            EXPECT_EQ(open.queryAll(k.caption, k.found), (std::vector<std::int64_t>{2}))
                << where << " " << k.found;
            EXPECT_EQ(u8(open.screen->inputText()), k.foundShown) << where;
            EXPECT_TRUE(open.messages.shown.empty()) << where << ": " << open.messages.texts().front();
            open.messages.clear();
            EXPECT_EQ(open.query(k.caption, k.tooGreat), LookupOutcome::TopScanMessage) << where;
            EXPECT_EQ(open.query(k.caption, k.notAPrefix), LookupOutcome::PrefixMessage) << where;
            EXPECT_EQ(open.messages.texts(), (std::vector<std::string>{k.topScanMessage, k.prefixMessage}))
                << where;
            open.messages.clear();
        }
        open.screen->typeCombo(u"依 不存在");
        open.screen->query();
        EXPECT_EQ(open.messages.texts(), std::vector<std::string>{s.comboMessage}) << s.ext;
    }
}

TEST(DamagedRecord, EveryScreenFamilysMessage)
{
    TempDir dir;
    writeHandDisc(dir.path());
    for (const ScreenMessages &s : screenMessages()) {
        // The sample's DetailEntry (entry 2) names record 3 of a DataFile of two records.
        const HandLayout &layout = handLayout(s.ext);
        const std::string three = std::string(static_cast<size_t>(layout.pointerWidth) - 1, '0') + "3";
        patchFile(dir.path() / "stkidx" / ("T01idxd." + std::string(s.ext)),
                  static_cast<std::uint64_t>(layout.detailLength + layout.recordNoOffset), three);
        OpenScreen open(dir.path(), *findDataSet(s.ext));
        ASSERT_TRUE(open.screen) << s.ext;
        open.screen->query();
        EXPECT_EQ(open.messages.texts(), std::vector<std::string>{s.damagedMessage}) << s.ext;
    }
}

namespace {

// The main menu's messages of a data-set button, in the order the opening reaches them.
struct ButtonMessages {
    const char *ext;
    const char *topEmpty;
    const char *detailEmpty;
    const char *dataEmpty;
    const char *openFailed;  // the path and " 開檔錯誤 !" follow
};

const ButtonMessages kButtons[] = {
    {"psm", "MSG_0_01 無可查詢資料 !", "MSG_0_02 資料燒錄錯誤 !", "MSG_0_03 資料燒錄錯誤 !", "MSG_0_04 "},
    {"pla", "MSG_0_05 無可查詢資料 !", "MSG_0_06 資料燒錄錯誤 !", "MSG_0_07 資料燒錄錯誤 !", "MSG_0_08 "},
    {"psl", "MSG_0_09 無可查詢資料 !", "MSG_0_10 資料燒錄錯誤 !", "MSG_0_11 資料燒錄錯誤 !", "MSG_0_12 "},
    {"psr", "MSG_0_14 無可查詢資料 !", "MSG_0_15 資料燒錄錯誤 !", "MSG_0_16 資料燒錄錯誤 !", "MSG_0_17 "},
    {"pid", "MSG_0_19 無可查詢資料 !", "MSG_0_20 資料燒錄錯誤 !", "MSG_0_21 資料燒錄錯誤 !", "MSG_0_22 "},
    {"pco", "MSG_0_23 無可查詢資料 !", "MSG_0_24 資料燒錄錯誤 !", "MSG_0_25 資料燒錄錯誤 !", "MSG_0_26 "},
    {"pru", "MSG_0_28 無可查詢資料 !", "MSG_0_29 資料燒錄錯誤 !", "MSG_0_30 資料燒錄錯誤 !", "MSG_0_31 "},
    {"tru", "MSG_0_32 無可查詢資料 !", "MSG_0_33 資料燒錄錯誤 !", "MSG_0_34 資料燒錄錯誤 !", "MSG_0_35 "},
    {"lmk", "MSG_0_36 無可查詢資料 !", "MSG_0_37 資料燒錄錯誤 !", "MSG_0_38 資料燒錄錯誤 !", "MSG_0_39 "},
    {"rae", "MSG_0_40 無可查詢資料 !", "MSG_0_41 資料燒錄錯誤 !", "MSG_0_42 資料燒錄錯誤 !", "MSG_0_43 "},
    {"pel", "MSG_0_44 無可查詢資料 !", "MSG_0_45 資料燒錄錯誤 !", "MSG_0_46 資料燒錄錯誤 !", "MSG_0_47 "},
    {"drf", "MSG_0_05 無可查詢資料 !", "MSG_0_06 資料燒錄錯誤 !", "MSG_0_07 資料燒錄錯誤 !", "MSG_0_08 "},
    {"cpm", "MSG_0_05 無可查詢資料 !", "MSG_0_06 資料燒錄錯誤 !", "MSG_0_07 資料燒錄錯誤 !", "MSG_0_08 "},
    {"rsa", "MSG_0_05 無可查詢資料 !", "MSG_0_06 資料燒錄錯誤 !", "MSG_0_07 資料燒錄錯誤 !", "MSG_0_08 "},
};

// Empties or removes one file, then puts it back as it was.
class FileChange {
public:
    FileChange(std::filesystem::path path, bool remove) : path_(std::move(path))
    {
        std::filesystem::copy_file(path_, saved(), std::filesystem::copy_options::overwrite_existing);
        if (remove)
            std::filesystem::remove(path_);
        else
            std::filesystem::resize_file(path_, 0);
    }
    ~FileChange() { std::filesystem::rename(saved(), path_); }

private:
    std::filesystem::path saved() const { return path_.string() + ".saved"; }
    std::filesystem::path path_;
};

}  // namespace

// Each of the three files of each data-set button, empty and missing: its message, no
// screen, the button enabled, every slot closed again.
TEST_F(Messages, EveryOpeningRefusalOfTheMainMenu)
{
    const std::string folder = disc->path().string();
    for (const ButtonMessages &b : kButtons) {
        const std::string ext = b.ext;
        const struct {
            std::string path;  // under the folder
            const char *emptyMessage;
        } files[] = {
            {"/stkidx/T01idxp." + ext, b.topEmpty},
            {"/stkidx/T01idxd." + ext, b.detailEmpty},
            {"/stk/T01." + ext, b.dataEmpty},
        };
        for (const auto &file : files) {
            for (const bool remove : {false, true}) {
                const FileChange change(folder + file.path, remove);
                RecordedMessages messages;
                MainMenuModel menu(messages, fromUtf8(folder));
                const DataSetSpec &spec = *findDataSet(ext);
                EXPECT_FALSE(menu.openDataSet(spec)) << ext << file.path;
                const std::string expected = remove ? b.openFailed + folder + file.path + " 開檔錯誤 !"
                                                    : std::string(file.emptyMessage);
                EXPECT_EQ(messages.texts(), std::vector<std::string>{expected}) << ext << file.path;
                EXPECT_TRUE(menu.buttonEnabled(spec.button)) << ext;
                for (int slot = 1; slot < MainMenuModel::kSlotCount; ++slot)
                    EXPECT_FALSE(menu.slot(slot).isOpen()) << ext << file.path << " slot " << slot;
            }
        }
    }
}

TEST_F(Messages, ListingsAndTheDiscInformation)
{
    const std::string folder = disc->path().string();
    for (const auto &[ext, message] : {std::pair{"ptr", "MSG_0_18 "}, std::pair{"lnx", "MSG_0_27 "}}) {
        const std::string path = folder + "/stk/T01." + ext;
        const FileChange change(path, true);
        RecordedMessages messages;
        MainMenuModel menu(messages, fromUtf8(folder));
        EXPECT_FALSE(menu.openListing(*findListing(ext)));
        EXPECT_EQ(messages.texts(), std::vector<std::string>{message + path + " 開檔錯誤 !"});
    }
    {
        // An empty listing is no failure.
        const FileChange change(folder + "/stk/T01.lnx", false);
        RecordedMessages messages;
        MainMenuModel menu(messages, fromUtf8(folder));
        const auto screen = menu.openListing(lnxListing());
        ASSERT_TRUE(screen);
        EXPECT_EQ(screen->text(), u"");
        EXPECT_TRUE(messages.shown.empty());
    }
    // Without the disc information every one of the sixteen buttons shows only its message.
    const std::string info = folder + "/stkidx/security.txt";
    const FileChange change(info, true);
    RecordedMessages messages;
    MainMenuModel menu(messages, fromUtf8(folder));
    for (const DataSetSpec *spec : allDataSets())
        EXPECT_FALSE(menu.openDataSet(*spec));
    for (const ListingSpec *spec : allListings())
        EXPECT_FALSE(menu.openListing(*spec));
    EXPECT_EQ(messages.texts(), std::vector<std::string>(16, "MSG_0_00 " + info + " 開檔錯誤 !"));
    EXPECT_EQ(u8(menu.productionDateBox()), "開檔錯誤");
}

// The names' look-ahead: records 1 ＡＢ甲, 2 ａｂ乙, 3 ＡＢ丙 under every name KeyKind (the
// chain runs 2, 3, 1: letter case aside, by the third character). The lookup finds either
// case; where the look-ahead ignores letter case 次筆 goes on to ＡＢ丙 and ＡＢ甲 also after
// ａｂ, where it compares exactly only after ＡＢ.
TEST(NameLookAhead, LetterCaseInBothDirections)
{
    const std::vector<int> all{2, 3, 1};
    const std::vector<int> exact{2};
    const struct {
        const char *ext;
        const char *caption;
        std::vector<int> afterLower;  // records shown for ａｂ
        std::vector<int> afterUpper;  // for ＡＢ
    } cases[] = {
        {"psm", "依 中文戶名", all, all},     {"psr", "依 中文戶名", all, all},
        {"pco", "依 中文戶名", all, all},     {"lmk", "依 中文戶名", all, all},
        {"pru", "依 中文戶名", all, all},     {"tru", "依 中文戶名", all, all},
        {"rae", "依 中文戶名", all, all},     {"psl", "依 中文戶名", all, all},
        {"rsa", "依 中文戶名", all, all},     {"pla", "依 質權人戶名", all, all},
        {"drf", "依 法院戶名", all, all},     {"cpm", "依 所有人戶名", all, all},
        {"pid", "依 中文戶名", exact, all},   {"pla", "依 出質人戶名", exact, all},
        {"drf", "依 提存人戶名", exact, all}, {"cpm", "依 法院拍賣戶名", exact, all},
    };
    TempDir dir;
    writeHandDisc(dir.path());
    const std::vector<std::string> names{"ＡＢ甲", "ａｂ乙", "ＡＢ丙"};
    for (const HandLayout &layout : handLayouts()) {
        std::vector<HandEntry> entries;
        for (int i = 0; i < 3; ++i) {
            HandEntry entry{recordBytes(sampleFields(layout.ext), layout.dataLength), {}};
            for (const HandKey &key : layout.keys)
                entry.keys.push_back(key.doubleByte ? names[static_cast<size_t>(i)]
                                                    : "K" + std::to_string(i + 1));
            entries.push_back(entry);
        }
        std::vector<std::vector<int>> chains;
        for (const HandKey &key : layout.keys)
            chains.push_back(key.doubleByte ? std::vector<int>{2, 3, 1} : std::vector<int>{1, 2, 3});
        writeHandDataSet(dir.path(), "T01", layout, entries, chains);
    }
    for (const auto &c : cases) {
        OpenScreen open(dir.path(), *findDataSet(c.ext));
        ASSERT_TRUE(open.screen) << c.ext;
        const auto shown = [&](const char *input) {
            std::vector<int> records;
            for (std::int64_t r : open.queryAll(c.caption, input))
                records.push_back(static_cast<int>(r));
            return records;
        };
        EXPECT_EQ(shown("ａｂ"), c.afterLower) << c.ext << " " << c.caption;
        EXPECT_EQ(shown("ＡＢ"), c.afterUpper) << c.ext << " " << c.caption;
        EXPECT_TRUE(open.messages.shown.empty()) << c.ext;
    }
}
