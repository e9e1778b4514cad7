// Long English names: the full English account name (up to 300 characters) of an account.
// Everything on this disc file is single-byte, the 12-character name key included.
#include "datasets/catalogue.h"
#include "datasets/key_kinds.h"
#include "datasets/screen_cells.h"

namespace regdisc {

const DataSetSpec &pelDataSet()
{
    static const DataSetSpec spec{
        .ext = "pel",
        .button = "cmd_15",
        .buttonCaption = u"英文長戶名資料查詢",
        .screen = "frm_15",
        .windowCaption = u"英文長戶名資料查詢",
        .title = u"英文長戶名資料查詢",
        .top = {1800, 35},
        .detail = {57, 36},
        .data = {342, 37},
        .msgTopEmpty = u"MSG_0_44 無可查詢資料 !",
        .msgDetailEmpty = u"MSG_0_45 資料燒錄錯誤 !",
        .msgDataEmpty = u"MSG_0_46 資料燒錄錯誤 !",
        .msgOpenFailed = u"MSG_0_47 ",

        .pointerWidth = 6,
        .detailN = 57,
        .recordNoPos = 34,
        .comboMessage = u"MSG_3_01:查詢條件 不在範圍內 !",
        .damagedMessage = u"MSG_3_99:資料燒錄錯誤 !",
        .keyKinds = onePartyKeyKinds({
            // The English name is used exactly as typed and compared exactly throughout:
            // letter case counts.
            .idSource = 12,
            .accountSource = 1,
            .nameSource = 22,
            .englishName = true,
            .messages = {.idAccountTopScan = u"MSG_3_02:無符合資料 !",
                         .nameTopScan = u"MSG_3_03:無符合資料 !",
                         .idPrefix = u"MSG_3_04:無符合資料 !",
                         .accountPrefix = u"MSG_3_05:無符合資料 !",
                         .namePrefix = u"MSG_3_06:無符合資料 !"},
        }),
        .testOrder = {1, 2, 3},
        .listOrder = {3, 2, 1},
        .initialKeyKind = 3,

        .dataN = 342,
        .fields =
            {
                {.box = "tx_o_01", .pos = 1, .width = 11, .meaning = FieldMeaning::Account},
                {.box = "tx_o_02", .pos = 12, .width = 10, .meaning = FieldMeaning::Id},
                {.box = "tx_o_03", .pos = 22, .width = 300, .meaning = FieldMeaning::EnglishName},
                {.box = "tx_o_04",
                 .pos = 322,
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
                {boxCell("lab_03", u"英文戶名", "tx_o_03", BoxSize::MultiLine)},
                {boxCell("lab_05", u"資料日期", "tx_o_05")},
                {boxCell("lab_25", u"製作日期", "tx_o_25")},
            },
        .print =
            {
                .titles = {u"　　　 鼎岳有價證券登錄社-英文長戶名資料查詢"},
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
                        labelLine("lab_25", "tx_o_25"),
                    },
            },
    };
    return spec;
}

}  // namespace regdisc
