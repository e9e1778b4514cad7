#include "engine/index_walk.h"

#include "engine/record_text.h"
#include "engine/skip_index.h"
#include "platform/collation.h"

namespace regdisc {

bool inputGreater(Comparison comparison, TextView input, TextView key)
{
    return comparison == Comparison::Binary ? compareBinary(input, key) > 0 : compareText(input, key) > 0;
}

bool equalUnder(Comparison comparison, TextView a, TextView b)
{
    return comparison == Comparison::Binary ? a == b : compareText(a, b) == 0;
}

IndexWalk::IndexWalk(const LookupProfile &profile, DataSetFiles files)
    : profile_(profile), files_(files), entries_(profile_)
{
}

void IndexWalk::readChainEntry(std::int64_t n, ChainGuard &guard, RecordReads &detail, Text &entry) const
{
    if (!files_.detail->hasRecord(n))
        throw RecordReadError("the chain leads outside the detail index");
    // A chain of more entries than the file holds must have visited one twice.
    if (!guard.visit(n) || guard.visited() > files_.detail->recordCount())
        throw RecordReadError("the chain returns to an entry it has visited");
    recordText(detail.record(n), profile_.detailN, entry);
}

// A chain ascends under its KeyKind's comparison; equal keys may follow each other.
bool IndexWalk::keyGoesDown(const KeyKindSpec &kind, TextView previousEntry, TextView entry) const
{
    return inputGreater(kind.lookup, entries_.key(previousEntry, kind), entries_.key(entry, kind));
}

void IndexWalk::toKey(const KeyKindSpec &kind, TextView query, ChainPosition &position, RecordReads &top,
                      RecordReads &detail, Walk &walk)
{
    walk = Walk();
    position.chain = ChainGuard();
    const std::string_view topBytes = top.record(kind.number);
    walk.topRead = true;
    const IndexRecordLayout layout(profile_, kind);
    TextView text;

    // Top scan: the first TopEntry whose key is not less than the input names the block;
    // an unused entry before it, or a full top record whose keys are all less than the
    // input, names none.
    const ScanStop topStop = scanIndexRecord(kind, query, kind.number, topBytes, true, text);
    if (!topStop.found) {
        walk.end = End::TopScan;
        return;
    }
    const std::int64_t block = layout.pointer(text, topStop.entry);

    // Block scan: the first BlockEntry whose key is not less than the input names the
    // DetailEntry the chain walk starts at.
    const ScanStop start = scanIndexRecord(kind, query, block, top.record(block), false, text);
    if (!start.found) {
        walk.end = End::TopScan;
        return;
    }
    position.chainNext = layout.pointer(text, start.entry);

    // A skip index may know an entry of this section whose key is below the input: the walk
    // would pass every entry up to it, so it begins there, as it would stand there.
    bool first = true;
    if (skip_ && skip_->describes(files_))
        if (const SkipIndex::Point *point = skip_->below(kind, position.chainNext, query)) {
            if (!files_.detail->hasRecord(point->entry))
                throw RecordReadError("the skip index names no entry of the file");
            recordText(detail.record(point->entry), profile_.detailN, position.heldEntry);
            position.heldNo = point->entry;
            position.chain = point->guard();
            position.chainNext = entries_.next(position.heldEntry, kind);
            walk.entryRead = true;
            first = false;
            if (position.chainNext == profile_.chainEnd()) {
                walk.end = End::ChainEnded;
                return;
            }
        }

    // Chain walk to the first entry whose key is not less than the input.
    for (;; first = false) {
        readChainEntry(position.chainNext, position.chain, detail, entry_);
        // An entry of the same key as the one before compares with the input as that one
        // did: less, or the walk would have ended there.
        const bool sameKey = !first && entries_.key(entry_, kind) == entries_.key(position.heldEntry, kind);
        if (!first && !sameKey && keyGoesDown(kind, position.heldEntry, entry_))
            throw RecordReadError("the chain's keys go down");
        std::swap(position.heldEntry, entry_);
        position.heldNo = position.chainNext;
        walk.entryRead = true;
        position.chainNext = entries_.next(position.heldEntry, kind);
        if (sameKey || inputGreater(kind.lookup, query, entries_.key(position.heldEntry, kind))) {
            // The chain ended before a key not less than the input: nothing matches.
            if (position.chainNext == profile_.chainEnd()) {
                walk.end = End::ChainEnded;
                return;
            }
            continue;
        }
        walk.end = End::Reached;
        return;
    }
}

IndexWalk::ScanStop IndexWalk::scanIndexRecord(const KeyKindSpec &kind, TextView query, std::int64_t recordNo,
                                               std::string_view bytes, bool markerEnds, TextView &text)
{
    const IndexRecordLayout layout(profile_, kind);
    // Over entries in order the input is greater than a first run of keys and not greater
    // than the rest, so the way to the first it is not greater than is halved (a name is
    // put through the collator at each step); the scan goes on entry by entry where the
    // order ends.
    const OrderedRecord &record = orderedRecord(kind, recordNo, bytes);
    text = record.text;
    int low = 0, high = record.ordered;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (inputGreater(kind.lookup, query, layout.key(text, middle)))
            low = middle + 1;
        else
            high = middle;
    }
    if (low < record.ordered)
        return {low, true};
    for (int e = record.ordered; e < kEntriesPerIndexRecord; ++e) {
        if (!inputGreater(kind.lookup, query, layout.key(text, e)))
            return {e, true};
        if (markerEnds && layout.unused(text, e))
            return {e, false};
    }
    return {kEntriesPerIndexRecord, false};
}

const IndexWalk::OrderedRecord &IndexWalk::orderedRecord(const KeyKindSpec &kind, std::int64_t recordNo,
                                                         std::string_view bytes)
{
    const auto kept = ordered_.find({kind.number, recordNo});
    if (kept != ordered_.end() && kept->second.bytes == bytes)
        return kept->second;
    OrderedRecord record;
    record.bytes = std::string(bytes);
    const IndexRecordLayout layout(profile_, kind);
    recordText(bytes, layout.characters, record.text);
    int e = 0;
    while (e < kEntriesPerIndexRecord && !layout.unused(record.text, e) &&
           (e == 0 || !inputGreater(kind.lookup, layout.key(record.text, e - 1), layout.key(record.text, e))))
        ++e;
    record.ordered = e;
    if (kept != ordered_.end())
        return kept->second = std::move(record);
    if (ordered_.size() < kMostOrdered)
        return ordered_.emplace(std::make_pair(kind.number, recordNo), std::move(record)).first->second;
    return unkept_ = std::move(record);
}

}  // namespace regdisc
