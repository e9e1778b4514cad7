// The holder-register record and screen, shared by psm, pid, pru and tru.
#include "datasets/catalogue.h"

namespace regdisc {

std::vector<FieldSpec> holderRegisterFields(HolderFieldSet set)
{
    std::vector<FieldSpec> fields{
        {"tx_o_01", 1, 11, Rule::Text, false, "account"},
        {"tx_o_02", 12, 19, Rule::Text, true, "name"},
        {"tx_o_03", 31, 10, Rule::Text, false, "id"},
        {"tx_o_04", 41, 39, Rule::Text, true, "registeredAddress"},
        {"tx_o_05", 80, 39, Rule::Text, true, "mailingAddress"},
        {"tx_o_06", 119, 13, Rule::Quantity, false, "shares"},
        {"tx_o_07", 132, 13, Rule::Quantity, false, "totalShares"},
        {"tx_o_08", 145, 8, Rule::BirthDate, false, "birthDate"},
        {"tx_o_09", 153, 9, Rule::Text, true, "legalRepresentative"},
        {"tx_o_10", 162, 8, Rule::Date, false, "openingDate"},
        {"tx_o_11", 170, 6, Rule::Security, false, "securityCode"},
        {"tx_o_12", 176, 1, Rule::Text, false, "creditCode"},
        {"tx_o_13", 177, 8, Rule::Date, false, "addressChangeDate"},
        {"tx_o_14", 185, 20, Rule::Text, false, "telephone"},
        {"tx_o_15", 205, 1, Rule::Text, false, "idErrorMark"},
        {"tx_o_16", 206, 1, Rule::Text, false, "holderType"},
        {"tx_o_17", 207, 1, Rule::Text, false, "pledgeMark"},
        {"tx_o_18", 208, 3, Rule::Text, false, "postcode"},
        {"tx_o_19", 211, 17, Rule::Text, false, "giroAccount"},
        {"tx_o_20", 228, 10, Rule::Text, false, "foreignInvestorNumber"},
        {"tx_o_21", 240, 1, Rule::Text, false, "mandateCode"},
        {"tx_o_22", 241, 1, Rule::Text, false, "oddLotMark"},
    };
    if (set != HolderFieldSet::Basic) {
        fields.push_back({"tx_o_24", 242, 6, Rule::Text, false, "subAccount"});
        fields.push_back({"tx_o_26", 248, 2, Rule::Text, false, "nationality"});
    }
    if (set == HolderFieldSet::All) {
        fields.push_back({"tx_o_27", 250, 1, Rule::Text, false, "courtDepositMark"});
        fields.push_back({"tx_o_28", 251, 1, Rule::Text, false, "courtAuctionBalanceMark"});
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

CellSpec cell(std::string_view label, std::u16string_view caption, std::string_view box,
              BoxSize size = BoxSize::Normal, std::vector<LegendSpec> legends = {})
{
    return {label, caption, {{box, size}}, std::move(legends)};
}

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
        {cell("lab_11", u"證券代號", "tx_o_11", BoxSize::Wide)},
        {cell("lab_01", u"帳號", "tx_o_01")},
        {cell("lab_03", u"統一編號", "tx_o_03")},
        {cell("lab_02", u"中文戶名", "tx_o_02", BoxSize::Wide)},
        {cell("lab_04", u"戶籍地址", "tx_o_04", BoxSize::Full)},
        {cell("lab_05", u"通訊地址", "tx_o_05", BoxSize::Full)},
    };
    RowSpec quantities{cell("lab_06", u"各筆股數", "tx_o_06"), cell("lab_09", u"法定代理", "tx_o_09")};
    if (!basic)
        quantities.push_back(cell("Lab_26", u"國籍資料", "tx_o_26", BoxSize::Narrow));
    rows.push_back(quantities);
    rows.push_back({cell("lab_07", u"歸戶股數", "tx_o_07"), cell("lab_14", u"電話號碼", "tx_o_14")});
    rows.push_back({cell("lab_08", u"出生日期", "tx_o_08"), cell("lab_19", u"劃撥帳號", "tx_o_19")});
    rows.push_back(
        {cell("lab_10", u"開戶日期", "tx_o_10"),
         cell("lab_15", u"統編錯誤", "tx_o_15", BoxSize::OneChar, {{"Label4", u"*：異常、空白：正常"}})});
    rows.push_back(
        {cell("lab_13", u"地址異動", "tx_o_13"),
         cell("lab_16", u"戶別", "tx_o_16", BoxSize::OneChar,
              {{"Label5", u"0：一般戶 、1：外國投資機構、2：僑外戶、3：大陸地區投資人、4：法院拍賣專戶"}})});
    rows.push_back(
        {cell("lab_20", u"外資編號", "tx_o_20"), cell("lab_17", u"設質註記", "tx_o_17", BoxSize::OneChar,
                                                      {{"Label6", u"1：有設質交付資料、空白：無資料"}})});
    rows.push_back({cell("lab_18", u"郵遞區號", "tx_o_18"),
                    cell("lab_21", u"全權委託", "tx_o_21", BoxSize::OneChar, {{"Label7", mandateLegend}})});
    const CellSpec oddLot = cell("lab_22", u"零股待領", "tx_o_22", BoxSize::OneChar,
                                 {{"Label8", u"P：零股待領回、X：非零股待領回"}});
    if (basic)
        rows.push_back({CellSpec{}, oddLot});
    else
        rows.push_back({cell("lab_24", u"分戶編號", "tx_o_24"), oddLot});
    if (all)
        rows.push_back({cell("Lab_27", u"法院提存註記", "tx_o_27", BoxSize::OneChar),
                        cell("Lab_28", u"法拍餘額註記", "tx_o_28", BoxSize::OneChar)});
    rows.push_back({cell("lab_23", u"資料日期", "tx_o_23"), credit});
    rows.push_back({cell("lab_25", u"製作日期", "tx_o_25")});
    return rows;
}

}  // namespace regdisc
