// One party's three keys, or two parties' six: the KeyKinds of every data set but the
// dematerialised registration, built from what differs between the data sets (where
// the disc writer takes the keys from, the messages, the pointer width).
#pragma once

#include "engine/lookup_profile.h"

#include <string_view>
#include <vector>

namespace regdisc {

// The lookup messages of one screen's family: the top scan that met the empty-entry
// marker (ID number and account, name) and the failed prefix test of each key.
struct KeyKindMessages {
    std::u16string_view idAccountTopScan;  // MSG_<n>_02
    std::u16string_view nameTopScan;  // MSG_<n>_03
    std::u16string_view idPrefix;  // MSG_<n>_04
    std::u16string_view accountPrefix;  // MSG_<n>_05
    std::u16string_view namePrefix;  // MSG_<n>_06
};

// A one-party register: KeyKind 1 the ID number (DetailEntry 1-10), 2 the account
// (11-21), 3 the name key at 22 (6 double-byte characters, or 12 single-byte ones for
// an English name), then the DataFile record number and the three next-pointers, each
// of the pointer width.
struct OnePartyKeys {
    int pointerWidth = 6;  // 7 in the holder register
    int idSource = 0;  // DataFile positions the disc writer takes the keys from
    int accountSource = 0;
    int nameSource = 0;  // the name key is the first characters of the name there
    bool englishName = false;  // a single-byte name, compared exactly (letter case counts)
    Comparison nameLookAhead = Comparison::Text;  // the name's look-ahead prefix test
    KeyKindMessages messages;
};

inline std::vector<KeyKindSpec> onePartyKeyKinds(const OnePartyKeys &keys)
{
    const int nameWidth = keys.englishName ? 12 : 6;
    const int recordNoPos = 22 + nameWidth;
    const int nextPos = recordNoPos + keys.pointerWidth;  // KeyKind 1's next-pointer
    return {
        {.number = 1,
         .caption = u"依 統一編號",
         .inputCase = InputCase::Upper,
         .topKeyWidth = 12,
         .keyPos = 1,
         .keyWidth = 10,
         .nextPos = nextPos,
         .sourcePos = keys.idSource,
         .topScanMessage = keys.messages.idAccountTopScan,
         .prefixMessage = keys.messages.idPrefix,
         .keyClass = KeyClass::Id},
        {.number = 2,
         .caption = u"依 帳號",
         .topKeyWidth = 12,
         .keyPos = 11,
         .keyWidth = 11,
         .nextPos = nextPos + keys.pointerWidth,
         .sourcePos = keys.accountSource,
         .topScanMessage = keys.messages.idAccountTopScan,
         .prefixMessage = keys.messages.accountPrefix,
         .keyClass = KeyClass::Account},
        {.number = 3,
         .caption = keys.englishName ? u"依 英文戶名" : u"依 中文戶名",
         .lookup = keys.englishName ? Comparison::Binary : Comparison::Text,
         .lookAhead = keys.englishName ? Comparison::Binary : keys.nameLookAhead,
         .doubleByte = !keys.englishName,
         .topKeyWidth = nameWidth,
         .keyPos = 22,
         .keyWidth = nameWidth,
         .nextPos = nextPos + 2 * keys.pointerWidth,
         .sourcePos = keys.nameSource,
         .topScanMessage = keys.messages.nameTopScan,
         .prefixMessage = keys.messages.namePrefix,
         .keyClass = KeyClass::Name},
    };
}

// One party's three keys in a two-party register: their combo captions and the DataFile
// positions the disc writer takes them from (the name key is the first 6 characters of
// the 19-character name).
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
    constexpr std::u16string_view kIdAccountTopScan = u"MSG_2_02:無符合資料 !";
    constexpr std::u16string_view kNameTopScan = u"MSG_2_03:無符合資料 !";
    const auto partyKinds = [&](const PartyKeys &p, int firstNumber, int keyPos, int nextPos,
                                std::u16string_view idPrefix, std::u16string_view accountPrefix,
                                std::u16string_view namePrefix, Comparison nameLookAhead) {
        return std::vector<KeyKindSpec>{
            {.number = firstNumber,
             .caption = p.idCaption,
             .inputCase = InputCase::Upper,
             .topKeyWidth = 12,
             .keyPos = keyPos,
             .keyWidth = 10,
             .nextPos = nextPos,
             .sourcePos = p.idSource,
             .topScanMessage = kIdAccountTopScan,
             .prefixMessage = idPrefix,
             .keyClass = KeyClass::Id,
             .party = p.party},
            {.number = firstNumber + 1,
             .caption = p.accountCaption,
             .topKeyWidth = 12,
             .keyPos = keyPos + 10,
             .keyWidth = 11,
             .nextPos = nextPos + 6,
             .sourcePos = p.accountSource,
             .topScanMessage = kIdAccountTopScan,
             .prefixMessage = accountPrefix,
             .keyClass = KeyClass::Account,
             .party = p.party},
            {.number = firstNumber + 2,
             .caption = p.nameCaption,
             .lookup = Comparison::Text,
             .lookAhead = nameLookAhead,
             .doubleByte = true,
             .topKeyWidth = 6,
             .keyPos = keyPos + 21,
             .keyWidth = 6,
             .nextPos = nextPos + 12,
             .sourcePos = p.nameSource,
             .topScanMessage = kNameTopScan,
             .prefixMessage = namePrefix,
             .keyClass = KeyClass::Name,
             .party = p.party},
        };
    };
    // The first party's name look-ahead compares exactly: 次筆 follows only names that
    // begin with exactly the typed characters, although the lookup ignores letter case.
    std::vector<KeyKindSpec> kinds =
        partyKinds(first, 1, 1, 61, u"MSG_2_04:無符合資料 !", u"MSG_2_05:無符合資料 !",
                   u"MSG_2_06:無符合資料 !", Comparison::Binary);
    for (KeyKindSpec &k : partyKinds(second, 4, 28, 79, u"MSG_2_07:無符合資料 !", u"MSG_2_08:無符合資料 !",
                                     u"MSG_2_09:無符合資料 !", Comparison::Text))
        kinds.push_back(k);
    return kinds;
}

}  // namespace regdisc
