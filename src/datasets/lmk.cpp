// Holders of restricted listed or over-the-counter securities: a holder register with one
// quantity (持有股數) and no registration mark, ID-error mark or account type.
#include "datasets/catalogue.h"
#include "datasets/key_kinds.h"
#include "datasets/screen_cells.h"

namespace regdisc {

const DataSetSpec &lmkDataSet()
{
    static const DataSetSpec spec{
        .ext = "lmk",
        .button = "cmd_12",
        // The runs of blanks wrap the caption onto two lines of the button.
        .buttonCaption = u"       限制上市櫃          證券所有人名冊查詢",
        .screen = "frm_12",
        .windowCaption = u"限制上市櫃證券所有人名冊查詢",
        .title = u"限制上市櫃證券所有人名冊查詢",
        .top = {1800, 29},
        .detail = {57, 30},
        .data = {334, 31},
        .msgTopEmpty = u"MSG_0_36 無可查詢資料 !",
        .msgDetailEmpty = u"MSG_0_37 資料燒錄錯誤 !",
        .msgDataEmpty = u"MSG_0_38 資料燒錄錯誤 !",
        .msgOpenFailed = u"MSG_0_39 ",

        .pointerWidth = 6,
        .detailN = 51,
        .recordNoPos = 28,
        .comboMessage = u"MSG_12_01:查詢條件 不在範圍內 !",
        .damagedMessage = u"MSG_12_99:資料燒錄錯誤 !",
        .keyKinds = onePartyKeyKinds({
            .idSource = 37,
            .accountSource = 7,
            .nameSource = 18,
            .messages = {.idAccountTopScan = u"MSG_12_02:無符合資料 !",
                         .nameTopScan = u"MSG_12_03:無符合資料 !",
                         .idPrefix = u"MSG_12_04:無符合資料 !",
                         .accountPrefix = u"MSG_12_05:無符合資料 !",
                         .namePrefix = u"MSG_12_06:無符合資料 !"},
        }),
        .testOrder = {1, 2, 3},
        .listOrder = {3, 2, 1},
        .initialKeyKind = 3,

        .dataN = 228,
        .fields =
            {
                {.box = "tx_o_01", .pos = 7, .width = 11, .meaning = FieldMeaning::Account},
                {.box = "tx_o_02", .pos = 18, .width = 19, .doubleByte = true, .meaning = FieldMeaning::Name},
                {.box = "tx_o_03", .pos = 37, .width = 10, .meaning = FieldMeaning::Id},
                {.box = "tx_o_04",
                 .pos = 47,
                 .width = 39,
                 .doubleByte = true,
                 .meaning = FieldMeaning::RegisteredAddress},
                {.box = "tx_o_05",
                 .pos = 86,
                 .width = 39,
                 .doubleByte = true,
                 .meaning = FieldMeaning::MailingAddress},
                {.box = "tx_o_06",
                 .pos = 125,
                 .width = 13,
                 .rule = Rule::Quantity,
                 .meaning = FieldMeaning::SharesHeld},
                {.box = "tx_o_08",
                 .pos = 138,
                 .width = 8,
                 .rule = Rule::BirthDate,
                 .meaning = FieldMeaning::BirthDate},
                {.box = "tx_o_09",
                 .pos = 146,
                 .width = 9,
                 .doubleByte = true,
                 .meaning = FieldMeaning::LegalRepresentative},
                {.box = "tx_o_10",
                 .pos = 155,
                 .width = 8,
                 .rule = Rule::Date,
                 .meaning = FieldMeaning::OpeningDate},
                {.box = "tx_o_11",
                 .pos = 1,
                 .width = 6,
                 .rule = Rule::Security,
                 .meaning = FieldMeaning::SecurityCode},
                {.box = "tx_o_13",
                 .pos = 163,
                 .width = 8,
                 .rule = Rule::Date,
                 .meaning = FieldMeaning::AddressChangeDate},
                {.box = "tx_o_14", .pos = 171, .width = 20, .meaning = FieldMeaning::Telephone},
                {.box = "tx_o_18", .pos = 191, .width = 3, .meaning = FieldMeaning::Postcode},
                {.box = "tx_o_19", .pos = 194, .width = 17, .meaning = FieldMeaning::GiroAccount},
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
                {boxCell("lab_06", u"持有股數", "tx_o_06"), boxCell("lab_09", u"法定代理", "tx_o_09")},
                {boxCell("lab_08", u"出生日期", "tx_o_08"), boxCell("lab_14", u"電話號碼", "tx_o_14")},
                {boxCell("lab_10", u"開戶日期", "tx_o_10"), boxCell("lab_19", u"劃撥帳號", "tx_o_19")},
                {boxCell("lab_13", u"地址異動", "tx_o_13")},
                {boxCell("lab_18", u"郵遞區號", "tx_o_18")},
                {boxCell("lab_23", u"資料日期", "tx_o_23")},
                {boxCell("lab_25", u"製作日期", "tx_o_25")},
            },
        .print =
            {
                .titles = {u"鼎岳有價證券登錄社-限制上市櫃證券所有人名冊查詢"},
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
                        labelLine("lab_06", "tx_o_06"),
                        labelLine("lab_08", "tx_o_08"),
                        labelLine("lab_09", "tx_o_09"),
                        labelLine("lab_10", "tx_o_10"),
                        labelLine("lab_11", "tx_o_11"),
                        labelLine("lab_13", "tx_o_13"),
                        labelLine("lab_14", "tx_o_14"),
                        labelLine("lab_18", "tx_o_18"),
                        labelLine("lab_19", "tx_o_19"),
                        labelLine("lab_23", "tx_o_23"),
                        labelLine("lab_25", "tx_o_25"),
                    },
            },
    };
    return spec;
}

}  // namespace regdisc
