// What the clerk reads on every window, written out literally and held against the live
// widgets: the main menu's captions and its two columns, each query screen's window caption,
// title, labels, headings, legends, combo list and initial caption, PDF 格式 and boxes; the
// listing screens with their disabled controls. And what the screens read at the moment of
// an action: the folder box and baseName for PDF 格式, securityName and decimalFlag for a
// display, on a hand-built disc (tests/hand_built_disc.cpp) and a second one.
#include "gui_support.h"

#include "hand_built_disc.h"
#include "views/listing_window.h"
#include "views/query_screen_window.h"

#include <QComboBox>
#include <QPlainTextEdit>

using namespace regdisc;
using namespace regdisc::guitest;

namespace {

struct Caption {
    const char *name;  // the label's object name; "*" where any name will do
    const char *text;  // its exact caption
};

struct ScreenTexts {
    const char *button;  // on the main menu
    const char *screen;
    const char *windowCaption;
    const char *title;  // Label1
    std::vector<const char *> combo;  // comb_1's list in its order; the first is the initial caption
    bool pdf;  // cmd_7 "PDF 格式"
    const char *dataDateBox;
    std::vector<Caption> labels;  // every label of the output area: captions, headings, legends
    std::vector<const char *> boxes;  // every output box but the counters
};

const char *const kCreditHeading =
    "　　　　　　　信用別　　交割款項融資註記證券業務借貸款項註記　　有價證券借貸註記";
const char *const kCredit = "信用別：0:普通  1:元大  2:環華  3:富邦  5:安泰  9:自辦";
const char *const kFinancing = "交割款項融資註記：A:元大  B:環華  C:富邦  D:安泰";
const char *const kLending = "證券業務借貸款項註記：X:T+5型  Y:半年型";
const char *const kSecuritiesLending = "有價證券借貸註記：E:元大  F:環華  G:富邦  H:安泰  W:證商";
const char *const kIdError = "*：異常、空白：正常";
const char *const kHolderType = "0：一般戶 、1：外國投資機構、2：僑外戶、3：大陸地區投資人、4：法院拍賣專戶";
const char *const kPledgeFlag = "1：有設質交付資料、空白：無資料";
const char *const kMandate = "0：一般戶、1：全權委託戶、2：信託戶、3：信託全權委託戶、4：外資/陸資轉配";
const char *const kOddLot = "P：零股待領回、X：非零股待領回";
const std::vector<const char *> kNameAccountId = {"依 中文戶名", "依 帳號", "依 統一編號"};

// The holder-register labels that psm, pid, pru and tru share.
std::vector<Caption> holderLabels()
{
    return {{"lab_01", "帳號"},     {"lab_02", "中文戶名"}, {"lab_03", "統一編號"}, {"lab_04", "戶籍地址"},
            {"lab_05", "通訊地址"}, {"lab_06", "各筆股數"}, {"lab_07", "歸戶股數"}, {"lab_08", "出生日期"},
            {"lab_09", "法定代理"}, {"lab_10", "開戶日期"}, {"lab_11", "證券代號"}, {"lab_13", "地址異動"},
            {"lab_14", "電話號碼"}, {"lab_15", "統編錯誤"}, {"lab_16", "戶別"},     {"lab_17", "設質註記"},
            {"lab_18", "郵遞區號"}, {"lab_19", "劃撥帳號"}, {"lab_20", "外資編號"}, {"lab_21", "全權委託"},
            {"lab_22", "零股待領"}, {"lab_23", "資料日期"}, {"lab_25", "製作日期"}};
}

std::vector<Caption> operator+(std::vector<Caption> a, const std::vector<Caption> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<const char *> holderBoxes()
{
    return {"tx_o_01", "tx_o_02", "tx_o_03", "tx_o_04", "tx_o_05", "tx_o_06", "tx_o_07", "tx_o_08",
            "tx_o_09", "tx_o_10", "tx_o_11", "tx_o_12", "tx_o_13", "tx_o_14", "tx_o_15", "tx_o_16",
            "tx_o_17", "tx_o_18", "tx_o_19", "tx_o_20", "tx_o_21", "tx_o_22", "tx_o_23", "tx_o_25"};
}

std::vector<const char *> operator+(std::vector<const char *> a, const std::vector<const char *> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The trust and discretionary screens: the holder register's labels and legends without its
// two court marks and with the shorter mandate legend; Label9 heads the four credit legends.
ScreenTexts mandateScreen(const char *button, const char *screen, const char *caption)
{
    return {button,
            screen,
            caption,
            caption,
            kNameAccountId,
            true,
            "tx_o_23",
            holderLabels() + std::vector<Caption>{{"lab_24", "分戶編號"},
                                                  {"Lab_26", "國籍資料"},
                                                  {"Label9", kCreditHeading},
                                                  {"*", kIdError},
                                                  {"*", kHolderType},
                                                  {"*", kPledgeFlag},
                                                  {"*", kMandate},
                                                  {"*", kOddLot},
                                                  {"*", kCredit},
                                                  {"*", kFinancing},
                                                  {"*", kLending},
                                                  {"*", kSecuritiesLending}},
            holderBoxes() + std::vector<const char *>{"tx_o_24", "tx_o_26"}};
}

const std::vector<ScreenTexts> &screenTexts()
{
    static const std::vector<ScreenTexts> screens = {
        {"cmd_1", "frm_1", "證券所有人名冊查詢", "證券所有人名冊查詢", kNameAccountId, false, "tx_o_23",
         holderLabels() +
             std::vector<Caption>{{"lab_24", "分戶編號"},
                                  {"Lab_26", "國籍資料"},
                                  {"Lab_27", "法院提存註記"},
                                  {"Lab_28", "法拍餘額註記"},
                                  {"lab_12", kCreditHeading},
                                  {"Label4", kIdError},
                                  {"Label5", kHolderType},
                                  {"Label6", kPledgeFlag},
                                  {"Label7", "0：一般戶、1：全權委託戶、2：信託戶、3：信託全權委託戶、4："
                                             "外資/陸資轉配、5：配發撥轉"},
                                  {"Label8", kOddLot},
                                  {"Label3", kCredit},
                                  {"Label9", kFinancing},
                                  {"Label10", kLending},
                                  {"Label11", kSecuritiesLending}},
         holderBoxes() + std::vector<const char *>{"tx_o_24", "tx_o_26", "tx_o_27", "tx_o_28"}},
        {"cmd_2",
         "frm_2",
         "設質資料查詢",
         "設質資料查詢",
         {"依 出質人戶名", "依 出質人帳號", "依 出質人統編", "依 質權人戶名", "依 質權人帳號",
          "依 質權人統編"},
         true,
         "tx_o_12",
         {{"lab_01", "證券代號"},
          {"Label2", "出質人"},
          {"lab_02", "帳號"},
          {"lab_03", "中文戶名"},
          {"lab_04", "統一編號"},
          {"lab_05", "通訊地址"},
          {"Label2", "質權人"},
          {"lab_06", "帳號"},
          {"lab_07", "中文戶名"},
          {"lab_08", "統一編號"},
          {"lab_09", "通訊地址"},
          {"lab_10", "交付股數"},
          {"lab_14", "設質編號"},
          {"*", "設質編號第一碼加註＃者、表私募有價證券辦理設質"},
          {"*", "設質編號第一碼加註&& 者、表限制上市櫃有價證券辦理設質"},
          {"lab_11", "孳息約定"},
          {"*", "1：歸屬出質人、2：歸屬質權人"},
          {"lab_16", "設質信託"},
          {"*", "1：一般、2：信託"},
          {"lab_17", "信託財產專戶"},
          {"lab_18", "減資/併購/收回/還本之款項歸屬約定"},
          {"*", "1：由出質人領取、2：由質權人領取、3：由股務單位留存保管 空白：表客戶未為款項歸屬約定, "
                "款項由股務單位留存保管"},
          {"lab_12", "資料日期"},
          {"lab_25", "製作日期"}},
         {"tx_o_01", "tx_o_02", "tx_o_03", "tx_o_04", "tx_o_05", "tx_o_06", "tx_o_07", "tx_o_08", "tx_o_09",
          "tx_o_10", "tx_o_11", "tx_o_12", "tx_o_14", "tx_o_15", "tx_o_16", "tx_o_17", "tx_o_18", "tx_o_25"}},
        {"cmd_3",
         "frm_3",
         "長戶名資料查詢",
         "長戶名資料查詢",
         kNameAccountId,
         true,
         "tx_o_05",
         {{"lab_04", "證券代號"},
          {"lab_01", "帳號"},
          {"lab_02", "統一編號"},
          {"lab_03", "中文戶名"},
          {"lab_05", "資料日期"},
          {"lab_25", "製作日期"}},
         {"tx_o_04", "tx_o_01", "tx_o_02", "tx_o_03_1", "tx_o_03_2", "tx_o_05", "tx_o_25"}},
        {"cmd_4",
         "frm_4",
         "無實體登錄資料查詢",
         "無實體登錄資料查詢",
         {"依 中文戶名", "依 統一編號"},
         true,
         "tx_o_06",
         {{"lab_01", "證券代號"},
          {"lab_02", "統一編號"},
          {"lab_02_1", "統編重覆"},
          {"lab_05", "中文戶名"},
          {"lab_03", "股數"},
          {"lab_04", "回覆股數"},
          {"lab_07", "回覆緩課"},
          {"lab_08", "明細類別"},
          {"Label6", "A：證券所有人明細、B：代保管明細、C：現股設質明細(已換發)、D：現股設質明細(未換發)"},
          {"lab_09", "質權人"},
          {"lab_10", "備註"},
          {"lab_11", "法拍餘額註記"},
          {"lab_06", "資料日期"},
          {"lab_25", "製作日期"}},
         {"tx_o_01", "tx_o_02", "tx_o_02_1", "tx_o_05", "tx_o_03", "tx_o_04", "tx_o_07", "tx_o_08", "tx_o_09",
          "tx_o_10", "tx_o_11", "tx_o_06", "tx_o_25"}},
        {"cmd_7", "frm_7", "證券所有人名冊(身分證/營利事業編號相同暨出生/設立日期不同)查詢",
         "證券所有人名冊(身分證/營利事業編號相同暨出生/設立日期不同)查詢", kNameAccountId, false, "tx_o_23",
         holderLabels() + std::vector<Caption>{{"Label9", kCreditHeading},
                                               {"Label4", kIdError},
                                               {"Label5", kHolderType},
                                               {"Label6", kPledgeFlag},
                                               {"Label7", kMandate},
                                               {"Label8", kOddLot},
                                               {"Label3", kCredit},
                                               {"Label10", kFinancing},
                                               {"Label11", kLending},
                                               {"Label12", kSecuritiesLending}},
         holderBoxes()},
        {"cmd_8",
         "frm_8",
         "證券所有人名冊查詢 (私募有價證券明細)",
         "證券所有人名冊查詢(私募有價證券明細)",
         kNameAccountId,
         true,
         "tx_o_23",
         {{"lab_11", "證券代號"}, {"lab_01", "帳號"},     {"lab_03", "統一編號"},
          {"lab_02", "中文戶名"}, {"lab_04", "戶籍地址"}, {"lab_05", "通訊地址"},
          {"lab_06", "各筆股數"}, {"lab_09", "法定代理"}, {"lab_07", "歸戶股數"},
          {"lab_14", "電話號碼"}, {"lab_08", "出生日期"}, {"lab_19", "劃撥帳號"},
          {"lab_10", "開戶日期"}, {"lab_12", "登錄註記"}, {"Label3", "0：非登錄、1：登錄"},
          {"lab_13", "地址異動"}, {"lab_15", "統編錯誤"}, {"Label4", kIdError},
          {"lab_18", "郵遞區號"}, {"lab_16", "戶別"},     {"Label5", kHolderType},
          {"lab_23", "資料日期"}, {"lab_25", "製作日期"}},
         {"tx_o_11", "tx_o_01", "tx_o_03", "tx_o_02", "tx_o_04", "tx_o_05", "tx_o_06",
          "tx_o_09", "tx_o_07", "tx_o_14", "tx_o_08", "tx_o_19", "tx_o_10", "tx_o_12",
          "tx_o_13", "tx_o_15", "tx_o_18", "tx_o_16", "tx_o_23", "tx_o_25"}},
        mandateScreen("cmd_10", "frm_10", "全權委託資料查詢"),
        mandateScreen("cmd_11", "frm_11", "信託資料查詢"),
        {"cmd_12",
         "frm_12",
         "限制上市櫃證券所有人名冊查詢",
         "限制上市櫃證券所有人名冊查詢",
         kNameAccountId,
         true,
         "tx_o_23",
         {{"lab_11", "證券代號"},
          {"lab_01", "帳號"},
          {"lab_03", "統一編號"},
          {"lab_02", "中文戶名"},
          {"lab_04", "戶籍地址"},
          {"lab_05", "通訊地址"},
          {"lab_06", "持有股數"},
          {"lab_09", "法定代理"},
          {"lab_08", "出生日期"},
          {"lab_14", "電話號碼"},
          {"lab_10", "開戶日期"},
          {"lab_19", "劃撥帳號"},
          {"lab_13", "地址異動"},
          {"lab_18", "郵遞區號"},
          {"lab_23", "資料日期"},
          {"lab_25", "製作日期"}},
         {"tx_o_11", "tx_o_01", "tx_o_03", "tx_o_02", "tx_o_04", "tx_o_05", "tx_o_06", "tx_o_09", "tx_o_08",
          "tx_o_14", "tx_o_10", "tx_o_19", "tx_o_13", "tx_o_18", "tx_o_23", "tx_o_25"}},
        {"cmd_14",
         "frm_14",
         "名冊罕用字檔查詢",
         "名冊罕用字檔查詢",
         kNameAccountId,
         true,
         "tx_o_23",
         {{"lab_11", "證券代號"},
          {"lab_01", "帳號"},
          {"lab_03", "統一編號"},
          {"lab_02", "中文戶名"},
          {"lab_04", "戶籍地址"},
          {"lab_05", "通訊地址"},
          {"lab_09", "法定代理"},
          {"lab_23", "資料日期"},
          {"lab_25", "製作日期"}},
         {"tx_o_11", "tx_o_01", "tx_o_03", "tx_o_02", "tx_o_04", "tx_o_05", "tx_o_09", "tx_o_23", "tx_o_25"}},
        {"cmd_15",
         "frm_15",
         "英文長戶名資料查詢",
         "英文長戶名資料查詢",
         {"依 英文戶名", "依 帳號", "依 統一編號"},
         true,
         "tx_o_05",
         {{"lab_04", "證券代號"},
          {"lab_01", "帳號"},
          {"lab_02", "統一編號"},
          {"lab_03", "英文戶名"},
          {"lab_05", "資料日期"},
          {"lab_25", "製作日期"}},
         {"tx_o_04", "tx_o_01", "tx_o_02", "tx_o_03", "tx_o_05", "tx_o_25"}},
        {"cmd_16",
         "frm_16",
         "法院提存資料查詢",
         "法院提存資料查詢",
         {"依 提存人戶名", "依 提存人帳號", "依 提存人統編", "依 法院戶名", "依 法院帳號", "依 扣繳單位編號"},
         true,
         "tx_o_12",
         {{"lab_01", "證券代號"},     {"Label2", "提存人"},     {"lab_02", "帳號"},
          {"lab_03", "中文戶名"},     {"lab_04", "統一編號"},   {"lab_05", "通訊地址"},
          {"Label2", "法院"},         {"lab_06", "帳號"},       {"lab_07", "中文戶名"},
          {"lab_08", "扣繳單位編號"}, {"lab_09", "通訊地址"},   {"lab_10", "提存股數"},
          {"lab_15", "法院提存別"},   {"lab_14", "寄存證編號"}, {"Label3", "代庫銀行"},
          {"lab_16", "中文戶名"},     {"lab_17", "統一編號"},   {"Lab_18", "案款帳號"},
          {"lab_12", "資料日期"},     {"lab_25", "製作日期"}},
         {"tx_o_01", "tx_o_02", "tx_o_03", "tx_o_04", "tx_o_05", "tx_o_06", "tx_o_07", "tx_o_08", "tx_o_09",
          "tx_o_10", "tx_o_15", "tx_o_14", "tx_o_16", "tx_o_17", "tx_o_18", "tx_o_12", "tx_o_25"}},
        {"cmd_17",
         "frm_17",
         "法拍專戶明細查詢",
         "法拍專戶明細查詢",
         {"依 法院拍賣戶名", "依 法院拍賣帳號", "依 執行機關統編", "依 所有人戶名", "依 所有人帳號",
          "依 身份證字號"},
         true,
         "tx_o_12",
         {{"lab_01", "證券代號"},
          {"Label2", "法院拍賣專戶"},
          {"lab_02", "帳號"},
          {"lab_03", "中文戶名"},
          {"lab_04", "執行機關統一編號"},
          {"Label2", "所有人"},
          {"lab_06", "帳號"},
          {"lab_07", "中文戶名"},
          {"lab_08", "身份證字號"},
          {"lab_05", "戶籍地址"},
          {"lab_09", "通訊地址"},
          {"lab_11", "出生日期"},
          {"lab_13", "電話"},
          {"lab_10", "餘額"},
          {"lab_15", "登錄專戶明細類別"},
          {"Label3",
           "A：證券所有人明細、B：代保管明細、C：現股設質明細(已繳回)、D：現股設質明細(未繳回)\r\n"},
          {"lab_14", "扣押編號"},
          {"Lab_18", "扣押項目類別"},
          {"Label4",
           "1：一般扣押及扣押編號、2：設質及扣押編號、3：提存及寄存證編號、4：公務保證及扣押編號\r\n"},
          {"lab_16", "執行函文案號"},
          {"lab_17", "編號"},
          {"lab_12", "資料日期"},
          {"lab_25", "製作日期"}},
         {"tx_o_01", "tx_o_02", "tx_o_03", "tx_o_04", "tx_o_06", "tx_o_07", "tx_o_08", "tx_o_05", "tx_o_09",
          "tx_o_11", "tx_o_13", "tx_o_10", "tx_o_15", "tx_o_14", "tx_o_18", "tx_o_16", "tx_o_17", "tx_o_12",
          "tx_o_25"}},
        {"cmd_18",
         "frm_18",
         "限制員工權利新股查詢",
         "限制員工權利新股查詢",
         kNameAccountId,
         true,
         "tx_o_05",
         {{"lab_04", "證券代號"},
          {"lab_01", "帳號"},
          {"lab_02", "身份證字號"},
          {"lab_03", "中文戶名"},
          {"lab_06", "持有股數"},
          {"lab_05", "資料日期"},
          {"lab_25", "製作日期"}},
         {"tx_o_04", "tx_o_01", "tx_o_02", "tx_o_03", "tx_o_06", "tx_o_05", "tx_o_25"}},
    };
    return screens;
}

// The main menu: the sixteen buttons and 結束作業 with their exact captions, row by row.
struct MenuRow {
    const char *left;
    const char *leftCaption;
    const char *right;  // "lab_01": the folder row
    const char *rightCaption;
};

const MenuRow kMenuRows[] = {
    {"cmd_1", "證券所有人名冊查詢", "cmd_8", "   證券所有人名冊查詢     (私募有價證券明細)"},
    {"cmd_7", "證券所有人名冊(身分證/營利事業編號相同暨出生/設立日期不同)查詢", "cmd_10", "全權委託資料查詢"},
    {"cmd_2", "設質資料查詢", "cmd_11", "信託戶資料查詢"},
    {"cmd_3", "長戶名資料查詢", "cmd_5", "股東名冊筆數查詢"},
    {"cmd_15", "英文長戶名資料查詢", "cmd_9", "股票號碼檔筆數查詢"},
    {"cmd_4", "無實體登錄資料查詢", "cmd_14", "名冊罕用字檔查詢"},
    {"cmd_12", "       限制上市櫃          證券所有人名冊查詢", "lab_01", "檔案位置"},
    {"cmd_16", "法院提存資料查詢", "cmd_17", "法拍專戶明細查詢"},
    {"cmd_18", "限制員工權利新股查詢", "cmd_6", "結束作業"},
};

QString q(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Every label of a window but the picture, as "name=caption".
QStringList labelsOf(QWidget *window)
{
    QStringList labels;
    for (QLabel *label : window->findChildren<QLabel *>())
        if (label->objectName() != QLatin1String("Image1"))
            labels.push_back(label->objectName() + QLatin1Char('=') + captionOf(label));
    return labels;
}

// Matches the expected captions one for one against the window's labels; a "*" name
// matches any name. What is left over on either side is reported.
void compareLabels(QStringList actual, const std::vector<Caption> &expected, const QString &screen)
{
    QStringList missing;
    for (const Caption &c : expected) {
        qsizetype found = -1;
        for (qsizetype i = 0; i < actual.size() && found < 0; ++i) {
            const QString &a = actual[i];
            const qsizetype eq = a.indexOf(QLatin1Char('='));
            if (a.mid(eq + 1) == q(c.text) && (q(c.name) == QLatin1String("*") || a.left(eq) == q(c.name)))
                found = i;
        }
        if (found < 0)
            missing.push_back(q(c.name) + QLatin1Char('=') + q(c.text));
        else
            actual.removeAt(found);
    }
    QVERIFY2(missing.isEmpty(),
             qPrintable(screen + QStringLiteral(" lacks: ") + missing.join(QStringLiteral(" | "))));
    QVERIFY2(actual.isEmpty(),
             qPrintable(screen + QStringLiteral(" has more: ") + actual.join(QStringLiteral(" | "))));
}

QString boxText(QWidget *window, const char *name)
{
    if (auto *line = child<QLineEdit>(window, name))
        return line->text();
    if (auto *lines = child<QPlainTextEdit>(window, name))
        return lines->toPlainText();
    return QStringLiteral("(no box)");
}

void leaveFolderBox(Menu &menu)
{
    menu.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(menu.window.get()));
    menu.folderBox()->setFocus();
    QTRY_VERIFY(menu.folderBox()->hasFocus());
    QTest::keyClick(menu.folderBox(), Qt::Key_Tab);
}

}  // namespace

class ScreenTextsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setUpApplication();
        test::writeHandDisc(folder_.path().toStdString());
    }

    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName().startsWith(QLatin1String("frm_")) &&
                w->objectName() != QLatin1String("frm_0"))
                delete w;
    }

    void mainMenu()
    {
        Menu menu(folder_.path());
        QCOMPARE(menu.window->objectName(), QStringLiteral("frm_0"));
        QCOMPARE(menu.window->windowTitle(), QStringLiteral("證券所有人名冊查詢 (1040315)"));
        QCOMPARE(child<QLabel>(menu.window.get(), "Label1")->text(), QStringLiteral("證券所有人名冊"));
        QCOMPARE(menu.folderBox()->toolTip(), QStringLiteral("可手動輸入檔案位置"));
        QCOMPARE(menu.productionDate(), QStringLiteral("製作日期:113/12/09"));
        int lastTop = -1;
        for (const MenuRow &row : kMenuRows) {
            QPushButton *left = menu.button(row.left);
            QPushButton *right = menu.button(row.right);
            QVERIFY2(left && right, row.left);
            QCOMPARE(left->text(), q(row.leftCaption));
            QCOMPARE(right->text(), q(row.rightCaption));
            // Left beside right, each row below the one before.
            QVERIFY2(left->mapTo(menu.window.get(), QPoint()).x() <
                         right->mapTo(menu.window.get(), QPoint()).x(),
                     row.left);
            const int top = left->mapTo(menu.window.get(), QPoint()).y();
            QVERIFY2(top > lastTop, row.left);
            const int rightMiddle = right->mapTo(menu.window.get(), QPoint(0, right->height() / 2)).y();
            QVERIFY2(rightMiddle > top && rightMiddle < top + left->height(), row.right);
            lastTop = top;
        }
    }

    void everyQueryScreen_data()
    {
        QTest::addColumn<int>("index");
        for (size_t i = 0; i < screenTexts().size(); ++i)
            QTest::newRow(screenTexts()[i].screen) << static_cast<int>(i);
    }

    void everyQueryScreen()
    {
        QFETCH(int, index);
        const ScreenTexts &t = screenTexts().at(static_cast<size_t>(index));
        Menu menu(folder_.path());
        QWidget *window = menu.open(t.button);
        QVERIFY(window);
        QCOMPARE(window->objectName(), q(t.screen));
        QCOMPARE(window->windowTitle(), q(t.windowCaption));
        QCOMPARE(child<QLabel>(window, "Label1")->text(), q(t.title));

        auto *combo = child<QComboBox>(window, "comb_1");
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items.push_back(combo->itemText(i));
        QStringList expectedItems;
        for (const char *caption : t.combo)
            expectedItems.push_back(q(caption));
        QCOMPARE(items, expectedItems);
        QCOMPARE(combo->currentText(), q(t.combo.front()));

        QCOMPARE(child<QPushButton>(window, "cmd_7") != nullptr, t.pdf);
        if (t.pdf)
            QCOMPARE(child<QPushButton>(window, "cmd_7")->text(), QStringLiteral("PDF 格式"));

        std::vector<Caption> labels{{"Label1", t.title}, {"Label2", "查詢條件"}, {"Label2", "查詢資料"}};
        labels.insert(labels.end(), t.labels.begin(), t.labels.end());
        compareLabels(labelsOf(window), labels, q(t.screen));
        // The pledge legend's doubled ampersand shows one "&".
        if (q(t.screen) == QLatin1String("frm_2")) {
            bool shown = false;
            for (QLabel *label : window->findChildren<QLabel *>())
                shown = shown || label->text() ==
                                     QStringLiteral("設質編號第一碼加註& 者、表限制上市櫃有價證券辦理設質");
            QVERIFY(shown);
        }

        QStringList boxes;
        for (QWidget *w : window->findChildren<QWidget *>())
            if (w->objectName().startsWith(QLatin1String("tx_o_")) &&
                (qobject_cast<QLineEdit *>(w) || qobject_cast<QPlainTextEdit *>(w)))
                boxes.push_back(w->objectName());
        QStringList expectedBoxes{QStringLiteral("tx_o_pnt")};
        for (const char *box : t.boxes)
            expectedBoxes.push_back(q(box));
        boxes.sort();
        expectedBoxes.sort();
        QCOMPARE(boxes, expectedBoxes);

        // The screen opens with the disc's two dates, an empty input and no record.
        QCOMPARE(boxText(window, t.dataDateBox), QStringLiteral("113/12/06"));
        QCOMPARE(boxText(window, "tx_o_25"), QStringLiteral("113/12/09"));
        QCOMPARE(child<QLineEdit>(window, "tx_i_01")->text(), QString());
        QCOMPARE(boxText(window, "tx_o_pnt"), QString());
        QVERIFY(menu.desktop.messages.shown.empty());
    }

    void listingScreens_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("frm_5") << "cmd_5"
                               << "frm_5" << QStringLiteral("股東名冊筆數查詢")
                               << QStringList{QString(), QStringLiteral("  2330AB 證券所有人名冊 001234 筆"),
                                              QStringLiteral("  合計 001234")};
        QTest::newRow("frm_9") << "cmd_9"
                               << "frm_9" << QStringLiteral("股票號碼檔筆數查詢")
                               << QStringList{QString(), QStringLiteral("  股票號碼檔 000042 筆")};
    }

    void listingScreens()
    {
        QFETCH(QString, button);
        QFETCH(QString, screen);
        QFETCH(QString, caption);
        QFETCH(QStringList, lines);
        Menu menu(folder_.path());
        const QByteArray name = button.toLatin1();
        auto *window = qobject_cast<ListingWindow *>(menu.open(name.constData()));
        QVERIFY(window);
        QCOMPARE(window->objectName(), screen);
        QCOMPARE(window->windowTitle(), caption);
        compareLabels(
            labelsOf(window),
            {{"Label1", caption.toUtf8().constData()}, {"Label2", "查詢條件"}, {"Label2", "查詢資料"}},
            screen);

        // The query controls of the design: there, disabled from the start; the combo shows
        // no text.
        auto *combo = child<QComboBox>(window, "comb_1");
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(0), QStringLiteral("依 中文戶名"));
        QCOMPARE(combo->itemText(1), QStringLiteral("依 統一編號"));
        QCOMPARE(combo->currentText(), QString());
        const std::pair<const char *, QString> dead[] = {{"comb_1", QString()},
                                                         {"tx_i_01", QString()},
                                                         {"Command2", QStringLiteral("查詢")},
                                                         {"Command1", QStringLiteral("次筆")},
                                                         {"cmd_5", QString()},
                                                         {"cmd_6", QString()}};
        for (const auto &[control, text] : dead) {
            QWidget *w = child<QWidget>(window, control);
            QVERIFY2(w && !w->isEnabled(), control);
            if (auto *b = qobject_cast<QPushButton *>(w))
                QCOMPARE(b->text(), text);
            QTest::mouseClick(w, Qt::LeftButton);
        }
        QCOMPARE(child<QPushButton>(window, "cmd_5")->toolTip(), QStringLiteral("前一畫面"));
        QCOMPARE(child<QPushButton>(window, "cmd_6")->toolTip(), QStringLiteral("下一畫面"));
        QCOMPARE(combo->currentText(), QString());
        QCOMPARE(child<QPushButton>(window, "cmd_1")->text(), QStringLiteral("列印"));
        QCOMPARE(child<QPushButton>(window, "cmd_2")->text(), QStringLiteral("結束"));
        QVERIFY(child<QPushButton>(window, "cmd_1")->isEnabled() &&
                child<QPushButton>(window, "cmd_2")->isEnabled());

        // The listing: read-only, the lines of the file each after a line break and two blanks.
        auto *listing = child<QPlainTextEdit>(window, "tx_o_01");
        QVERIFY(listing && listing->isReadOnly());
        QCOMPARE(listing->toPlainText().split(QLatin1Char('\n')), lines);
        QVERIFY(menu.desktop.messages.shown.empty());

        // The close box gives the menu button back; the listing opens again.
        QVERIFY(!menu.button(name.constData())->isEnabled());
        QVERIFY(window->close());
        QTRY_VERIFY(!shownWindow(screen));
        QVERIFY(menu.button(name.constData())->isEnabled());
        QVERIFY(menu.open(name.constData()));
    }

    // A second disc with another baseName, securityName, decimalFlag and dates. A screen
    // opened on the first keeps its files; PDF 格式 takes the folder box text and baseName
    // of the moment it is pressed, a display the securityName and decimalFlag of that moment.
    void screensReadTheMenuAtTheMomentOfUse()
    {
        QTemporaryDir second;
        test::writeHandDisc(second.path().toStdString(),
                            {u"T02", u"乙公司", u"114/02/03", u"Y", u"114/02/04"});
        Menu menu(folder_.path());
        QWidget *pla = menu.open("cmd_2");
        QVERIFY(pla);
        auto *pdf = child<QPushButton>(pla, "cmd_7");

        click(pdf);
        // Typed into the folder box, not yet left: the new folder, the old baseName.
        menu.folderBox()->setText(second.path());
        click(pdf);
        // Left: the disc information of the second disc is read.
        leaveFolderBox(menu);
        QCOMPARE(menu.productionDate(), QStringLiteral("製作日期:114/02/04"));
        click(pdf);
        QCOMPARE(menu.desktop.opener.paths,
                 (QStringList{folder_.path() + QStringLiteral("/stkidx/T01_pla.pdf"),
                              second.path() + QStringLiteral("/stkidx/T01_pla.pdf"),
                              second.path() + QStringLiteral("/stkidx/T02_pla.pdf")}));

        // The screen shows the first disc's record with the second disc's securityName and
        // decimalFlag; its dates are those of its opening.
        click(child<QPushButton>(pla, "cmd_1"));
        QCOMPARE(boxText(pla, "tx_o_01"), QStringLiteral("2330AB  乙公司"));
        QCOMPARE(boxText(pla, "tx_o_10"), QStringLiteral("12,345.67"));
        QCOMPARE(boxText(pla, "tx_o_12"), QStringLiteral("113/12/06"));
        QCOMPARE(boxText(pla, "tx_o_25"), QStringLiteral("113/12/09"));
        // A screen opened now takes the second disc's files and dates.
        QWidget *psm = menu.open("cmd_1");
        QVERIFY(psm);
        QCOMPARE(boxText(psm, "tx_o_23"), QStringLiteral("114/02/03"));
        click(child<QPushButton>(psm, "cmd_1"));
        QCOMPARE(boxText(psm, "tx_o_06"), QStringLiteral("12,345.67"));
        QVERIFY(menu.desktop.messages.shown.empty());
    }

private:
    QTemporaryDir folder_;
};

QTEST_MAIN(ScreenTextsTest)
#include "screen_texts_test.moc"
