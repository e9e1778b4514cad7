// The catalogue of the main menu: every data set, the two count listings and the menu.
#pragma once

#include "datasets/dataset.h"

#include <string_view>
#include <vector>

namespace regdisc {

// One description per data set (each in its own file).
const DataSetSpec &psmDataSet();  // holder register, frm_1
const DataSetSpec &plaDataSet();  // pledges, frm_2
const DataSetSpec &pslDataSet();  // long Chinese names, frm_3
const DataSetSpec &psrDataSet();  // dematerialised registration, frm_4
const DataSetSpec &pidDataSet();  // same-ID holder register, frm_7
const DataSetSpec &pcoDataSet();  // privately placed securities, frm_8
const DataSetSpec &pruDataSet();  // discretionary mandates, frm_10
const DataSetSpec &truDataSet();  // trusts, frm_11
const DataSetSpec &lmkDataSet();  // restricted listed securities, frm_12
const DataSetSpec &raeDataSet();  // rare characters, frm_14
const DataSetSpec &pelDataSet();  // long English names, frm_15
const DataSetSpec &drfDataSet();  // court deposits, frm_16
const DataSetSpec &cpmDataSet();  // court-auction accounts, frm_17
const DataSetSpec &rsaDataSet();  // restricted employee shares, frm_18

const ListingSpec &ptrListing();  // shareholder-register counts, frm_5
const ListingSpec &lnxListing();  // stock-code file counts, frm_9

// The four holder-register screens share one record layout; they differ in which of its
// later fields they show.
enum class HolderFieldSet {
    Basic,  // pid: up to the odd-lot code
    Trust,  // pru, tru: also sub-account number and nationality
    All,  // psm: also the court-deposit and court-auction balance marks
};
std::vector<FieldSpec> holderRegisterFields(HolderFieldSet set);
std::vector<RowSpec> holderRegisterRows(HolderFieldSet set);

// All fourteen data sets in the order of their menu buttons (cmd_1, cmd_2, ... cmd_18).
const std::vector<const DataSetSpec *> &allDataSets();
const std::vector<const ListingSpec *> &allListings();
const DataSetSpec *findDataSet(std::string_view ext);
const ListingSpec *findListing(std::string_view ext);

// The main menu frm_0.
struct MainMenuSpec {
    std::u16string_view windowCaption;
    std::u16string_view title;  // Label1
    std::u16string_view productionDateDesign;  // design text of tx_o_01
    std::u16string_view folderButtonCaption;  // lab_01
    std::u16string_view folderToolTip;  // tooltip of tx_i_01
    std::u16string_view exitCaption;  // cmd_6
    // Button rows: left column, right column ("lab_01" stands for the folder row,
    // "cmd_6" for the exit button).
    std::vector<std::pair<std::string_view, std::string_view>> rows;
};
const MainMenuSpec &mainMenu();

}  // namespace regdisc
