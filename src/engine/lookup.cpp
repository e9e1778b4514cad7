#include "engine/lookup.h"

#include "engine/record_text.h"
#include "platform/collation.h"

#include <algorithm>

namespace regdisc {

bool inputGreater(Comparison comparison, TextView input, TextView key)
{
    return comparison == Comparison::Binary ? compareBinary(input, key) > 0 : compareText(input, key) > 0;
}

namespace {

// The entries of a top or block record: each a key and a pointer to a block or an entry.
struct IndexEntries {
    IndexEntries(const LookupProfile &profile, const KeyKindSpec &kind)
        : keyWidth(kind.topKeyWidth), pointerWidth(profile.pointerWidth), width(keyWidth + pointerWidth),
          count(width > 0 ? profile.topN(kind) / width : 0), marker(profile.emptyMarker())
    {
    }
    TextView key(TextView text, int e) const { return fieldView(text, 1 + e * width, keyWidth); }
    int pointerPos(int e) const { return 1 + e * width + keyWidth; }
    // Unused: its pointer is the empty marker.
    bool unused(TextView text, int e) const { return fieldView(text, pointerPos(e), pointerWidth) == marker; }

    int keyWidth, pointerWidth, width;
    int count;  // entries the record holds
    Text marker;
};

bool textsEqual(Comparison comparison, TextView a, TextView b)
{
    return comparison == Comparison::Binary ? a == b : compareText(a, b) == 0;
}

}  // namespace

KeyedLookup::KeyedLookup(const LookupProfile &profile, DataSetFiles files, LookupScreen &screen,
                         RecordHistory &history)
    : profile_(profile), files_(files), screen_(screen), history_(history)
{
}

std::int64_t KeyedLookup::pointerAt(TextView text, int pos) const
{
    return wholeNumber(fieldView(text, pos, profile_.pointerWidth));
}

bool KeyedLookup::prefixMatches(Comparison comparison, const KeyKindSpec &kind, TextView entry) const
{
    return textsEqual(comparison, fieldView(entry, kind.keyPos, state_.queryLength), state_.queryText);
}

LookupOutcome KeyedLookup::fail(TextView message, LookupOutcome outcome)
{
    screen_.showMessage(message);
    return outcome;
}

// The disc is damaged: a pointer leads outside its file, a record cannot be read whole, or
// a chain loops or goes down. The record on display, the history and the stepping buttons
// stay as they were; 次筆 cannot go on.
LookupOutcome KeyedLookup::damaged()
{
    screen_.setNextEnabled(false);
    return fail(profile_.damagedMessage, LookupOutcome::Damaged);
}

// DetailEntry n as the next entry of the chain being followed, decoded into `entry`. The
// chain is damaged when n is not in the DetailIndexFile or is an entry it has already
// visited; a chain of more entries than the file holds must have visited one twice.
void KeyedLookup::readChainEntry(std::int64_t n, ChainGuard &chain, RecordReads &detail, Text &entry) const
{
    if (!files_.detail->hasRecord(n))
        throw RecordReadError("the chain leads outside the detail index");
    if (!chain.visit(n) || chain.visited() > files_.detail->recordCount())
        throw RecordReadError("the chain returns to an entry it has visited");
    recordText(detail.record(n), profile_.detailN, entry);
}

// A chain ascends under its KeyKind's comparison; equal keys may follow each other.
bool KeyedLookup::keyGoesDown(const KeyKindSpec &kind, TextView previousEntry, TextView entry) const
{
    return inputGreater(kind.lookup, fieldView(previousEntry, kind.keyPos, kind.keyWidth),
                        fieldView(entry, kind.keyPos, kind.keyWidth));
}

LookupOutcome KeyedLookup::runQuery()
{
    // The length is taken first, even when the combo text then fails.
    state_.queryLength = static_cast<int>(screen_.inputText().size());

    const Text combo = screen_.comboText();
    const KeyKindSpec *kind = nullptr;
    for (int number : profile_.testOrder)
        if (combo == profile_.keyKind(number).caption) {
            kind = &profile_.keyKind(number);
            break;
        }
    if (!kind)
        return fail(profile_.comboMessage, LookupOutcome::ComboMessage);

    state_.keyKind = kind->number;
    state_.chain = ChainGuard();
    Text query = screen_.inputText();
    if (kind->inputCase == InputCase::Upper)
        query = toUpper(query);

    // Everything is read first; the reads are confirmed before the screen shows their end.
    RecordReads index(*files_.top);
    RecordReads detail(*files_.detail);
    RecordReads data(*files_.data);
    Walk walk;
    try {
        walk = walkToKey(*kind, query, index, detail);
        if (walk.end == WalkEnd::Match)
            readMatch(pointerAt(state_.heldEntry, profile_.recordNoPos), state_.chainNext, data, detail);
        detail.confirm();
        data.confirm();
    } catch (const RecordReadError &) {
        walk.end = WalkEnd::Damaged;
    }
    try {
        index.confirm();
    } catch (const RecordReadError &) {
        walk.topRead = false;
        walk.end = WalkEnd::Damaged;
    }

    // The input is normalised once the top record has been read.
    if (walk.topRead && kind->inputCase == InputCase::Upper)
        screen_.setInputText(query);
    if (walk.end == WalkEnd::Damaged)
        return damaged();
    if (walk.entryRead)
        screen_.setNextEnabled(false);
    switch (walk.end) {
    case WalkEnd::TopScan:
        return fail(kind->topScanMessage, LookupOutcome::TopScanMessage);
    case WalkEnd::Prefix:
        return fail(kind->prefixMessage, LookupOutcome::PrefixMessage);
    default:
        return showMatch();
    }
}

// The top scan, the block scan and the chain walk of 查詢, reading and changing nothing
// on screen. Throws RecordReadError when a record cannot be read or the chain is damaged.
KeyedLookup::Walk KeyedLookup::walkToKey(const KeyKindSpec &kind, TextView query, RecordReads &index,
                                         RecordReads &detail)
{
    Walk walk;
    const std::string_view topBytes = index.record(kind.number);
    walk.topRead = true;
    state_.queryText = Text(query);  // the prefix tests compare with it
    const IndexEntries entries(profile_, kind);
    TextView text;

    // Top scan: the first TopEntry whose key is not less than the input names the block;
    // an unused entry before it, or a full top record whose keys are all less than the
    // input, names none.
    const ScanStop top = scanIndexRecord(kind, query, kind.number, topBytes, true, text);
    if (!top.found)
        return walk.ending(WalkEnd::TopScan);
    const std::int64_t block = pointerAt(text, entries.pointerPos(top.entry));

    // Block scan: the first BlockEntry whose key is not less than the input names the
    // DetailEntry the chain walk starts at.
    const ScanStop start = scanIndexRecord(kind, query, block, index.record(block), false, text);
    if (!start.found)
        return walk.ending(WalkEnd::TopScan);
    state_.chainNext = pointerAt(text, entries.pointerPos(start.entry));

    // Chain walk to the first entry whose key is not less than the input.
    for (bool first = true;; first = false) {
        readChainEntry(state_.chainNext, state_.chain, detail, entry_);
        // An entry of the same key as the one before compares with the input as that one
        // did: less, or the walk would have ended there.
        const bool sameKey = !first && fieldView(entry_, kind.keyPos, kind.keyWidth) ==
                                           fieldView(state_.heldEntry, kind.keyPos, kind.keyWidth);
        if (!first && !sameKey && keyGoesDown(kind, state_.heldEntry, entry_))
            return walk.ending(WalkEnd::Damaged);
        std::swap(state_.heldEntry, entry_);
        walk.entryRead = true;
        state_.chainNext = pointerAt(state_.heldEntry, kind.nextPos);
        if (sameKey ||
            inputGreater(kind.lookup, query, fieldView(state_.heldEntry, kind.keyPos, kind.keyWidth))) {
            // The chain ended before a key not less than the input: nothing matches.
            if (state_.chainNext == profile_.chainEnd())
                return walk.ending(WalkEnd::Prefix);
            continue;
        }
        return walk.ending(prefixMatches(kind.lookup, kind, state_.heldEntry) ? WalkEnd::Match
                                                                              : WalkEnd::Prefix);
    }
}

KeyedLookup::ScanStop KeyedLookup::scanIndexRecord(const KeyKindSpec &kind, TextView query,
                                                   std::int64_t recordNo, std::string_view bytes,
                                                   bool markerEnds, TextView &text)
{
    const IndexEntries entries(profile_, kind);
    // Over entries in order the input is greater than a first run of keys and not greater
    // than the rest, so the way to the first it is not greater than is halved (a name is
    // put through the collator at each step); the scan goes on entry by entry where the
    // order ends.
    const OrderedRecord &record = orderedRecord(kind, recordNo, bytes);
    text = record.text;
    int low = 0, high = record.ordered;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (inputGreater(kind.lookup, query, entries.key(text, middle)))
            low = middle + 1;
        else
            high = middle;
    }
    if (low < record.ordered)
        return {low, true};
    for (int e = record.ordered; e < entries.count; ++e) {
        if (!inputGreater(kind.lookup, query, entries.key(text, e)))
            return {e, true};
        if (markerEnds && entries.unused(text, e))
            return {e, false};
    }
    return {entries.count, false};
}

