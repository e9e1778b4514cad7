// The printed lines of the record printout and the listing, and the PDF button's messages.
#include "screens/document_opening.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace regdisc;
using namespace regdisc::test;

namespace {

std::vector<std::string> plainLines(const PrintedDocument &doc)
{
    std::vector<std::string> lines;
    for (const PrintedLine &line : doc.lines)
        lines.push_back(u8(plainText(line)));
    return lines;
}

// The print column where " : " begins, or 0.
int colonColumn(const PrintedLine &line)
{
    const Text text = plainText(line);
    const size_t at = text.find(u" : ");
    return at == Text::npos ? 0 : printColumns(TextView(text).substr(0, at)) + 1;
}

class Printout : public testing::Test {
protected:
    void SetUp() override
    {
        writeTestDisc(
            dir.path(),
            {{&psmDataSet(), {makeRecord(psmDataSet(), {{"account", "11110000001"}, {"name", "王大明"}})}},
             {&plaDataSet(),
              {makeRecord(plaDataSet(), {{"pledgor.name", "王大明"},
                                         {"pledgeNumber", "00000012345"},
                                         {"pledgeNumberMark", "#"},
                                         {"capitalReductionAgreementCode", "2"}})}},
             {&pslDataSet(), {makeRecord(pslDataSet(), {{"name.part1", "甲"}, {"name.part2", "乙"}})}}});
    }
    TempDir dir;
};

}  // namespace

TEST_F(Printout, HolderRegisterLinesAndTheirColumns)
{
    OpenScreen open(dir.path(), psmDataSet());
    // Before any query: the title, every label and the two dates of the disc.
    const PrintedDocument before = open.screen->printout();
    EXPECT_EQ(u8(before.fontName), "細明體");
    EXPECT_EQ(plainLines(before)[0], " ");
    EXPECT_EQ(before.lines[0].fontSize, 20);
    EXPECT_EQ(plainLines(before)[1], "　　　 鼎岳有價證券登錄社-證券所有人名冊查詢");
    EXPECT_EQ(before.lines[2].fontSize, 12);
    EXPECT_EQ(plainLines(before)[3], "　　　　　帳號 : ");
    EXPECT_EQ(plainLines(before).size(), 3u + 28u);
    EXPECT_EQ(plainLines(before).back(), "　　　製作日期 : 113/12/09");

    open.query("依 統一編號", "");
    const PrintedDocument doc = open.screen->printout();
    const auto lines = plainLines(doc);
    EXPECT_EQ(lines[3], "　　　　　帳號 : 11110000001");
    EXPECT_EQ(lines[4], "　　　中文戶名 : 王大明　　　　　　　　　　　　　　　　");
    EXPECT_EQ(lines[14], "　　　　信用別 :  ");  // the fixed caption of the credit box
    for (size_t i = 3; i < doc.lines.size(); ++i)
        EXPECT_EQ(colonColumn(doc.lines[i]), 15) << lines[i];
}

TEST_F(Printout, PledgeLinesWithTwoBoxesAndTheirOwnWidth)
{
    OpenScreen open(dir.path(), plaDataSet());
    open.query("依 出質人戶名", "王");
    const auto lines = plainLines(open.screen->printout());
    EXPECT_EQ(lines[4], " ");
    EXPECT_EQ(lines[5], "　　出質人");
    const auto pledge = std::find_if(lines.begin(), lines.end(), [](const std::string &l) {
        return l.find("設質編號") != std::string::npos;
    });
    ASSERT_NE(pledge, lines.end());
    EXPECT_EQ(*pledge, "　　　設質編號 : #00000012345");  // mark and number without a blank
    const auto agreement = std::find_if(lines.begin(), lines.end(), [](const std::string &l) {
        return l.find("減資/併購/收回/還本之款項歸屬約定") != std::string::npos;
    });
    ASSERT_NE(agreement, lines.end());
    EXPECT_EQ(*agreement, "　減資/併購/收回/還本之款項歸屬約定 : 2");
}

TEST_F(Printout, LongNameContinuesUnderItsFirstPart)
{
    OpenScreen open(dir.path(), pslDataSet());
    open.query("依 中文戶名", "");
    const PrintedDocument doc = open.screen->printout();
    const auto lines = plainLines(doc);
    EXPECT_EQ(lines[5].substr(0, lines[5].find(" : ") + 3), "　中文戶名 : ");
    // The second part starts at column 14, where the value of the line above begins.
    EXPECT_EQ(lines[6].substr(0, 13), std::string(13, ' '));
    EXPECT_EQ(lines[6].substr(13, 3), "乙");
}

TEST(ListingPrintout, TitleBlankLinesAndTheListing)
{
    const PrintedDocument doc = listingPrintout(ptrListing().printTitle, u"\r\n  A\r\n  B");
    EXPECT_EQ(plainLines(doc), (std::vector<std::string>{" ", "　　　 鼎岳有價證券登錄社-股東名冊筆數查詢",
                                                         " ", "", "  A", "  B"}));
    EXPECT_EQ(doc.lines[2].fontSize, 12);
    EXPECT_EQ(plainLines(listingPrintout(lnxListing().printTitle, u"")).size(), 3u);
}

class ScriptedOpener : public DocumentOpener {
public:
    int code = 42;
    std::vector<Text> opened;
    int open(TextView path) override
    {
        opened.emplace_back(path);
        return code;
    }
};

TEST(OpenDocument, ResultMessages)
{
    const std::pair<int, const char *> cases[] = {
        {42, nullptr},
        {33, nullptr},
        {32, "DLL not found"},
        {31, "系統未安裝 PDF Reader !!"},
        {27, "未使用正確的PDF瀏覽器開啟PDF檔 !!"},
        {2, "File not found"},
        {3, "Path not found"},
        {5, "Access denied"},
        {11, "Invalid EXE file or error in EXE image"},
        {8, "Out of memory"},
        {26, "A sharing violation occurred"},
        {28, "DDE Time out"},
        {29, "DDE transaction failed"},
        {30, "DDE busy"},
        {1, "Unknown error"},
        {4, "Unknown error"},
        {0, "Unknown error"},
        {12, "Unknown error"},
        {25, "Unknown error"},
        {-1, "Unknown error"},
    };
    for (const auto &[code, text] : cases) {
        RecordedMessages messages;
        ScriptedOpener opener;
        opener.code = code;
        EXPECT_EQ(openDocument(u"/x.pdf", opener, messages), code);
        EXPECT_EQ(messages.texts(), text ? std::vector<std::string>{text} : std::vector<std::string>{})
            << code;
    }
}

// The path of the PDF copy and a screen left as it was; which folder box text and baseName
// the button takes, at the moment it is pressed, the window test shows on two discs.
TEST_F(Printout, PdfButtonLeavesTheScreenAsItWas)
{
    OpenScreen open(dir.path(), plaDataSet());
    ScriptedOpener opener;
    open.query("依 出質人戶名", "王");
    const auto counters = open.screen->box("tx_o_pnt");
    const bool next = open.screen->nextEnabled();
    open.screen->openPdf(u"/other/disc", u"X99", opener);
    open.screen->openPdf(u"/other/disc", u"X99", opener);
    ASSERT_EQ(opener.opened.size(), 2u);
    EXPECT_EQ(u8(opener.opened[0]), "/other/disc/stkidx/X99_pla.pdf");
    EXPECT_EQ(opener.opened[1], opener.opened[0]);
    EXPECT_EQ(open.screen->box("tx_o_pnt"), counters);
    EXPECT_EQ(open.screen->nextEnabled(), next);
    EXPECT_TRUE(open.messages.shown.empty());
}
