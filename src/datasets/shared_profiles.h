// Small pieces shared by several data-set descriptions: shorthands for screen cells and
// the two-party index of the pledge, court-deposit and court-auction data sets.
#pragma once

#include "datasets/dataset.h"

#include <string_view>
#include <utility>
#include <vector>

namespace regdisc {

// A label with one output box and the legends to its right.
inline CellSpec boxCell(std::string_view label, std::u16string_view caption, std::string_view box,
                        BoxSize size = BoxSize::Normal, std::vector<LegendSpec> legends = {})
{
    return {label, caption, {{box, size}}, std::move(legends)};
}

// A heading: a label without a box.
inline CellSpec headingCell(std::string_view label, std::u16string_view caption)
{
    return {label, caption, {}, {}};
}

// One party's three keys: their combo captions and the DataFile positions the disc writer
// takes them from (the name key is the first 6 characters of the 19-character name).
struct PartyKeys {
    std::u16string_view idCaption;
    std::u16string_view accountCaption;
    std::u16string_view nameCaption;
    int idSource = 0;
    int accountSource = 0;
    int nameSource = 0;
    std::u16string_view party;  // the party's heading on the screen
};

// The two-party DetailEntry (96 characters): ID number, account and name key of the first
// party (KeyKinds 1 to 3), then those of the second party (KeyKinds 4 to 6), the DataFile
// record number at 55 and the six next-pointers from 61 on. All three two-party screens
// report with the pledge screen's messages.
inline std::vector<KeyKindSpec> twoPartyKeyKinds(const PartyKeys &first, const PartyKeys &second)
{
    return {
        {1, first.idCaption, InputCase::Upper, Comparison::Binary, Comparison::Binary, false, 12, 1, 10, 61,
         first.idSource, u"MSG_2_02:無符合資料 !", u"MSG_2_04:無符合資料 !", KeyClass::Id, first.party},
        {2, first.accountCaption, InputCase::AsTyped, Comparison::Binary, Comparison::Binary, false, 12, 11,
         11, 67, first.accountSource, u"MSG_2_02:無符合資料 !", u"MSG_2_05:無符合資料 !", KeyClass::Account,
         first.party},
        // The first party's name look-ahead compares exactly: 次筆 follows only names that
        // begin with exactly the typed characters, although the lookup ignores letter case.
        {3, first.nameCaption, InputCase::AsTyped, Comparison::Text, Comparison::Binary, true, 6, 22, 6, 73,
         first.nameSource, u"MSG_2_03:無符合資料 !", u"MSG_2_06:無符合資料 !", KeyClass::Name, first.party},
        {4, second.idCaption, InputCase::Upper, Comparison::Binary, Comparison::Binary, false, 12, 28, 10, 79,
         second.idSource, u"MSG_2_02:無符合資料 !", u"MSG_2_07:無符合資料 !", KeyClass::Id, second.party},
        {5, second.accountCaption, InputCase::AsTyped, Comparison::Binary, Comparison::Binary, false, 12, 38,
         11, 85, second.accountSource, u"MSG_2_02:無符合資料 !", u"MSG_2_08:無符合資料 !", KeyClass::Account,
         second.party},
        {6, second.nameCaption, InputCase::AsTyped, Comparison::Text, Comparison::Text, true, 6, 49, 6, 91,
         second.nameSource, u"MSG_2_03:無符合資料 !", u"MSG_2_09:無符合資料 !", KeyClass::Name, second.party},
    };
}

}  // namespace regdisc