const KeyedLookup::OrderedRecord &KeyedLookup::orderedRecord(const KeyKindSpec &kind, std::int64_t recordNo,
                                                             std::string_view bytes)
{
    const auto kept = ordered_.find({kind.number, recordNo});
    if (kept != ordered_.end() && kept->second.bytes == bytes)
        return kept->second;
    OrderedRecord record;
    record.bytes = std::string(bytes);
    recordText(bytes, profile_.topN(kind), record.text);
    const IndexEntries entries(profile_, kind);
    int e = 0;
    while (
        e < entries.count && !entries.unused(record.text, e) &&
        (e == 0 || !inputGreater(kind.lookup, entries.key(record.text, e - 1), entries.key(record.text, e))))
        ++e;
    record.ordered = e;
    if (kept != ordered_.end())
        return kept->second = std::move(record);
    if (ordered_.size() < kMostOrdered)
        return ordered_.emplace(std::make_pair(kind.number, recordNo), std::move(record)).first->second;
    return unkept_ = std::move(record);
}

// Reads what showing a match needs into match_: the DataFile record and, unless the match
// ends the chain, the look-ahead entry after it. Throws RecordReadError when either cannot
// be read or the look-ahead shows the chain damaged.
void KeyedLookup::readMatch(std::int64_t recordNo, std::int64_t chainNext, RecordReads &data,
                            RecordReads &detail)
{
    const KeyKindSpec &kind = profile_.keyKind(state_.keyKind);
    match_.recordNo = recordNo;
    match_.chainNext = chainNext;
    match_.lookAhead = false;
    match_.chain = state_.chain;
    recordText(data.record(recordNo), profile_.dataN, match_.record);
    if (chainNext != profile_.chainEnd()) {
        match_.lookAhead = true;
        readChainEntry(chainNext, match_.chain, detail, match_.lookAheadEntry);
        if (keyGoesDown(kind, state_.heldEntry, match_.lookAheadEntry))
            throw RecordReadError("the chain goes down");
    }
}

