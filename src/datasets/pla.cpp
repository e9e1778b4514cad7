// Pledges: each record joins the pledgor (出質人) and the pledgee (質權人) of one pledge of
// the security, with the quantity delivered, the pledge number and three coded terms.
#include "datasets/catalogue.h"
#include "datasets/shared_profiles.h"

namespace regdisc {

const DataSetSpec &plaDataSet()
{
    static const DataSetSpec spec{
        .ext = "pla",
        .button = "cmd_2",
        .buttonCaption = u"設質資料查詢",
        .screen = "frm_2",
        .windowCaption = u"設質資料查詢",
        .title = u"設質資料查詢",
        .top = {1800, 4},
        .detail = {108, 5},
        .data = {394, 6},
        .msgTopEmpty = u"MSG_0_05 無可查詢資料 !",
        .msgDetailEmpty = u"MSG_0_06 資料燒錄錯誤 !",
        .msgDataEmpty = u"MSG_0_07 資料燒錄錯誤 !",
        .msgOpenFailed = u"MSG_0_08 ",

        .pointerWidth = 6,
        .detailN = 96,
        .recordNoPos = 55,
        .comboMessage = u"MSG_2_01:查詢條件 不在範圍內 !",
        .damagedMessage = u"MSG_2_99:資料燒錄錯誤 !",
        .keyKinds =
            twoPartyKeyKinds({u"依 出質人統編", u"依 出質人帳號", u"依 出質人戶名", 37, 7, 18, u"出質人"},
                             {u"依 質權人統編", u"依 質權人帳號", u"依 質權人戶名", 116, 86, 97, u"質權人"}),
        .testOrder = {1, 2, 3, 4, 5, 6},
        .listOrder = {3, 2, 1, 6, 5, 4},
        .initialKeyKind = 3,

        .dataN = 278,
        .fields =
            {
                {"tx_o_01", 1, 6, Rule::Security, false, "securityCode"},
                {"tx_o_02", 7, 11, Rule::Text, false, "pledgor.account"},
                {"tx_o_03", 18, 19, Rule::Text, true, "pledgor.name"},
                {"tx_o_04", 37, 10, Rule::Text, false, "pledgor.id"},
                {"tx_o_05", 47, 39, Rule::Text, true, "pledgor.mailingAddress"},
                {"tx_o_06", 86, 11, Rule::Text, false, "pledgee.account"},
                {"tx_o_07", 97, 19, Rule::Text, true, "pledgee.name"},
                {"tx_o_08", 116, 10, Rule::Text, false, "pledgee.id"},
                {"tx_o_09", 126, 39, Rule::Text, true, "pledgee.mailingAddress"},
                {"tx_o_10", 165, 13, Rule::Quantity, false, "pledgedShares"},
                {"tx_o_11", 178, 1, Rule::Text, false, "fruitsAgreementCode"},
                {"tx_o_14", 179, 11, Rule::Text, false, "pledgeNumber"},
                {"tx_o_15", 190, 1, Rule::Text, false, "pledgeNumberMark"},
                {"tx_o_16", 191, 1, Rule::Text, false, "pledgeTrustCode"},
                {"tx_o_17", 192, 11, Rule::Text, false, "trustPropertyAccount"},
                {"tx_o_18", 203, 1, Rule::Text, false, "capitalReductionAgreementCode"},
            },
        .dataDateBox = "tx_o_12",
        .hasPdf = true,

        .rows =
            {
                {boxCell("lab_01", u"證券代號", "tx_o_01")},
                {headingCell("Label2", u"出質人")},
                {boxCell("lab_02", u"帳號", "tx_o_02")},
                {boxCell("lab_03", u"中文戶名", "tx_o_03")},
                {boxCell("lab_04", u"統一編號", "tx_o_04")},
                {boxCell("lab_05", u"通訊地址", "tx_o_05", BoxSize::Wide)},
                {headingCell("Label2", u"質權人")},
                {boxCell("lab_06", u"帳號", "tx_o_06")},
                {boxCell("lab_07", u"中文戶名", "tx_o_07")},
                {boxCell("lab_08", u"統一編號", "tx_o_08")},
                {boxCell("lab_09", u"通訊地址", "tx_o_09", BoxSize::Wide)},
                {boxCell("lab_10", u"交付股數", "tx_o_10")},
                // The mark stands directly left of the pledge number. The second legend keeps
                // its doubled ampersand, the label escape for one "&".
                {CellSpec{"lab_14",
                          u"設質編號",
                          {{"tx_o_15", BoxSize::OneChar}, {"tx_o_14", BoxSize::Normal}},
                          {{"", u"設質編號第一碼加註＃者、表私募有價證券辦理設質"},
                           {"", u"設質編號第一碼加註&& 者、表限制上市櫃有價證券辦理設質"}}}},
                {boxCell("lab_11", u"孳息約定", "tx_o_11", BoxSize::OneChar,
                         {{"", u"1：歸屬出質人、2：歸屬質權人"}})},
                {boxCell("lab_16", u"設質信託", "tx_o_16", BoxSize::OneChar, {{"", u"1：一般、2：信託"}})},
                {boxCell("lab_17", u"信託財產專戶", "tx_o_17")},
                {boxCell("lab_18", u"減資/併購/收回/還本之款項歸屬約定", "tx_o_18", BoxSize::OneChar,
                         {{"", u"1：由出質人領取、2：由質權人領取、3：由股務單位留存保管 "
                               u"空白：表客戶未為款項歸屬約定, 款項由股務單位留存保管"}})},
                {boxCell("lab_12", u"資料日期", "tx_o_12"), boxCell("lab_25", u"製作日期", "tx_o_25")},
            },
        .print =
            {
                .titles = {u"　　　 鼎岳有價證券登錄社-設質資料查詢"},
                .padding = u"　　　　　  ",
                .labelWidth = 7,
                .tabColumn = 15,
                .titleSize = 20,
                .bodySize = 12,
                .lines =
                    {
                        labelLine("lab_01", "tx_o_01"),
                        blankLine(),
                        captionLine(u"　　出質人"),
                        labelLine("lab_02", "tx_o_02"),
                        labelLine("lab_03", "tx_o_03"),
                        labelLine("lab_04", "tx_o_04"),
                        labelLine("lab_05", "tx_o_05"),
                        blankLine(),
                        captionLine(u"　　質權人"),
                        labelLine("lab_06", "tx_o_06"),
                        labelLine("lab_07", "tx_o_07"),
                        labelLine("lab_08", "tx_o_08"),
                        labelLine("lab_09", "tx_o_09"),
                        blankLine(),
                        labelLine("lab_10", "tx_o_10"),
                        labelLine("lab_11", "tx_o_11"),
                        // Mark and pledge number with nothing between them.
                        twoBoxLine("lab_14", "tx_o_15", "tx_o_14"),
                        labelLine("lab_16", "tx_o_16"),
                        labelLine("lab_17", "tx_o_17"),
                        // The 18-character agreement caption has its own label width and no tab.
                        ownWidthLine("lab_18", "tx_o_18", 19),
                        labelLine("lab_12", "tx_o_12"),
                        labelLine("lab_25", "tx_o_25"),
                    },
            },
    };
    return spec;
}

}  // namespace regdisc
