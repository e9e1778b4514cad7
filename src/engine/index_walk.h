// The walk of a keyed lookup through a data set's index: the top scan, the block scan and
// the chain walk to the first DetailEntry whose key is not less than the input, with the
// guards that end it on a damaged disc (a pointer outside its file, a record that cannot be
// read whole, a chain that loops or whose keys go down). The query screens' lookup and the
// whole-disc tools' cursors both walk through here.
#pragma once

#include "engine/chain_guard.h"
#include "engine/index_layout.h"
#include "engine/lookup_profile.h"
#include "platform/record_source.h"
#include "platform/text.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace regdisc {

class SkipIndex;

// The three open files of a data set (or, in tests and fuzzing, records in memory).
struct DataSetFiles {
    RecordSource *top = nullptr;  // TopIndexFile
    RecordSource *detail = nullptr;  // DetailIndexFile
    RecordSource *data = nullptr;  // DataFile
};

// Where a walk along a chain stands.
struct ChainPosition {
    Text heldEntry;  // the DetailEntry last read
    std::int64_t heldNo = 0;  // its number
    std::int64_t chainNext = 0;  // the entry after it, or ChainEnd
    ChainGuard chain;  // the entries read along the chain since the walk began
};

class IndexWalk {
public:
    IndexWalk(const LookupProfile &profile, DataSetFiles files);

    const LookupProfile &profile() const { return profile_; }
    const DataSetFiles &files() const { return files_; }

    enum class End {
        TopScan,  // the top or block scan took no entry: the input is above every key
        ChainEnded,  // the chain ended before an entry not less than the input
        Reached,  // `position.heldEntry` is the first entry not less than the input
    };
    struct Walk {
        End end = End::TopScan;
        bool topRead = false;  // the top record was read
        bool entryRead = false;  // an entry of the chain was read
    };
    // The scans and the walk of 查詢 for `query` (already normalised), starting `position`
    // afresh. Throws RecordReadError when a record cannot be read or the chain is damaged;
    // `walk` then tells how far it came.
    void toKey(const KeyKindSpec &kind, TextView query, ChainPosition &position, RecordReads &top,
               RecordReads &detail, Walk &walk);

    // DetailEntry n read as the next entry of the chain `guard` follows, decoded into `entry`.
    // Throws RecordReadError when n is not in the DetailIndexFile or the chain has come back
    // to an entry it visited.
    void readChainEntry(std::int64_t n, ChainGuard &guard, RecordReads &detail, Text &entry) const;
    // Whether `entry`'s key is below the key of the entry before it: a chain ascends.
    bool keyGoesDown(const KeyKindSpec &kind, TextView previousEntry, TextView entry) const;

    const DetailEntryLayout &entries() const { return entries_; }

    // A skip index of these files: walks begin at its entries where it still describes the
    // files; nothing else changes.
    void setSkipIndex(std::shared_ptr<const SkipIndex> skip) { skip_ = std::move(skip); }
    const std::shared_ptr<const SkipIndex> &skipIndex() const { return skip_; }

private:
    // Where the scan of a top or block record stops: at the first entry (from 0) whose key
    // is not less than the input (`found`), or, where `markerEnds`, at an unused entry
    // whose key is less; at the record's end otherwise. `text` is left viewing the record.
    struct ScanStop {
        int entry = 0;
        bool found = false;
    };
    ScanStop scanIndexRecord(const KeyKindSpec &kind, TextView query, std::int64_t recordNo,
                             std::string_view bytes, bool markerEnds, TextView &text);
    // A top or block record decoded, with how many entries at its start are used and in
    // order under its KeyKind's comparison.
    struct OrderedRecord {
        std::string bytes;
        Text text;
        int ordered = 0;
    };
    const OrderedRecord &orderedRecord(const KeyKindSpec &kind, std::int64_t recordNo,
                                       std::string_view bytes);

    LookupProfile profile_;
    DataSetFiles files_;
    DetailEntryLayout entries_;
    // The top and block records scanned before, by KeyKind and record number, kept with
    // their bytes: one read again with the same bytes is known in order without decoding
    // it or comparing its keys again, one changed on disk is checked anew. At most
    // kMostOrdered (a data set's index has at most three hundred), a few MB; beyond,
    // records are checked each time.
    std::map<std::pair<int, std::int64_t>, OrderedRecord> ordered_;
    OrderedRecord unkept_;
    static constexpr std::size_t kMostOrdered = 512;
    Text entry_;  // the DetailEntry just read
    std::shared_ptr<const SkipIndex> skip_;
};

// Whether the input is greater than the key under the comparison.
bool inputGreater(Comparison comparison, TextView input, TextView key);
// Whether two texts are equal under the comparison.
bool equalUnder(Comparison comparison, TextView a, TextView b);

}  // namespace regdisc
