// Discretionary-mandate (pru) and trust (tru) accounts: holder-register records under a
// mandate. The two screens are one design; they differ in captions, files, slots and
// message identifiers.
#include "datasets/catalogue.h"
#include "datasets/key_kinds.h"

namespace regdisc {

namespace {

struct MandateDifferences {
    std::string_view ext, button, screen;
    std::u16string_view buttonCaption, caption, printTitle;
    FileSpec top, detail, data;
    std::u16string_view m1, m2, m3, m4;
    std::u16string_view msg01, msg02, msg03, msg04, msg05, msg06, msg99;
};

DataSetSpec mandateDataSet(const MandateDifferences &d)
{
    return DataSetSpec{
        .ext = d.ext,
        .button = d.button,
        .buttonCaption = d.buttonCaption,
        .screen = d.screen,
        .windowCaption = d.caption,
        .title = d.caption,
        .top = d.top,
        .detail = d.detail,
        .data = d.data,
        .msgTopEmpty = d.m1,
        .msgDetailEmpty = d.m2,
        .msgDataEmpty = d.m3,
        .msgOpenFailed = d.m4,

        .pointerWidth = 6,
        .detailN = 51,
        .recordNoPos = 28,
        .comboMessage = d.msg01,
        .damagedMessage = d.msg99,
        .keyKinds = onePartyKeyKinds({
            .idSource = 31,
            .accountSource = 1,
            .nameSource = 12,
            .messages = {.idAccountTopScan = d.msg02,
                         .nameTopScan = d.msg03,
                         .idPrefix = d.msg04,
                         .accountPrefix = d.msg05,
                         .namePrefix = d.msg06},
        }),
        .testOrder = {1, 2, 3},
        .listOrder = {3, 2, 1},
        .initialKeyKind = 3,

        .dataN = 388,
        .fields = holderRegisterFields(HolderFieldSet::Trust),
        .dataDateBox = "tx_o_23",
        .hasPdf = true,

        .rows = holderRegisterRows(HolderFieldSet::Trust),
        .print =
            {
                .titles = {d.printTitle},
                .padding = u"　　　　　",
                .labelWidth = 5,
                .tabColumn = 11,
                .titleSize = 20,
                .bodySize = 12,
                // No line for 歸戶股數, which the screen shows all the same.
                .lines =
                    {
                        labelLine("lab_01", "tx_o_01"),  labelLine("lab_02", "tx_o_02"),
                        labelLine("lab_03", "tx_o_03"),  labelLine("lab_04", "tx_o_04"),
                        labelLine("lab_05", "tx_o_05"),  labelLine("lab_06", "tx_o_06"),
                        labelLine("lab_08", "tx_o_08"),  labelLine("lab_09", "tx_o_09"),
                        labelLine("lab_10", "tx_o_10"),  labelLine("lab_11", "tx_o_11"),
                        fixedLine(u"信用別", "tx_o_12"), labelLine("lab_13", "tx_o_13"),
                        labelLine("lab_14", "tx_o_14"),  labelLine("lab_15", "tx_o_15"),
                        labelLine("lab_16", "tx_o_16"),  labelLine("lab_17", "tx_o_17"),
                        labelLine("lab_18", "tx_o_18"),  labelLine("lab_19", "tx_o_19"),
                        labelLine("lab_20", "tx_o_20"),  labelLine("lab_21", "tx_o_21"),
                        labelLine("lab_22", "tx_o_22"),  labelLine("lab_24", "tx_o_24"),
                        labelLine("Lab_26", "tx_o_26"),  labelLine("lab_23", "tx_o_23"),
                        labelLine("lab_25", "tx_o_25"),
                    },
            },
    };
}

}  // namespace

const DataSetSpec &pruDataSet()
{
    static const DataSetSpec spec = mandateDataSet({
        "pru",
        "cmd_10",
        "frm_10",
        u"全權委託資料查詢",
        u"全權委託資料查詢",
        u"　　　 鼎岳有價證券登錄社-全權委託資料查詢",
        {1800, 23},
        {57, 24},
        {494, 25},
        u"MSG_0_28 無可查詢資料 !",
        u"MSG_0_29 資料燒錄錯誤 !",
        u"MSG_0_30 資料燒錄錯誤 !",
        u"MSG_0_31 ",
        u"MSG_10_01:查詢條件 不在範圍內 !",
        u"MSG_10_02:無符合資料 !",
        u"MSG_10_03:無符合資料 !",
        u"MSG_10_04:無符合資料 !",
        u"MSG_10_05:無符合資料 !",
        u"MSG_10_06:無符合資料 !",
        u"MSG_10_99:資料燒錄錯誤 !",
    });
    return spec;
}

const DataSetSpec &truDataSet()
{
    static const DataSetSpec spec = mandateDataSet({
        "tru",
        "cmd_11",
        "frm_11",
        u"信託戶資料查詢",
        u"信託資料查詢",
        u"　　　 鼎岳有價證券登錄社-信託資料查詢",
        {1800, 26},
        {57, 27},
        {494, 28},
        u"MSG_0_32 無可查詢資料 !",
        u"MSG_0_33 資料燒錄錯誤 !",
        u"MSG_0_34 資料燒錄錯誤 !",
        u"MSG_0_35 ",
        u"MSG_11_01:查詢條件 不在範圍內 !",
        u"MSG_11_02:無符合資料 !",
        u"MSG_11_03:無符合資料 !",
        u"MSG_11_04:無符合資料 !",
        u"MSG_11_05:無符合資料 !",
        u"MSG_11_06:無符合資料 !",
        u"MSG_11_99:資料燒錄錯誤 !",
    });
    return spec;
}

}  // namespace regdisc
