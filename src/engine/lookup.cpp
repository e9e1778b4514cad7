#include "engine/lookup.h"

#include "engine/record_text.h"
#include "platform/collation.h"

#include <optional>

namespace regdisc {

bool inputGreater(Comparison comparison, TextView input, TextView key)
{
    return comparison == Comparison::Binary ? compareBinary(input, key) > 0 : compareText(input, key) > 0;
}

namespace {

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
    return wholeNumber(field(text, pos, profile_.pointerWidth));
}

bool KeyedLookup::prefixMatches(Comparison comparison, const KeyKindSpec &kind, TextView entry) const
{
    return textsEqual(comparison, field(entry, kind.keyPos, state_.queryLength), state_.queryText);
}

LookupOutcome KeyedLookup::fail(TextView message, LookupOutcome outcome)
{
    screen_.showMessage(message);
    return outcome;
}

// A pointer that leads outside its file, or a chain longer than its file: the disc is
// damaged. The record on display and the history stay; 次筆 cannot go on.
LookupOutcome KeyedLookup::damaged()
{
    screen_.setNextEnabled(false);
    return fail(profile_.damagedMessage, LookupOutcome::Damaged);
}

bool KeyedLookup::canReadDetail(std::int64_t n) const
{
    return files_.detail->hasRecord(n) && state_.chainSteps < files_.detail->recordCount();
}

Text KeyedLookup::readDetail(std::int64_t n)
{
    if (!canReadDetail(n))
        throw RecordReadError("chain leads outside the detail index");
    ++state_.chainSteps;
    return readRecordText(*files_.detail, n, profile_.detailN);
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

    try {
        state_.keyKind = kind->number;
        const int n = profile_.topN(*kind);
        const Text top = readRecordText(*files_.top, kind->number, n);

        Text query = screen_.inputText();
        if (kind->inputCase == InputCase::Upper) {
            query = toUpper(query);
            screen_.setInputText(query);
        }
        state_.queryText = query;
        state_.chainSteps = 0;

        // Top scan: the first TopEntry whose key is not less than the input names the block.
        const int kw = kind->topKeyWidth;
        const int w = kw + profile_.pointerWidth;
        const Text marker = profile_.emptyMarker();
        std::optional<std::int64_t> block;
        for (int i = 1; i + w - 1 <= n; i += w) {
            if (inputGreater(kind->lookup, query, field(top, i, kw))) {
                if (field(top, i + kw, profile_.pointerWidth) == marker)
                    return fail(kind->topScanMessage, LookupOutcome::TopScanMessage);
                continue;
            }
            block = pointerAt(top, i + kw);
            break;
        }
        // A full top record whose keys are all less than the input names no block.
        if (!block)
            return fail(kind->topScanMessage, LookupOutcome::TopScanMessage);

        // Block scan: the first BlockEntry whose key is not less than the input names the
        // DetailEntry the chain walk starts at.
        const Text blockText = readRecordText(*files_.top, *block, n);
        std::optional<std::int64_t> start;
        for (int i = 1; i + w - 1 <= n; i += w)
            if (!inputGreater(kind->lookup, query, field(blockText, i, kw))) {
                start = pointerAt(blockText, i + kw);
                break;
            }
        if (!start)
            return fail(kind->topScanMessage, LookupOutcome::TopScanMessage);
        state_.chainNext = *start;

        // Chain walk to the first entry whose key is not less than the input.
        for (;;) {
            state_.heldEntry = readDetail(state_.chainNext);
            screen_.setNextEnabled(false);
            state_.chainNext = pointerAt(state_.heldEntry, kind->nextPos);
            if (inputGreater(kind->lookup, query, field(state_.heldEntry, kind->keyPos, kind->keyWidth))) {
                // The chain ended before a key not less than the input: nothing matches.
                if (state_.chainNext == profile_.chainEnd())
                    return fail(kind->prefixMessage, LookupOutcome::PrefixMessage);
                continue;
            }
            if (!prefixMatches(kind->lookup, *kind, state_.heldEntry))
                return fail(kind->prefixMessage, LookupOutcome::PrefixMessage);
            state_.recordNo = pointerAt(state_.heldEntry, profile_.recordNoPos);
            return showMatch();
        }
    } catch (const RecordReadError &) {
        return damaged();
    }
}

LookupOutcome KeyedLookup::showMatch()
{
    const KeyKindSpec &kind = profile_.keyKind(state_.keyKind);
    const bool lookAhead = state_.chainNext != profile_.chainEnd();
    // Nothing changes on screen unless the record and the look-ahead entry are there.
    if (!files_.data->hasRecord(state_.recordNo) || (lookAhead && !canReadDetail(state_.chainNext)))
        return damaged();
    try {
        history_.push(state_.recordNo);
        screen_.setPreviousEnabled(!history_.holdsOne());
        screen_.setFollowingEnabled(false);
        screen_.displayRecord(state_.recordNo);
        screen_.setNextEnabled(false);
        if (!lookAhead)
            return LookupOutcome::Shown;
        state_.heldEntry = readDetail(state_.chainNext);
        screen_.setNextEnabled(prefixMatches(kind.lookAhead, kind, state_.heldEntry));
        return LookupOutcome::Shown;
    } catch (const RecordReadError &) {
        return damaged();
    }
}

LookupOutcome KeyedLookup::nextMatch()
{
    if (state_.keyKind == 0)
        return LookupOutcome::Damaged;
    const KeyKindSpec &kind = profile_.keyKind(state_.keyKind);
    screen_.setInputText(state_.queryText);
    state_.recordNo = pointerAt(state_.heldEntry, profile_.recordNoPos);
    state_.chainNext = pointerAt(state_.heldEntry, kind.nextPos);
    screen_.setComboText(kind.caption);
    return showMatch();
}

}  // namespace regdisc
