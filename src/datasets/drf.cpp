// Court deposits: each record joins the depositor (提存人) and the court (法院) of shares of
// the security deposited with a court, with the treasury bank (代庫銀行) that holds the case
// money. The index is the two-party index of the pledges, messages included.
#include "datasets/catalogue.h"
#include "datasets/shared_profiles.h"

namespace regdisc {

const DataSetSpec &drfDataSet()
{
    static const DataSetSpec spec{
        .ext = "drf",
        .button = "cmd_16",
        .buttonCaption = u"法院提存資料查詢",
        .screen = "frm_16",
        .windowCaption = u"法院提存資料查詢",
        .title = u"法院提存資料查詢",
        .top = {1800, 38},
        .detail = {108, 39},
        .data = {392, 40},
        // The menu messages are those of the pledge button.
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
            twoPartyKeyKinds({u"依 提存人統編", u"依 提存人帳號", u"依 提存人戶名", 37, 7, 18, u"提存人"},
                             {u"依 扣繳單位編號", u"依 法院帳號", u"依 法院戶名", 116, 86, 97, u"法院"}),
        .testOrder = {1, 2, 3, 4, 5, 6},
        .listOrder = {3, 2, 1, 6, 5, 4},
        .initialKeyKind = 3,

        .dataN = 257,
        .fields =
            {
                {"tx_o_01", 1, 6, Rule::Security, false, "securityCode"},
                {"tx_o_02", 7, 11, Rule::Text, false, "depositor.account"},
                {"tx_o_03", 18, 19, Rule::Text, true, "depositor.name"},
                {"tx_o_04", 37, 10, Rule::Text, false, "depositor.id"},
                {"tx_o_05", 47, 39, Rule::Text, true, "depositor.mailingAddress"},
                {"tx_o_06", 86, 11, Rule::Text, false, "court.account"},
                {"tx_o_07", 97, 19, Rule::Text, true, "court.name"},
                {"tx_o_08", 116, 10, Rule::Text, false, "court.withholdingUnitNumber"},
                {"tx_o_09", 126, 39, Rule::Text, true, "court.mailingAddress"},
                {"tx_o_10", 165, 13, Rule::Quantity, false, "depositedShares"},
                {"tx_o_14", 178, 10, Rule::Text, false, "depositCertificateNumber"},
                {"tx_o_16", 188, 19, Rule::Text, true, "treasuryBank.name"},
                {"tx_o_17", 207, 10, Rule::Text, false, "treasuryBank.id"},
                {"tx_o_18", 217, 21, Rule::Text, false, "caseMoneyAccount"},
                {"tx_o_15", 238, 1, Rule::Text, false, "courtDepositKind"},
            },
        .dataDateBox = "tx_o_12",
        .hasPdf = true,

        // The kind of court deposit has no legend.
        .rows =
            {
                {boxCell("lab_01", u"證券代號", "tx_o_01")},
                {headingCell("Label2", u"提存人")},
                {boxCell("lab_02", u"帳號", "tx_o_02")},
                {boxCell("lab_03", u"中文戶名", "tx_o_03")},
                {boxCell("lab_04", u"統一編號", "tx_o_04")},
                {boxCell("lab_05", u"通訊地址", "tx_o_05", BoxSize::Wide)},
                {headingCell("Label2", u"法院")},
                {boxCell("lab_06", u"帳號", "tx_o_06")},
                {boxCell("lab_07", u"中文戶名", "tx_o_07")},
                {boxCell("lab_08", u"扣繳單位編號", "tx_o_08")},
                {boxCell("lab_09", u"通訊地址", "tx_o_09", BoxSize::Wide)},
                {boxCell("lab_10", u"提存股數", "tx_o_10"),
                 boxCell("lab_15", u"法院提存別", "tx_o_15", BoxSize::OneChar)},
                {boxCell("lab_14", u"寄存證編號", "tx_o_14")},
                {headingCell("Label3", u"代庫銀行")},
                {boxCell("lab_16", u"中文戶名", "tx_o_16")},
                {boxCell("lab_17", u"統一編號", "tx_o_17"), boxCell("Lab_18", u"案款帳號", "tx_o_18")},
                {boxCell("lab_12", u"資料日期", "tx_o_12"), boxCell("lab_25", u"製作日期", "tx_o_25")},
            },
        .print =
            {
                .titles = {u"　　　 鼎岳有價證券登錄社-法院提存資料查詢"},
                .padding = u"　　　　　  ",
                .labelWidth = 7,
                .tabColumn = 15,
                .titleSize = 20,
                .bodySize = 12,
                .lines =
                    {
                        labelLine("lab_01", "tx_o_01"), blankLine(),
                        captionLine(u"　　提存人"),     labelLine("lab_02", "tx_o_02"),
                        labelLine("lab_03", "tx_o_03"), labelLine("lab_04", "tx_o_04"),
                        labelLine("lab_05", "tx_o_05"), blankLine(),
                        captionLine(u"　　法院"),       labelLine("lab_06", "tx_o_06"),
                        labelLine("lab_07", "tx_o_07"), labelLine("lab_08", "tx_o_08"),
                        labelLine("lab_09", "tx_o_09"), blankLine(),
                        labelLine("lab_10", "tx_o_10"), labelLine("lab_14", "tx_o_14"),
                        labelLine("lab_15", "tx_o_15"), blankLine(),
                        captionLine(u"　　代庫銀行"),   labelLine("lab_16", "tx_o_16"),
                        labelLine("lab_17", "tx_o_17"), labelLine("Lab_18", "tx_o_18"),
                        labelLine("lab_12", "tx_o_12"), labelLine("lab_25", "tx_o_25"),
                    },
            },
    };
    return spec;
}

}  // namespace regdisc
