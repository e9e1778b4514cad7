// The layout of a data set's two index files, in one place for the lookup, the disc check
// and the disc writer.
//
// TopIndexFile: records 1..K are the top records of KeyKinds 1..K, every later record a
// block. Top records and blocks alike hold exactly 100 entries, each a key of the KeyKind's
// top key width followed directly by a number of pointer width: in a top record the
// number of a block, in a block the number of a DetailEntry. An unused entry carries the
// empty marker (all zeros) as its number.
//
// DetailIndexFile: one DetailEntry per record, holding every KeyKind's key, the DataFile
// record number and every KeyKind's next-pointer, at the positions of the lookup profile;
// ChainEnd (all nines) ends a chain.
#pragma once

#include "engine/lookup_profile.h"
#include "engine/record_text.h"

#include <cstdint>

namespace regdisc {

inline constexpr int kEntriesPerIndexRecord = 100;

// The greatest number a pointer of `width` digits can hold; it is also ChainEnd.
constexpr std::int64_t largestPointer(int width)
{
    std::int64_t n = 1;
    for (int i = 0; i < width; ++i)
        n *= 10;
    return n - 1;
}

// The DataFile records an index of this profile can name: the record number in a
// DetailEntry has the pointer width's digits.
inline std::int64_t addressableRecords(const LookupProfile &profile)
{
    return largestPointer(profile.pointerWidth);
}

// The entries of a top record or block of one KeyKind.
struct IndexRecordLayout {
    IndexRecordLayout(const LookupProfile &profile, const KeyKindSpec &kind)
        : keyWidth(kind.topKeyWidth), pointerWidth(profile.pointerWidth), entryWidth(keyWidth + pointerWidth),
          characters(kEntriesPerIndexRecord * entryWidth), marker(profile.emptyMarker())
    {
    }

    // Entry e (from 0).
    TextView key(TextView record, int e) const { return fieldView(record, 1 + e * entryWidth, keyWidth); }
    int pointerPos(int e) const { return 1 + e * entryWidth + keyWidth; }
    TextView pointerText(TextView record, int e) const
    {
        return fieldView(record, pointerPos(e), pointerWidth);
    }
    std::int64_t pointer(TextView record, int e) const { return wholeNumber(pointerText(record, e)); }
    // Unused: its number is the empty marker.
    bool unused(TextView record, int e) const { return pointerText(record, e) == marker; }

    int keyWidth, pointerWidth, entryWidth;
    int characters;  // of a top record or block read
    Text marker;
};

// The fields of a DetailEntry.
struct DetailEntryLayout {
    explicit DetailEntryLayout(const LookupProfile &profile)
        : pointerWidth(profile.pointerWidth), recordNoPos(profile.recordNoPos)
    {
    }

    TextView key(TextView entry, const KeyKindSpec &kind) const
    {
        return fieldView(entry, kind.keyPos, kind.keyWidth);
    }
    std::int64_t recordNo(TextView entry) const
    {
        return wholeNumber(fieldView(entry, recordNoPos, pointerWidth));
    }
    std::int64_t next(TextView entry, const KeyKindSpec &kind) const
    {
        return wholeNumber(fieldView(entry, kind.nextPos, pointerWidth));
    }

    int pointerWidth, recordNoPos;
};

}  // namespace regdisc
