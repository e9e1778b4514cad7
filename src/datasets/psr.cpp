// Dematerialised registration: book-entry registration records of the security, found by
// ID number or Chinese name; the only data set with two KeyKinds and no account key.
#include "datasets/catalogue.h"
#include "datasets/screen_cells.h"

namespace regdisc {

const DataSetSpec &psrDataSet()
{
    static const DataSetSpec spec{
        .ext = "psr",
        .button = "cmd_4",
        .buttonCaption = u"無實體登錄資料查詢",
        .screen = "frm_4",
        .windowCaption = u"無實體登錄資料查詢",
        .title = u"無實體登錄資料查詢",
        .top = {1800, 10},
        .detail = {40, 11},
        .data = {150, 12},
        .msgTopEmpty = u"MSG_0_14 無可查詢資料 !",
        .msgDetailEmpty = u"MSG_0_15 資料燒錄錯誤 !",
        .msgDataEmpty = u"MSG_0_16 資料燒錄錯誤 !",
        .msgOpenFailed = u"MSG_0_17 ",

        .pointerWidth = 6,
        .detailN = 34,
        .recordNoPos = 17,
        .comboMessage = u"MSG_4_01:查詢條件 不在範圍內 !",
        .damagedMessage = u"MSG_4_99:資料燒錄錯誤 !",
        .keyKinds =
            {
                {.number = 1,
                 .caption = u"依 統一編號",
                 .inputCase = InputCase::Upper,
                 .topKeyWidth = 12,
                 .keyPos = 1,
                 .keyWidth = 10,
                 .nextPos = 23,
                 .sourcePos = 7,
                 .topScanMessage = u"MSG_4_02:無符合資料 !",
                 .prefixMessage = u"MSG_4_04:無符合資料 !",
                 .keyClass = KeyClass::Id},
                {.number = 2,
                 .caption = u"依 中文戶名",
                 .lookup = Comparison::Text,
                 .lookAhead = Comparison::Text,
                 .doubleByte = true,
                 .topKeyWidth = 6,
                 .keyPos = 11,
                 .keyWidth = 6,
                 .nextPos = 29,
                 .sourcePos = 57,
                 .topScanMessage = u"MSG_4_03:無符合資料 !",
                 .prefixMessage = u"MSG_4_05:無符合資料 !",
                 .keyClass = KeyClass::Name},
            },
        .testOrder = {1, 2},
        .listOrder = {2, 1},
        .initialKeyKind = 2,

        .dataN = 131,
        .fields =
            {
                {.box = "tx_o_01",
                 .pos = 1,
                 .width = 6,
                 .rule = Rule::Security,
                 .meaning = FieldMeaning::SecurityCode},
                {.box = "tx_o_02", .pos = 7, .width = 10, .meaning = FieldMeaning::Id},
                {.box = "tx_o_02_1", .pos = 17, .width = 1, .meaning = FieldMeaning::DuplicateIdMark},
                {.box = "tx_o_03",
                 .pos = 18,
                 .width = 13,
                 .rule = Rule::Quantity,
                 .meaning = FieldMeaning::Shares},
                {.box = "tx_o_04",
                 .pos = 31,
                 .width = 13,
                 .rule = Rule::Quantity,
                 .meaning = FieldMeaning::RepliedShares},
                {.box = "tx_o_07",
                 .pos = 44,
                 .width = 13,
                 .rule = Rule::Quantity,
                 .meaning = FieldMeaning::RepliedDeferredTaxShares},
                {.box = "tx_o_05", .pos = 57, .width = 19, .doubleByte = true, .meaning = FieldMeaning::Name},
                {.box = "tx_o_08", .pos = 76, .width = 1, .meaning = FieldMeaning::DetailCategory},
                {.box = "tx_o_09", .pos = 77, .width = 10, .meaning = FieldMeaning::Pledgee},
                {.box = "tx_o_10", .pos = 87, .width = 20, .meaning = FieldMeaning::Remark},
                {.box = "tx_o_11", .pos = 107, .width = 1, .meaning = FieldMeaning::CourtAuctionBalanceMark},
            },
        .dataDateBox = "tx_o_06",
        .hasPdf = true,

        .rows =
            {
                {boxCell("lab_01", u"證券代號", "tx_o_01")},
                {boxCell("lab_02", u"統一編號", "tx_o_02")},
                {boxCell("lab_02_1", u"統編重覆", "tx_o_02_1")},
                {boxCell("lab_05", u"中文戶名", "tx_o_05", BoxSize::Wide)},
                {boxCell("lab_03", u"股數", "tx_o_03")},
                {boxCell("lab_04", u"回覆股數", "tx_o_04")},
                {boxCell("lab_07", u"回覆緩課", "tx_o_07")},
                {boxCell("lab_08", u"明細類別", "tx_o_08", BoxSize::OneChar,
                         {{"Label6", u"A：證券所有人明細、B：代保管明細、C：現股設質明細(已換發)"
                                     u"、D：現股設質明細(未換發)"}})},
                {boxCell("lab_09", u"質權人", "tx_o_09")},
                {boxCell("lab_10", u"備註", "tx_o_10", BoxSize::Wide)},
                {boxCell("lab_11", u"法拍餘額註記", "tx_o_11", BoxSize::OneChar)},
                {boxCell("lab_06", u"資料日期", "tx_o_06")},
                {boxCell("lab_25", u"製作日期", "tx_o_25")},
            },
        // Printed larger than the other screens; the legend is not printed.
        .print =
            {
                .titles = {u"　　　 鼎岳有價證券登錄社-無實體登錄資料查詢"},
                .padding = u"　　　　　",
                .labelWidth = 7,
                .tabColumn = 16,
                .titleSize = 20,
                .bodySize = 14,
                .lines =
                    {
                        labelLine("lab_01", "tx_o_01"),
                        labelLine("lab_02", "tx_o_02"),
                        labelLine("lab_02_1", "tx_o_02_1"),
                        labelLine("lab_05", "tx_o_05"),
                        labelLine("lab_03", "tx_o_03"),
                        labelLine("lab_04", "tx_o_04"),
                        labelLine("lab_07", "tx_o_07"),
                        labelLine("lab_08", "tx_o_08"),
                        labelLine("lab_09", "tx_o_09"),
                        labelLine("lab_10", "tx_o_10"),
                        labelLine("lab_11", "tx_o_11"),
                        labelLine("lab_06", "tx_o_06"),
                        labelLine("lab_25", "tx_o_25"),
                    },
            },
    };
    return spec;
}

}  // namespace regdisc
