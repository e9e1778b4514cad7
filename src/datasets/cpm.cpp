// Court-auction accounts: each record joins a court-auction account (法院拍賣專戶) and the
// owner (所有人) of shares of the security held in it, with the balance and the case,
// seizure and item numbers. The index is the two-party index of the pledges, messages
// included.
#include "datasets/catalogue.h"
#include "datasets/key_kinds.h"
#include "datasets/screen_cells.h"

namespace regdisc {

const DataSetSpec &cpmDataSet()
{
    static const DataSetSpec spec{
        .ext = "cpm",
        .button = "cmd_17",
        .buttonCaption = u"法拍專戶明細查詢",
        .screen = "frm_17",
        .windowCaption = u"法拍專戶明細查詢",
        .title = u"法拍專戶明細查詢",
        .top = {1800, 41},
        .detail = {108, 42},
        .data = {410, 43},
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
        .keyKinds = twoPartyKeyKinds(
            {u"依 執行機關統編", u"依 法院拍賣帳號", u"依 法院拍賣戶名", 31, 1, 12, u"法院拍賣專戶"},
            {u"依 身份證字號", u"依 所有人帳號", u"依 所有人戶名", 66, 183, 47, u"所有人"}),
        .testOrder = {1, 2, 3, 4, 5, 6},
        .listOrder = {3, 2, 1, 6, 5, 4},
        .initialKeyKind = 3,

        .dataN = 265,
        // The security code stands after the court-auction account's fields; the birth date
        // is shown as its eight stored characters.
        .fields =
            {
                {.box = "tx_o_02",
                 .pos = 1,
                 .width = 11,
                 .meaning = FieldMeaning::Account,
                 .owner = FieldOwner::AuctionAccount},
                {.box = "tx_o_03",
                 .pos = 12,
                 .width = 19,
                 .doubleByte = true,
                 .meaning = FieldMeaning::Name,
                 .owner = FieldOwner::AuctionAccount},
                {.box = "tx_o_04",
                 .pos = 31,
                 .width = 10,
                 .meaning = FieldMeaning::AgencyNumber,
                 .owner = FieldOwner::AuctionAccount},
                {.box = "tx_o_01",
                 .pos = 41,
                 .width = 6,
                 .rule = Rule::Security,
                 .meaning = FieldMeaning::SecurityCode},
                {.box = "tx_o_07",
                 .pos = 47,
                 .width = 19,
                 .doubleByte = true,
                 .meaning = FieldMeaning::Name,
                 .owner = FieldOwner::Owner},
                {.box = "tx_o_08",
                 .pos = 66,
                 .width = 10,
                 .meaning = FieldMeaning::Id,
                 .owner = FieldOwner::Owner},
                {.box = "tx_o_11",
                 .pos = 77,
                 .width = 8,
                 .meaning = FieldMeaning::BirthDate,
                 .owner = FieldOwner::Owner},
                {.box = "tx_o_05",
                 .pos = 85,
                 .width = 39,
                 .doubleByte = true,
                 .meaning = FieldMeaning::RegisteredAddress,
                 .owner = FieldOwner::Owner},
                {.box = "tx_o_09",
                 .pos = 124,
                 .width = 39,
                 .doubleByte = true,
                 .meaning = FieldMeaning::MailingAddress,
                 .owner = FieldOwner::Owner},
                {.box = "tx_o_13",
                 .pos = 163,
                 .width = 20,
                 .meaning = FieldMeaning::Telephone,
                 .owner = FieldOwner::Owner},
                {.box = "tx_o_06",
                 .pos = 183,
                 .width = 11,
                 .meaning = FieldMeaning::Account,
                 .owner = FieldOwner::Owner},
                {.box = "tx_o_15", .pos = 194, .width = 1, .meaning = FieldMeaning::DetailCategory},
                {.box = "tx_o_10",
                 .pos = 195,
                 .width = 13,
                 .rule = Rule::Quantity,
                 .meaning = FieldMeaning::Balance},
                {.box = "tx_o_16",
                 .pos = 208,
                 .width = 29,
                 .doubleByte = true,
                 .meaning = FieldMeaning::CaseNumber},
                {.box = "tx_o_14", .pos = 237, .width = 13, .meaning = FieldMeaning::SeizureNumber},
                {.box = "tx_o_18", .pos = 250, .width = 1, .meaning = FieldMeaning::SeizureCategory},
                {.box = "tx_o_17", .pos = 251, .width = 13, .meaning = FieldMeaning::Number},
            },
        .dataDateBox = "tx_o_12",
        .hasPdf = true,

        // Both legend captions end with a line break.
        .rows =
            {
                {boxCell("lab_01", u"證券代號", "tx_o_01")},
                {headingCell("Label2", u"法院拍賣專戶")},
                {boxCell("lab_02", u"帳號", "tx_o_02")},
                {boxCell("lab_03", u"中文戶名", "tx_o_03", BoxSize::Wide)},
                {boxCell("lab_04", u"執行機關統一編號", "tx_o_04")},
                {headingCell("Label2", u"所有人")},
                {boxCell("lab_06", u"帳號", "tx_o_06")},
                {boxCell("lab_07", u"中文戶名", "tx_o_07", BoxSize::Wide)},
                {boxCell("lab_08", u"身份證字號", "tx_o_08")},
                {boxCell("lab_05", u"戶籍地址", "tx_o_05", BoxSize::Full)},
                {boxCell("lab_09", u"通訊地址", "tx_o_09", BoxSize::Full)},
                {boxCell("lab_11", u"出生日期", "tx_o_11"), boxCell("lab_13", u"電話", "tx_o_13")},
                {boxCell("lab_10", u"餘額", "tx_o_10"),
                 boxCell("lab_15", u"登錄專戶明細類別", "tx_o_15", BoxSize::OneChar,
                         {{"Label3", u"A：證券所有人明細、B：代保管明細、C：現股設質明細(已繳回)"
                                     u"、D：現股設質明細(未繳回)\r\n"}})},
                {boxCell("lab_14", u"扣押編號", "tx_o_14"),
                 boxCell("Lab_18", u"扣押項目類別", "tx_o_18", BoxSize::OneChar,
                         {{"Label4", u"1：一般扣押及扣押編號、2：設質及扣押編號、3：提存及寄存證編號、4：公務"
                                     u"保證及扣押編號\r\n"}})},
                {boxCell("lab_16", u"執行函文案號", "tx_o_16", BoxSize::Wide)},
                {boxCell("lab_17", u"編號", "tx_o_17")},
                {boxCell("lab_12", u"資料日期", "tx_o_12"), boxCell("lab_25", u"製作日期", "tx_o_25")},
            },
        // The two headings are printed without padding, and no blank line follows 所有人.
        .print =
            {
                .titles = {u"　　　 鼎岳有價證券登錄社-法拍專戶明細查詢"},
                .padding = u"　　　　　  ",
                .labelWidth = 8,
                .tabColumn = 17,
                .titleSize = 20,
                .bodySize = 12,
                .lines =
                    {
                        labelLine("lab_01", "tx_o_01"), blankLine(),
                        captionLine(u"法院拍賣專戶"),   blankLine(),
                        labelLine("lab_02", "tx_o_02"), labelLine("lab_03", "tx_o_03"),
                        labelLine("lab_04", "tx_o_04"), blankLine(),
                        captionLine(u"所有人"),         labelLine("lab_06", "tx_o_06"),
                        labelLine("lab_07", "tx_o_07"), labelLine("lab_08", "tx_o_08"),
                        labelLine("lab_05", "tx_o_05"), labelLine("lab_09", "tx_o_09"),
                        labelLine("lab_11", "tx_o_11"), labelLine("lab_13", "tx_o_13"),
                        labelLine("lab_10", "tx_o_10"), labelLine("lab_14", "tx_o_14"),
                        labelLine("lab_15", "tx_o_15"), labelLine("lab_16", "tx_o_16"),
                        labelLine("lab_17", "tx_o_17"), labelLine("Lab_18", "tx_o_18"),
                        labelLine("lab_12", "tx_o_12"), labelLine("lab_25", "tx_o_25"),
                    },
            },
    };
    return spec;
}

}  // namespace regdisc
