// The main menu model: folder check, disc information, opening data sets and listings. The
// start-up read and the folder chooser are driven through the window (main_menu_test), every
// refused opening with its message in messages_test.
#include "platform/codepage.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace regdisc;
using namespace regdisc::test;

namespace {

std::vector<Text> oneRecord(const DataSetSpec &spec)
{
    return {makeRecord(spec, {})};
}

class Menu : public testing::Test {
protected:
    void SetUp() override
    {
        std::vector<DataSetContent> all;
        for (const DataSetSpec *spec : allDataSets())
            all.push_back({spec, oneRecord(*spec)});
        writeTestDisc(dir.path(), all);
        writeListing(dir.path(), u"T01", "ptr", {u"A", u"B"});
        writeListing(dir.path(), u"T01", "lnx", {});
    }
    Text folder() const { return dir.text(); }
    TempDir dir;
    RecordedMessages messages;
};

}  // namespace

TEST_F(Menu, FolderCheck)
{
    MainMenuModel menu(messages, folder());
    EXPECT_TRUE(menu.checkDataFolder(folder()));
    EXPECT_EQ(u8(menu.discInfo().securityName), "測試公司");
    EXPECT_TRUE(messages.shown.empty());

    // A folder ending in the separator passes.
    menu.setFolderText(folder() + u"/");
    menu.folderFocusOut();
    EXPECT_TRUE(messages.shown.empty());

    // Lacking only stkidx gives the same single warning as lacking both.
    TempDir other;
    std::filesystem::create_directories(other.path() / "stk");
    for (const Text &f : {other.text(), other.text() + u"/missing"}) {
        messages.clear();
        menu.setFolderText(f);
        menu.folderFocusOut();
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].kind, MessageKind::FolderWarning);
        EXPECT_EQ(messages.shown[0].text, f + u"資料夾內需同時存在stk及stkidx次目錄");
        EXPECT_EQ(u8(menu.productionDateBox()), "檔案位置錯誤");
        EXPECT_EQ(u8(menu.discInfo().securityName), "測試公司");  // unchanged
    }
}

TEST_F(Menu, DiscInformationThatCannotBeRead)
{
    MainMenuModel menu(messages, folder());
    menu.readDiscInfo();
    writeFileBytes(dir.path() / "stkidx" / "security.txt",
                   encodeCp950(u"X01\r\n新名稱\r\n114/01/01\r\nY\r\n"));
    menu.readDiscInfo();
    const Text path = folder() + u"/stkidx/security.txt";
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"MSG_0_00 " + u8(path) + " 開檔錯誤 !"});
    EXPECT_EQ(u8(menu.productionDateBox()), "開檔錯誤");
    EXPECT_TRUE(menu.readFailed());
    // The values read before the failure are new, the fifth is the old one.
    EXPECT_EQ(u8(menu.discInfo().securityName), "新名稱");
    EXPECT_EQ(u8(menu.discInfo().productionDate), "113/12/09");
    // Every data-set button then shows only that message and opens nothing.
    messages.clear();
    EXPECT_FALSE(menu.openDataSet(psmDataSet()));
    EXPECT_FALSE(menu.openListing(ptrListing()));
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.texts()[0].substr(0, 9), "MSG_0_00 ");
    // A complete file reads again.
    writeDiscInfo(dir.path(), testDiscInfo("y"));
    menu.readDiscInfo();
    EXPECT_FALSE(menu.readFailed());
    EXPECT_EQ(u8(menu.discInfo().decimalFlag), "y");
}

TEST_F(Menu, EveryDataSetAndListingOpensTogether)
{
    MainMenuModel menu(messages, folder());
    std::vector<std::unique_ptr<QueryScreenModel>> screens;
    for (const DataSetSpec *spec : allDataSets()) {
        screens.push_back(menu.openDataSet(*spec));
        ASSERT_TRUE(screens.back()) << spec->ext;
        EXPECT_FALSE(menu.buttonEnabled(spec->button));
        EXPECT_TRUE(menu.slot(spec->data.slot).isOpen());
    }
    auto ptr = menu.openListing(ptrListing());
    auto lnx = menu.openListing(lnxListing());
    ASSERT_TRUE(ptr && lnx);
    EXPECT_EQ(ptr->text(), u"\r\n  A\r\n  B");
    EXPECT_EQ(lnx->text(), u"");
    EXPECT_FALSE(menu.buttonEnabled("cmd_5"));
    EXPECT_TRUE(messages.shown.empty());
    // A disabled button cannot open its data set a second time.
    EXPECT_FALSE(menu.openDataSet(psmDataSet()));
    EXPECT_FALSE(menu.openListing(ptrListing()));
    EXPECT_TRUE(menu.slot(psmDataSet().data.slot).isOpen());
    // Closing gives the button back and closes the slots; a second close does no harm.
    screens[0]->close();
    screens[0]->close();
    EXPECT_TRUE(menu.buttonEnabled("cmd_1"));
    EXPECT_FALSE(menu.slot(1).isOpen());
    EXPECT_FALSE(menu.buttonEnabled("cmd_2"));
    ptr->close();
    EXPECT_TRUE(menu.buttonEnabled("cmd_5"));
    // A reopened screen starts with an empty history.
    auto again = menu.openDataSet(psmDataSet());
    ASSERT_TRUE(again);
    EXPECT_FALSE(again->previousEnabled());
    EXPECT_EQ(again->box("tx_o_pnt"), u"");
}

TEST_F(Menu, FileNamesMatchWithoutRegardToCase)
{
    std::filesystem::rename(dir.path() / "stk" / "T01.psm", dir.path() / "stk" / "t01.PSM");
    std::filesystem::rename(dir.path() / "stkidx", dir.path() / "STKIDX");
    MainMenuModel menu(messages, folder());
    EXPECT_TRUE(menu.checkDataFolder(folder()));
    EXPECT_TRUE(menu.openDataSet(psmDataSet()));
    EXPECT_TRUE(messages.shown.empty()) << messages.texts().front();
}
