// Holder register: the register of holder accounts of the security on the disc.
#include "datasets/catalogue.h"
#include "datasets/key_kinds.h"

namespace regdisc {

const DataSetSpec &psmDataSet()
{
    static const DataSetSpec spec{
        .ext = "psm",
        .button = "cmd_1",
        .buttonCaption = u"證券所有人名冊查詢",
        .screen = "frm_1",
        .windowCaption = u"證券所有人名冊查詢",
        .title = u"證券所有人名冊查詢",
        .top = {1900, 1},
        .detail = {61, 2},
        .data = {494, 3},
        .msgTopEmpty = u"MSG_0_01 無可查詢資料 !",
        .msgDetailEmpty = u"MSG_0_02 資料燒錄錯誤 !",
        .msgDataEmpty = u"MSG_0_03 資料燒錄錯誤 !",
        .msgOpenFailed = u"MSG_0_04 ",

        .pointerWidth = 7,
        .detailN = 55,
        .recordNoPos = 28,
        .comboMessage = u"MSG_1_01:查詢條件 不在範圍內 !",
        .damagedMessage = u"MSG_1_99:資料燒錄錯誤 !",
        .keyKinds = onePartyKeyKinds({
            .pointerWidth = 7,
            .idSource = 31,
            .accountSource = 1,
            .nameSource = 12,
            .messages = {.idAccountTopScan = u"MSG_1_02:無符合資料 !",
                         .nameTopScan = u"MSG_1_03:無符合資料 !",
                         .idPrefix = u"MSG_1_04:無符合資料 !",
                         .accountPrefix = u"MSG_1_05:無符合資料 !",
                         .namePrefix = u"MSG_1_06:無符合資料 !"},
        }),
        .testOrder = {1, 2, 3},
        .listOrder = {3, 2, 1},
        .initialKeyKind = 3,

        .dataN = 388,
        .fields = holderRegisterFields(HolderFieldSet::All),
        .dataDateBox = "tx_o_23",
        .hasPdf = false,

        .rows = holderRegisterRows(HolderFieldSet::All),
        .print =
            {
                .titles = {u"　　　 鼎岳有價證券登錄社-證券所有人名冊查詢"},
                .padding = u"　　　　　",
                .labelWidth = 7,
                .tabColumn = 15,
                .titleSize = 20,
                .bodySize = 12,
                .lines =
                    {
                        labelLine("lab_01", "tx_o_01"), labelLine("lab_02", "tx_o_02"),
                        labelLine("lab_03", "tx_o_03"), labelLine("lab_04", "tx_o_04"),
                        labelLine("lab_05", "tx_o_05"), labelLine("lab_06", "tx_o_06"),
                        labelLine("lab_07", "tx_o_07"), labelLine("lab_08", "tx_o_08"),
                        labelLine("lab_09", "tx_o_09"), labelLine("lab_10", "tx_o_10"),
                        labelLine("lab_11", "tx_o_11"), fixedLine(u"信用別", "tx_o_12"),
                        labelLine("lab_13", "tx_o_13"), labelLine("lab_14", "tx_o_14"),
                        labelLine("lab_15", "tx_o_15"), labelLine("lab_16", "tx_o_16"),
                        labelLine("lab_17", "tx_o_17"), labelLine("lab_18", "tx_o_18"),
                        labelLine("lab_19", "tx_o_19"), labelLine("lab_20", "tx_o_20"),
                        labelLine("lab_21", "tx_o_21"), labelLine("lab_22", "tx_o_22"),
                        labelLine("lab_24", "tx_o_24"), labelLine("Lab_26", "tx_o_26"),
                        labelLine("Lab_27", "tx_o_27"), labelLine("Lab_28", "tx_o_28"),
                        labelLine("lab_23", "tx_o_23"), labelLine("lab_25", "tx_o_25"),
                    },
            },
    };
    return spec;
}

}  // namespace regdisc
