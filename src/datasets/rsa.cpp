// Restricted employee shares: holders of restricted new shares issued to employees and the
// quantity each holds. The index is laid out like that of the long Chinese names and
// reports with the same messages.
#include "datasets/catalogue.h"
#include "datasets/key_kinds.h"
#include "datasets/screen_cells.h"

namespace regdisc {

const DataSetSpec &rsaDataSet()
{
    static const DataSetSpec spec{
        .ext = "rsa",
        .button = "cmd_18",
        .buttonCaption = u"限制員工權利新股查詢",
        .screen = "frm_18",
        .windowCaption = u"限制員工權利新股查詢",
        .title = u"限制員工權利新股查詢",
        .top = {1800, 44},
        .detail = {57, 45},
        .data = {100, 46},
        // The menu messages are those of the pledge button.
        .msgTopEmpty = u"MSG_0_05 無可查詢資料 !",
        .msgDetailEmpty = u"MSG_0_06 資料燒錄錯誤 !",
        .msgDataEmpty = u"MSG_0_07 資料燒錄錯誤 !",
        .msgOpenFailed = u"MSG_0_08 ",

        .pointerWidth = 6,
        .detailN = 51,
        .recordNoPos = 28,
        .comboMessage = u"MSG_3_01:查詢條件 不在範圍內 !",
        .damagedMessage = u"MSG_3_99:資料燒錄錯誤 !",
        .keyKinds = onePartyKeyKinds({
            .idSource = 37,
            .accountSource = 7,
            .nameSource = 18,
            .messages = {.idAccountTopScan = u"MSG_3_02:無符合資料 !",
                         .nameTopScan = u"MSG_3_03:無符合資料 !",
                         .idPrefix = u"MSG_3_04:無符合資料 !",
                         .accountPrefix = u"MSG_3_05:無符合資料 !",
                         .namePrefix = u"MSG_3_06:無符合資料 !"},
        }),
        .testOrder = {1, 2, 3},
        .listOrder = {3, 2, 1},
        .initialKeyKind = 3,

        .dataN = 81,
        // The quantity held is always a whole number, whatever the decimal flag says.
        .fields =
            {
                {.box = "tx_o_04",
                 .pos = 1,
                 .width = 6,
                 .rule = Rule::Security,
                 .meaning = FieldMeaning::SecurityCode},
                {.box = "tx_o_01", .pos = 7, .width = 11, .meaning = FieldMeaning::Account},
                {.box = "tx_o_03", .pos = 18, .width = 19, .doubleByte = true, .meaning = FieldMeaning::Name},
                {.box = "tx_o_02", .pos = 37, .width = 10, .meaning = FieldMeaning::Id},
                {.box = "tx_o_06",
                 .pos = 47,
                 .width = 13,
                 .rule = Rule::WholeNumber,
                 .meaning = FieldMeaning::SharesHeld},
            },
        .dataDateBox = "tx_o_05",
        .hasPdf = true,

        // The ID row reads 身份證字號 while its combo caption says 統一編號.
        .rows =
            {
                {boxCell("lab_04", u"證券代號", "tx_o_04")},
                {boxCell("lab_01", u"帳號", "tx_o_01")},
                {boxCell("lab_02", u"身份證字號", "tx_o_02")},
                {boxCell("lab_03", u"中文戶名", "tx_o_03", BoxSize::Full)},
                {boxCell("lab_06", u"持有股數", "tx_o_06")},
                {boxCell("lab_05", u"資料日期", "tx_o_05")},
                {boxCell("lab_25", u"製作日期", "tx_o_25")},
            },
        .print =
            {
                .titles = {u"　 鼎岳有價證券登錄社-限制員工權利新股查詢"},
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
                        labelLine("lab_06", "tx_o_06"),
                        labelLine("lab_05", "tx_o_05"),
                        labelLine("lab_25", "tx_o_25"),
                    },
            },
    };
    return spec;
}

}  // namespace regdisc
