#include "datasets/catalogue.h"

namespace regdisc {

const std::vector<const DataSetSpec *> &allDataSets()
{
    static const std::vector<const DataSetSpec *> all{
        &psmDataSet(), &plaDataSet(), &pslDataSet(), &psrDataSet(), &pidDataSet(),
        &pcoDataSet(), &pruDataSet(), &truDataSet(), &lmkDataSet(), &raeDataSet(),
        &pelDataSet(), &drfDataSet(), &cpmDataSet(), &rsaDataSet(),
    };
    return all;
}

const std::vector<const ListingSpec *> &allListings()
{
    static const std::vector<const ListingSpec *> all{&ptrListing(), &lnxListing()};
    return all;
}

const DataSetSpec *findDataSet(std::string_view ext)
{
    for (const DataSetSpec *spec : allDataSets())
        if (spec->ext == ext)
            return spec;
    return nullptr;
}

const ListingSpec *findListing(std::string_view ext)
{
    for (const ListingSpec *spec : allListings())
        if (spec->ext == ext)
            return spec;
    return nullptr;
}

const MainMenuSpec &mainMenu()
{
    static const MainMenuSpec spec{
        .windowCaption = u"證券所有人名冊查詢 (1040315)",
        .title = u"證券所有人名冊",
        .productionDateDesign = u"製作日期:XXX/XX/XX",
        .folderButtonCaption = u"檔案位置",
        .folderToolTip = u"可手動輸入檔案位置",
        .exitCaption = u"結束作業",
        .rows =
            {
                {"cmd_1", "cmd_8"},
                {"cmd_7", "cmd_10"},
                {"cmd_2", "cmd_11"},
                {"cmd_3", "cmd_5"},
                {"cmd_15", "cmd_9"},
                {"cmd_4", "cmd_14"},
                {"cmd_12", "lab_01"},
                {"cmd_16", "cmd_17"},
                {"cmd_18", "cmd_6"},
            },
    };
    return spec;
}

}  // namespace regdisc
