// Holders of privately placed securities: a holder register with a registration mark, an
// ID-error mark and an account type.
#include "datasets/catalogue.h"
#include "datasets/key_kinds.h"
#include "datasets/screen_cells.h"

namespace regdisc {

const DataSetSpec &pcoDataSet()
{
    static const DataSetSpec spec{
        .ext = "pco",
        .button = "cmd_8",
        // The runs of blanks wrap the caption onto two lines of the button.
        .buttonCaption = u"   證券所有人名冊查詢     (私募有價證券明細)",
        .screen = "frm_8",
        .windowCaption = u"證券所有人名冊查詢 (私募有價證券明細)",
        .title = u"證券所有人名冊查詢(私募有價證券明細)",
        .top = {1800, 19},
        .detail = {57, 20},
        .data = {344, 21},
        .msgTopEmpty = u"MSG_0_23 無可查詢資料 !",
        .msgDetailEmpty = u"MSG_0_24 資料燒錄錯誤 !",
        .msgDataEmpty = u"MSG_0_25 資料燒錄錯誤 !",
        .msgOpenFailed = u"MSG_0_26 ",

        .pointerWidth = 6,
        .detailN = 51,
        .recordNoPos = 28,
        .comboMessage = u"MSG_8_01:查詢條件 不在範圍內 !",
        .damagedMessage = u"MSG_8_99:資料燒錄錯誤 !",
        .keyKinds = onePartyKeyKinds({
            .idSource = 38,
            .accountSource = 8,
            .nameSource = 19,
            .messages = {.idAccountTopScan = u"MSG_8_02:無符合資料 !",
                         .nameTopScan = u"MSG_8_03:無符合資料 !",
                         .idPrefix = u"MSG_8_04:無符合資料 !",
                         .accountPrefix = u"MSG_8_05:無符合資料 !",
                         .namePrefix = u"MSG_8_06:無符合資料 !"},
        }),
        .testOrder = {1, 2, 3},
        .listOrder = {3, 2, 1},
        .initialKeyKind = 3,

        // The record's last 5 characters, not shown, are laid out for double-byte text too.
        .dataN = 233,
        .fields =
            {
                {.box = "tx_o_01", .pos = 8, .width = 11, .meaning = FieldMeaning::Account},
                {.box = "tx_o_02", .pos = 19, .width = 19, .doubleByte = true, .meaning = FieldMeaning::Name},
                {.box = "tx_o_03", .pos = 38, .width = 10, .meaning = FieldMeaning::Id},
                {.box = "tx_o_04",
                 .pos = 49,
                 .width = 39,
                 .doubleByte = true,
                 .meaning = FieldMeaning::RegisteredAddress},
                {.box = "tx_o_05",
                 .pos = 88,
                 .width = 39,
                 .doubleByte = true,
                 .meaning = FieldMeaning::MailingAddress},
                {.box = "tx_o_06",
                 .pos = 127,
                 .width = 13,
                 .rule = Rule::Quantity,
                 .meaning = FieldMeaning::Shares},
                {.box = "tx_o_07",
                 .pos = 140,
                 .width = 13,
                 .rule = Rule::Quantity,
                 .meaning = FieldMeaning::TotalShares},
                {.box = "tx_o_08",
                 .pos = 153,
                 .width = 8,
                 .rule = Rule::BirthDate,
                 .meaning = FieldMeaning::BirthDate},
                {.box = "tx_o_09",
                 .pos = 161,
                 .width = 9,
                 .doubleByte = true,
                 .meaning = FieldMeaning::LegalRepresentative},
                {.box = "tx_o_10",
                 .pos = 170,
                 .width = 8,
                 .rule = Rule::Date,
                 .meaning = FieldMeaning::OpeningDate},
                {.box = "tx_o_11",
                 .pos = 1,
                 .width = 6,
                 .rule = Rule::Security,
                 .meaning = FieldMeaning::SecurityCode},
                {.box = "tx_o_12", .pos = 7, .width = 1, .meaning = FieldMeaning::RegistrationMark},
                {.box = "tx_o_13",
                 .pos = 178,
                 .width = 8,
                 .rule = Rule::Date,
                 .meaning = FieldMeaning::AddressChangeDate},
                {.box = "tx_o_14", .pos = 186, .width = 20, .meaning = FieldMeaning::Telephone},
                {.box = "tx_o_15", .pos = 206, .width = 1, .meaning = FieldMeaning::IdErrorMark},
                {.box = "tx_o_16", .pos = 207, .width = 2, .meaning = FieldMeaning::HolderType},
                {.box = "tx_o_18", .pos = 209, .width = 3, .meaning = FieldMeaning::Postcode},
                {.box = "tx_o_19", .pos = 212, .width = 17, .meaning = FieldMeaning::GiroAccount},
                // Not shown; laid out for five double-byte characters, which the record's
                // 111 double-byte characters count in.
                {.box = "", .pos = 229, .width = 5, .doubleByte = true, .meaning = FieldMeaning::Reserved},
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
                {boxCell("lab_06", u"各筆股數", "tx_o_06"), boxCell("lab_09", u"法定代理", "tx_o_09")},
                {boxCell("lab_07", u"歸戶股數", "tx_o_07"), boxCell("lab_14", u"電話號碼", "tx_o_14")},
                {boxCell("lab_08", u"出生日期", "tx_o_08"), boxCell("lab_19", u"劃撥帳號", "tx_o_19")},
                {boxCell("lab_10", u"開戶日期", "tx_o_10"),
                 boxCell("lab_12", u"登錄註記", "tx_o_12", BoxSize::OneChar,
                         {{"Label3", u"0：非登錄、1：登錄"}})},
                {boxCell("lab_13", u"地址異動", "tx_o_13"),
                 boxCell("lab_15", u"統編錯誤", "tx_o_15", BoxSize::OneChar,
                         {{"Label4", u"*：異常、空白：正常"}})},
                {boxCell("lab_18", u"郵遞區號", "tx_o_18"),
                 boxCell("lab_16", u"戶別", "tx_o_16", BoxSize::Narrow,
                         {{"Label5",
                           u"0：一般戶 、1：外國投資機構、2：僑外戶、3：大陸地區投資人、4：法院拍賣專戶"}})},
                {boxCell("lab_23", u"資料日期", "tx_o_23")},
                {boxCell("lab_25", u"製作日期", "tx_o_25")},
            },
        .print =
            {
                .titles = {u"鼎岳有價證券登錄社-證券所有人名冊查詢(私募有價證券)"},
                .padding = u"　　　　　",
                .labelWidth = 5,
                .tabColumn = 11,
                .titleSize = 20,
                .bodySize = 12,
                .lines =
                    {
                        labelLine("lab_01", "tx_o_01"), labelLine("lab_02", "tx_o_02"),
                        labelLine("lab_03", "tx_o_03"), labelLine("lab_04", "tx_o_04"),
                        labelLine("lab_05", "tx_o_05"), labelLine("lab_06", "tx_o_06"),
                        labelLine("lab_07", "tx_o_07"), labelLine("lab_08", "tx_o_08"),
                        labelLine("lab_09", "tx_o_09"), labelLine("lab_10", "tx_o_10"),
                        labelLine("lab_11", "tx_o_11"), labelLine("lab_12", "tx_o_12"),
                        labelLine("lab_13", "tx_o_13"), labelLine("lab_14", "tx_o_14"),
                        labelLine("lab_15", "tx_o_15"), labelLine("lab_16", "tx_o_16"),
                        labelLine("lab_18", "tx_o_18"), labelLine("lab_19", "tx_o_19"),
                        labelLine("lab_23", "tx_o_23"), labelLine("lab_25", "tx_o_25"),
                    },
            },
    };
    return spec;
}

}  // namespace regdisc
