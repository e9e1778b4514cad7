// The holder-register record and screen, shared by psm, pid, pru and tru.
#include "datasets/catalogue.h"
#include "datasets/screen_cells.h"

namespace regdisc {

std::vector<FieldSpec> holderRegisterFields(HolderFieldSet set)
{
    std::vector<FieldSpec> fields{
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
        {.box = "tx_o_06", .pos = 119, .width = 13, .rule = Rule::Quantity, .meaning = FieldMeaning::Shares},
        {.box = "tx_o_07",
         .pos = 132,
         .width = 13,
         .rule = Rule::Quantity,
         .meaning = FieldMeaning::TotalShares},
        {.box = "tx_o_08",
         .pos = 145,
         .width = 8,
         .rule = Rule::BirthDate,
         .meaning = FieldMeaning::BirthDate},
        {.box = "tx_o_09",
         .pos = 153,
         .width = 9,
         .doubleByte = true,
         .meaning = FieldMeaning::LegalRepresentative},
        {.box = "tx_o_10", .pos = 162, .width = 8, .rule = Rule::Date, .meaning = FieldMeaning::OpeningDate},
        {.box = "tx_o_11",
         .pos = 170,
         .width = 6,
         .rule = Rule::Security,
         .meaning = FieldMeaning::SecurityCode},
        {.box = "tx_o_12", .pos = 176, .width = 1, .meaning = FieldMeaning::CreditCode},
        {.box = "tx_o_13",
         .pos = 177,
         .width = 8,
         .rule = Rule::Date,
         .meaning = FieldMeaning::AddressChangeDate},
        {.box = "tx_o_14", .pos = 185, .width = 20, .meaning = FieldMeaning::Telephone},
        {.box = "tx_o_15", .pos = 205, .width = 1, .meaning = FieldMeaning::IdErrorMark},
        {.box = "tx_o_16", .pos = 206, .width = 1, .meaning = FieldMeaning::HolderType},
        {.box = "tx_o_17", .pos = 207, .width = 1, .meaning = FieldMeaning::PledgeMark},
        {.box = "tx_o_18", .pos = 208, .width = 3, .meaning = FieldMeaning::Postcode},
        {.box = "tx_o_19", .pos = 211, .width = 17, .meaning = FieldMeaning::GiroAccount},
        {.box = "tx_o_20", .pos = 228, .width = 10, .meaning = FieldMeaning::ForeignInvestorNumber},
        {.box = "tx_o_21", .pos = 240, .width = 1, .meaning = FieldMeaning::MandateCode},
        {.box = "tx_o_22", .pos = 241, .width = 1, .meaning = FieldMeaning::OddLotMark},
    };
    if (set != HolderFieldSet::Basic) {
        fields.push_back({.box = "tx_o_24", .pos = 242, .width = 6, .meaning = FieldMeaning::SubAccount});
        fields.push_back({.box = "tx_o_26", .pos = 248, .width = 2, .meaning = FieldMeaning::Nationality});
    }
    if (set == HolderFieldSet::All) {
        fields.push_back(
            {.box = "tx_o_27", .pos = 250, .width = 1, .meaning = FieldMeaning::CourtDepositMark});
        fields.push_back(
            {.box = "tx_o_28", .pos = 251, .width = 1, .meaning = FieldMeaning::CourtAuctionBalanceMark});
    }
    return fields;
}

namespace {

constexpr std::u16string_view kCreditHeading =
    u"　　　　　　　信用別　　交割款項融資註記證券業務借貸款項註記　　有價證券借貸註記";
constexpr std::u16string_view kCreditLegend = u"信用別：0:普通  1:元大  2:環華  3:富邦  5:安泰  9:自辦";
constexpr std::u16string_view kFinancingLegend = u"交割款項融資註記：A:元大  B:環華  C:富邦  D:安泰";
constexpr std::u16string_view kLendingLegend = u"證券業務借貸款項註記：X:T+5型  Y:半年型";
constexpr std::u16string_view kSecuritiesLendingLegend =
    u"有價證券借貸註記：E:元大  F:環華  G:富邦  H:安泰  W:證商";

}  // namespace

std::vector<RowSpec> holderRegisterRows(HolderFieldSet set)
{
    const bool all = set == HolderFieldSet::All;
    const bool basic = set == HolderFieldSet::Basic;
    // The holder register's mandate legend names one more code than the other screens'.
    const std::u16string_view mandateLegend =
        all ? u"0：一般戶、1：全權委託戶、2：信託戶、3：信託全權委託戶、4：外資/陸資轉配、5：配發撥轉"
            : u"0：一般戶、1：全權委託戶、2：信託戶、3：信託全權委託戶、4：外資/陸資轉配";
    // The heading beside the credit box is lab_12 on the holder register, Label9 elsewhere;
    // its four legends are named accordingly.
    const CellSpec credit = all ? CellSpec{"lab_12",
                                           kCreditHeading,
                                           {{"tx_o_12", BoxSize::OneChar}},
                                           {{"Label3", kCreditLegend},
                                            {"Label9", kFinancingLegend},
                                            {"Label10", kLendingLegend},
                                            {"Label11", kSecuritiesLendingLegend}}}
                                : CellSpec{"Label9",
                                           kCreditHeading,
                                           {{"tx_o_12", BoxSize::OneChar}},
                                           {{"Label3", kCreditLegend},
                                            {"Label10", kFinancingLegend},
                                            {"Label11", kLendingLegend},
                                            {"Label12", kSecuritiesLendingLegend}}};

    std::vector<RowSpec> rows{
        {boxCell("lab_11", u"證券代號", "tx_o_11", BoxSize::Wide)},
        {boxCell("lab_01", u"帳號", "tx_o_01")},
        {boxCell("lab_03", u"統一編號", "tx_o_03")},
        {boxCell("lab_02", u"中文戶名", "tx_o_02", BoxSize::Wide)},
        {boxCell("lab_04", u"戶籍地址", "tx_o_04", BoxSize::Full)},
        {boxCell("lab_05", u"通訊地址", "tx_o_05", BoxSize::Full)},
    };
    RowSpec quantities{boxCell("lab_06", u"各筆股數", "tx_o_06"), boxCell("lab_09", u"法定代理", "tx_o_09")};
    if (!basic)
        quantities.push_back(boxCell("Lab_26", u"國籍資料", "tx_o_26", BoxSize::Narrow));
    rows.push_back(quantities);
    rows.push_back({boxCell("lab_07", u"歸戶股數", "tx_o_07"), boxCell("lab_14", u"電話號碼", "tx_o_14")});
    rows.push_back({boxCell("lab_08", u"出生日期", "tx_o_08"), boxCell("lab_19", u"劃撥帳號", "tx_o_19")});
    rows.push_back(
        {boxCell("lab_10", u"開戶日期", "tx_o_10"),
         boxCell("lab_15", u"統編錯誤", "tx_o_15", BoxSize::OneChar, {{"Label4", u"*：異常、空白：正常"}})});
    rows.push_back(
        {boxCell("lab_13", u"地址異動", "tx_o_13"),
         boxCell(
             "lab_16", u"戶別", "tx_o_16", BoxSize::OneChar,
             {{"Label5", u"0：一般戶 、1：外國投資機構、2：僑外戶、3：大陸地區投資人、4：法院拍賣專戶"}})});
    rows.push_back({boxCell("lab_20", u"外資編號", "tx_o_20"),
                    boxCell("lab_17", u"設質註記", "tx_o_17", BoxSize::OneChar,
                            {{"Label6", u"1：有設質交付資料、空白：無資料"}})});
    rows.push_back(
        {boxCell("lab_18", u"郵遞區號", "tx_o_18"),
         boxCell("lab_21", u"全權委託", "tx_o_21", BoxSize::OneChar, {{"Label7", mandateLegend}})});
    const CellSpec oddLot = boxCell("lab_22", u"零股待領", "tx_o_22", BoxSize::OneChar,
                                    {{"Label8", u"P：零股待領回、X：非零股待領回"}});
    if (basic)
        rows.push_back({CellSpec{}, oddLot});
    else
        rows.push_back({boxCell("lab_24", u"分戶編號", "tx_o_24"), oddLot});
    if (all)
        rows.push_back({boxCell("Lab_27", u"法院提存註記", "tx_o_27", BoxSize::OneChar),
                        boxCell("Lab_28", u"法拍餘額註記", "tx_o_28", BoxSize::OneChar)});
    rows.push_back({boxCell("lab_23", u"資料日期", "tx_o_23"), credit});
    rows.push_back({boxCell("lab_25", u"製作日期", "tx_o_25")});
    return rows;
}

}  // namespace regdisc