// ShowMatch, once everything it shows has been read: the history, the record, and 次筆 by
// the look-ahead's prefix test.
LookupOutcome KeyedLookup::showMatch()
{
    const KeyKindSpec &kind = profile_.keyKind(state_.keyKind);
    state_.recordNo = match_.recordNo;
    state_.chainNext = match_.chainNext;
    state_.chain = match_.chain;
    history_.push(match_.recordNo);
    screen_.setPreviousEnabled(!history_.holdsOne());
    screen_.setFollowingEnabled(false);
    screen_.displayRecord(match_.recordNo, match_.record);
    screen_.setNextEnabled(false);
    if (match_.lookAhead) {
        std::swap(state_.heldEntry, match_.lookAheadEntry);
        screen_.setNextEnabled(prefixMatches(kind.lookAhead, kind, state_.heldEntry));
    }
    return LookupOutcome::Shown;
}

LookupOutcome KeyedLookup::nextMatch()
{
    if (state_.keyKind == 0)
        return LookupOutcome::Damaged;
    const KeyKindSpec &kind = profile_.keyKind(state_.keyKind);
    // The look-ahead entry becomes the current match. Nothing changes on screen unless its
    // record and the entry after it can be read.
    try {
        RecordReads data(*files_.data);
        RecordReads detail(*files_.detail);
        readMatch(pointerAt(state_.heldEntry, profile_.recordNoPos),
                  pointerAt(state_.heldEntry, kind.nextPos), data, detail);
        data.confirm();
        detail.confirm();
    } catch (const RecordReadError &) {
        return damaged();
    }
    screen_.setInputText(state_.queryText);
    screen_.setComboText(kind.caption);
    return showMatch();
}

}  // namespace regdisc
