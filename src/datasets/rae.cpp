// Rare characters: the register's rare-character file, holding the identifying part of a
// holder-register record (laid out as there) followed directly by the legal representative
// and the security code. The box names are those of the holder-register screen.
#include "datasets/catalogue.h"
#include "datasets/shared_profiles.h"

namespace regdisc {

const DataSetSpec &raeDataSet()
{
    static const DataSetSpec spec{
        .ext = "rae",
        .button = "cmd_14",
        .buttonCaption = u"名冊罕用字檔查詢",
        .screen = "frm_14",
        .windowCaption = u"名冊罕用字檔查詢",
        .title = u"名冊罕用字檔查詢",
        .top = {1800, 32},
        .detail = {57, 33},
        .data = {241, 34},
        .msgTopEmpty = u"MSG_0_40 無可查詢資料 !",
        .msgDetailEmpty = u"MSG_0_41 資料燒錄錯誤 !",
        .msgDataEmpty = u"MSG_0_42 資料燒錄錯誤 !",
        .msgOpenFailed = u"MSG_0_43 ",

        .pointerWidth = 6,
        .detailN = 51,
        .recordNoPos = 28,
        .comboMessage = u"MSG_14_01:查詢條件 不在範圍內 !",
        .damagedMessage = u"MSG_14_99:資料燒錄錯誤 !",
        .keyKinds =
            {
                {1, u"依 統一編號", InputCase::Upper, Comparison::Binary, Comparison::Binary, false, 12, 1,
                 10, 34, 31, u"MSG_14_02:無符合資料 !", u"MSG_14_04:無符合資料 !", KeyClass::Id},
                {2, u"依 帳號", InputCase::AsTyped, Comparison::Binary, Comparison::Binary, false, 12, 11, 11,
                 40, 1, u"MSG_14_02:無符合資料 !", u"MSG_14_05:無符合資料 !", KeyClass::Account},
                {3, u"依 中文戶名", InputCase::AsTyped, Comparison::Text, Comparison::Text, true, 6, 22, 6,
                 46, 12, u"MSG_14_03:無符合資料 !", u"MSG_14_06:無符合資料 !", KeyClass::Name},
            },
        .testOrder = {1, 2, 3},
        .listOrder = {3, 2, 1},
        .initialKeyKind = 3,

        .dataN = 135,
        .fields =
            {
                {"tx_o_01", 1, 11, Rule::Text, false, "account"},
                {"tx_o_02", 12, 19, Rule::Text, true, "name"},
                {"tx_o_03", 31, 10, Rule::Text, false, "id"},
                {"tx_o_04", 41, 39, Rule::Text, true, "registeredAddress"},
                {"tx_o_05", 80, 39, Rule::Text, true, "mailingAddress"},
                {"tx_o_09", 119, 9, Rule::Text, true, "legalRepresentative"},
                {"tx_o_11", 128, 6, Rule::Security, false, "securityCode"},
            },
        .dataDateBox = "tx_o_23",
        .hasPdf = true,

        .rows =
            {
                {boxCell("lab_11", u"證券代號", "tx_o_11")},
                {boxCell("lab_01", u"帳號", "tx_o_01")},
                {boxCell("lab_03", u"統一編號", "tx_o_03")},
                {boxCell("lab_02", u"中文戶名", "tx_o_02")},
                {boxCell("lab_04", u"戶籍地址", "tx_o_04", BoxSize::Full)},
                {boxCell("lab_05", u"通訊地址", "tx_o_05", BoxSize::Full)},
                {boxCell("lab_09", u"法定代理", "tx_o_09")},
                {boxCell("lab_23", u"資料日期", "tx_o_23")},
                {boxCell("lab_25", u"製作日期", "tx_o_25")},
            },
        // Printed in label order, so the security code follows the legal representative.
        .print =
            {
                .titles = {u"　　　 鼎岳有價證券登錄社-名冊罕用字檔查詢"},
                .padding = u"　　　　　",
                .labelWidth = 5,
                .tabColumn = 11,
                .titleSize = 20,
                .bodySize = 12,
                .lines =
                    {
                        labelLine("lab_01", "tx_o_01"),
                        labelLine("lab_02", "tx_o_02"),
                        labelLine("lab_03", "tx_o_03"),
                        labelLine("lab_04", "tx_o_04"),
                        labelLine("lab_05", "tx_o_05"),
                        labelLine("lab_09", "tx_o_09"),
                        labelLine("lab_11", "tx_o_11"),
                        labelLine("lab_23", "tx_o_23"),
                        labelLine("lab_25", "tx_o_25"),
                    },
            },
    };
    return spec;
}

}  // namespace regdisc
