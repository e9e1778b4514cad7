// Long Chinese names: the full Chinese account name (up to 79 characters) of an account,
// shown in two boxes of 40 and 39 characters.
#include "datasets/catalogue.h"
#include "datasets/key_kinds.h"
#include "datasets/screen_cells.h"

namespace regdisc {

const DataSetSpec &pslDataSet()
{
    static const DataSetSpec spec{
        .ext = "psl",
        .button = "cmd_3",
        .buttonCaption = u"長戶名資料查詢",
        .screen = "frm_3",
        .windowCaption = u"長戶名資料查詢",
        .title = u"長戶名資料查詢",
        .top = {1800, 7},
        .detail = {57, 8},
        .data = {200, 9},
        .msgTopEmpty = u"MSG_0_09 無可查詢資料 !",
        .msgDetailEmpty = u"MSG_0_10 資料燒錄錯誤 !",
        .msgDataEmpty = u"MSG_0_11 資料燒錄錯誤 !",
        .msgOpenFailed = u"MSG_0_12 ",

        .pointerWidth = 6,
        .detailN = 51,
        .recordNoPos = 28,
        .comboMessage = u"MSG_3_01:查詢條件 不在範圍內 !",
        .damagedMessage = u"MSG_3_99:資料燒錄錯誤 !",
        .keyKinds = onePartyKeyKinds({
            // The name key is the first 6 characters of the 79-character name.
            .idSource = 12,
            .accountSource = 1,
            .nameSource = 22,
            .messages = {.idAccountTopScan = u"MSG_3_02:無符合資料 !",
                         .nameTopScan = u"MSG_3_03:無符合資料 !",
                         .idPrefix = u"MSG_3_04:無符合資料 !",
                         .accountPrefix = u"MSG_3_05:無符合資料 !",
                         .namePrefix = u"MSG_3_06:無符合資料 !"},
        }),
        .testOrder = {1, 2, 3},
        .listOrder = {3, 2, 1},
        .initialKeyKind = 3,

        .dataN = 121,
        .fields =
            {
                {.box = "tx_o_01", .pos = 1, .width = 11, .meaning = FieldMeaning::Account},
                {.box = "tx_o_02", .pos = 12, .width = 10, .meaning = FieldMeaning::Id},
                {.box = "tx_o_03_1",
                 .pos = 22,
                 .width = 40,
                 .doubleByte = true,
                 .meaning = FieldMeaning::Name,
                 .part = 1},
                {.box = "tx_o_03_2",
                 .pos = 62,
                 .width = 39,
                 .doubleByte = true,
                 .meaning = FieldMeaning::Name,
                 .part = 2},
                {.box = "tx_o_04",
                 .pos = 101,
                 .width = 6,
                 .rule = Rule::Security,
                 .meaning = FieldMeaning::SecurityCode},
            },
        .dataDateBox = "tx_o_05",
        .hasPdf = true,

        .rows =
            {
                {boxCell("lab_04", u"證券代號", "tx_o_04")},
                {boxCell("lab_01", u"帳號", "tx_o_01")},
                {boxCell("lab_02", u"統一編號", "tx_o_02")},
                {boxCell("lab_03", u"中文戶名", "tx_o_03_1", BoxSize::Full)},
                // Characters 41 to 79 of the name, below the first 40.
                {boxCell("", u"", "tx_o_03_2", BoxSize::Full)},
                {boxCell("lab_05", u"資料日期", "tx_o_05")},
                {boxCell("lab_25", u"製作日期", "tx_o_25")},
            },
        .print =
            {
                .titles = {u"　　　 鼎岳有價證券登錄社-長戶名資料查詢"},
                .padding = u"　　　　　",
                .labelWidth = 5,
                .tabColumn = 11,
                .titleSize = 20,
                .bodySize = 12,
                .lines =
                    {
                        labelLine("lab_01", "tx_o_01"),
                        labelLine("lab_02", "tx_o_02"),
                        labelLine("lab_03", "tx_o_03_1"),
                        // The second part of the name stands under the first one's value.
                        continuationLine(14, "tx_o_03_2"),
                        labelLine("lab_04", "tx_o_04"),
                        labelLine("lab_05", "tx_o_05"),
                        labelLine("lab_25", "tx_o_25"),
                    },
            },
    };
    return spec;
}

}  // namespace regdisc
