// Rare characters: the register's rare-character file, holding the identifying part of a
// holder-register record (laid out as there) followed directly by the legal representative
// and the security code. The box names are those of the holder-register screen.
#include "datasets/catalogue.h"
#include "datasets/key_kinds.h"
#include "datasets/screen_cells.h"

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
        .keyKinds = onePartyKeyKinds({
            .idSource = 31,
            .accountSource = 1,
            .nameSource = 12,
            .messages = {.idAccountTopScan = u"MSG_14_02:無符合資料 !",
                         .nameTopScan = u"MSG_14_03:無符合資料 !",
                         .idPrefix = u"MSG_14_04:無符合資料 !",
                         .accountPrefix = u"MSG_14_05:無符合資料 !",
                         .namePrefix = u"MSG_14_06:無符合資料 !"},
        }),
        .testOrder = {1, 2, 3},
        .listOrder = {3, 2, 1},
        .initialKeyKind = 3,

        .dataN = 135,
        .fields =
            {
                {.box = "tx_o_01", .pos = 1, .width = 11, .meaning = FieldMeaning::Account},
                {.box = "tx_o_02", .pos = 12, .width = 19, .doubleByte = true, .meaning = FieldMeaning::Name},
                {.box = "tx_o_03", .pos = 31, .width = 10, .meaning = FieldMeaning::Id},
                {.box = "tx_o_04",
                 .pos = 41,
                 .width = 39,
                 .doubleByte = true,
                 .meaning = FieldMeaning::RegisteredAddress},
                {.box = "tx_o_05",
                 .pos = 80,
                 .width = 39,
                 .doubleByte = true,
                 .meaning = FieldMeaning::MailingAddress},
                {.box = "tx_o_09",
                 .pos = 119,
                 .width = 9,
                 .doubleByte = true,
                 .meaning = FieldMeaning::LegalRepresentative},
                {.box = "tx_o_11",
                 .pos = 128,
                 .width = 6,
                 .rule = Rule::Security,
                 .meaning = FieldMeaning::SecurityCode},
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
