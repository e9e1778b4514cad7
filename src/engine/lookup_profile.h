// The constant description that drives the keyed lookup of one data set.
#pragma once

#include "engine/record_layout.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace regdisc {

// How two keys are compared. Binary: character code order, letter case and blanks count.
// Text: the Traditional Chinese collation, ignoring letter case and width.
enum class Comparison { Binary, Text };

// Which of a holder's keys a KeyKind looks up: the whole-disc tools ask every KeyKind of
// one class (an ID number, an account or a name) in every data set.
enum class KeyClass { Id, Account, Name };

// What RunQuery does to the typed input before the scans.
enum class InputCase { AsTyped, Upper };

struct KeyKindSpec {
    int number = 0;  // 1..K: its top record and the order of key and next-pointer
    std::u16string_view caption;  // combo caption, always u"依 " + a name
    InputCase inputCase = InputCase::AsTyped;
    Comparison lookup = Comparison::Binary;  // top scan, block scan, chain walk, prefix test
    Comparison lookAhead = Comparison::Binary;  // the prefix test of the look-ahead
    bool doubleByte = false;  // the key is laid out as double-byte characters
    int topKeyWidth = 12;  // key width in TopEntries and BlockEntries (12 or 6)
    int keyPos = 0;  // key position in the DetailEntry (1-based characters)
    int keyWidth = 0;  // key width in the DetailEntry
    int nextPos = 0;  // position of this chain's next-pointer in the DetailEntry
    int sourcePos = 0;  // DataFile position the disc writer takes the key from
    std::u16string_view topScanMessage;  // the top scan met the empty-entry marker
    std::u16string_view prefixMessage;  // the entry reached does not begin with the input
    KeyClass keyClass = KeyClass::Id;  // the holder key it looks up
    std::u16string_view party = {};  // two-party data sets: whose key it is (u"出質人"); empty elsewhere
};

struct LookupProfile {
    int pointerWidth = 6;  // 7 in the holder register, 6 elsewhere
    int detailN = 0;  // characters of a DetailEntry read
    int recordNoPos = 0;  // DataFile record number in the DetailEntry
    std::u16string_view comboMessage;  // the combo text is none of the captions
    std::u16string_view damagedMessage;  // a pointer leads outside the files
    std::span<const KeyKindSpec> keyKinds;  // index = KeyKind number - 1
    std::span<const int> testOrder;  // KeyKind numbers in the order captions are tested
    int dataN = 0;  // characters of a DataFile read
    std::span<const FieldSpec> fields;  // the DataFile record's fields

    const KeyKindSpec &keyKind(int number) const { return keyKinds[static_cast<size_t>(number - 1)]; }
    std::int64_t chainEnd() const { return pointerWidth == 7 ? 9999999 : 999999; }
    std::u16string emptyMarker() const { return std::u16string(static_cast<size_t>(pointerWidth), u'0'); }
};

}  // namespace regdisc
