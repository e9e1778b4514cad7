#include "engine/lookup.h"

#include "engine/record_text.h"

namespace regdisc {

KeyedLookup::KeyedLookup(const LookupProfile &profile, DataSetFiles files, LookupScreen &screen,
                         RecordHistory &history)
    : walk_(profile, files), screen_(screen), history_(history)
{
}

bool KeyedLookup::prefixMatches(Comparison comparison, const KeyKindSpec &kind, TextView entry) const
{
    return equalUnder(comparison, fieldView(entry, kind.keyPos, state_.queryLength), state_.queryText);
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
    return fail(walk_.profile().damagedMessage, LookupOutcome::Damaged);
}

LookupOutcome KeyedLookup::runQuery()
{
    const LookupProfile &profile = walk_.profile();
    // The length is taken first, even when the combo text then fails.
    state_.queryLength = static_cast<int>(screen_.inputText().size());

    const Text combo = screen_.comboText();
    const KeyKindSpec *kind = nullptr;
    for (int number : profile.testOrder)
        if (combo == profile.keyKind(number).caption) {
            kind = &profile.keyKind(number);
            break;
        }
    if (!kind)
        return fail(profile.comboMessage, LookupOutcome::ComboMessage);

    state_.keyKind = kind->number;
    Text query = screen_.inputText();
    if (kind->inputCase == InputCase::Upper)
        query = toUpper(query);
    state_.queryText = query;  // the prefix tests compare with it

    // Everything is read first; the reads are confirmed before the screen shows their end.
    const DataSetFiles &files = walk_.files();
    RecordReads index(*files.top);
    RecordReads detail(*files.detail);
    RecordReads data(*files.data);
    IndexWalk::Walk walk;
    bool damagedDisc = false;
    bool matched = false;
    try {
        walk_.toKey(*kind, query, state_, index, detail, walk);
        matched = walk.end == IndexWalk::End::Reached && prefixMatches(kind->lookup, *kind, state_.heldEntry);
        if (matched)
            readMatch(walk_.entries().recordNo(state_.heldEntry), state_.chainNext, data, detail);
        detail.confirm();
        data.confirm();
    } catch (const RecordReadError &) {
        damagedDisc = true;
    }
    try {
        index.confirm();
    } catch (const RecordReadError &) {
        walk.topRead = false;
        damagedDisc = true;
    }

    // The input is normalised once the top record has been read.
    if (walk.topRead && kind->inputCase == InputCase::Upper)
        screen_.setInputText(query);
    if (damagedDisc)
        return damaged();
    if (walk.entryRead)
        screen_.setNextEnabled(false);
    if (walk.end == IndexWalk::End::TopScan)
        return fail(kind->topScanMessage, LookupOutcome::TopScanMessage);
    if (!matched)
        return fail(kind->prefixMessage, LookupOutcome::PrefixMessage);
    return showMatch();
}

// Reads what showing a match needs into match_: the DataFile record and, unless the match
// ends the chain, the look-ahead entry after it. Throws RecordReadError when either cannot
// be read or the look-ahead shows the chain damaged.
void KeyedLookup::readMatch(std::int64_t recordNo, std::int64_t chainNext, RecordReads &data,
                            RecordReads &detail)
{
    const LookupProfile &profile = walk_.profile();
    const KeyKindSpec &kind = profile.keyKind(state_.keyKind);
    match_.recordNo = recordNo;
    match_.chainNext = chainNext;
    match_.lookAhead = false;
    match_.chain = state_.chain;
    recordText(data.record(recordNo), profile.dataN, match_.record);
    if (chainNext != profile.chainEnd()) {
        match_.lookAhead = true;
        walk_.readChainEntry(chainNext, match_.chain, detail, match_.lookAheadEntry);
        if (walk_.keyGoesDown(kind, state_.heldEntry, match_.lookAheadEntry))
            throw RecordReadError("the chain goes down");
    }
}

// ShowMatch, once everything it shows has been read: the history, the record, and 次筆 by
// the look-ahead's prefix test.
LookupOutcome KeyedLookup::showMatch()
{
    const KeyKindSpec &kind = walk_.profile().keyKind(state_.keyKind);
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
    const KeyKindSpec &kind = walk_.profile().keyKind(state_.keyKind);
    // The look-ahead entry becomes the current match. Nothing changes on screen unless its
    // record and the entry after it can be read.
    try {
        const DataSetFiles &files = walk_.files();
        RecordReads data(*files.data);
        RecordReads detail(*files.detail);
        readMatch(walk_.entries().recordNo(state_.heldEntry), walk_.entries().next(state_.heldEntry, kind),
                  data, detail);
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
