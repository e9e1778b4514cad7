#include "engine/register_query.h"

#include "engine/field_values.h"
#include "engine/record_text.h"
#include "engine/skip_index.h"

#include <algorithm>

namespace regdisc {

namespace {

// The screen's input box holds at most 12 characters.
constexpr size_t kInputMaxLength = 12;

}  // namespace

RegisterQuery::RegisterQuery(const LookupProfile &profile, DataSetFiles files) : walk_(profile, files) {}

KeyCursor RegisterQuery::find(int keyKind, TextView input, KeyMatch match)
{
    return KeyCursor(walk_, walk_.profile().keyKind(keyKind), input, match);
}

void RegisterQuery::buildSkipIndex(const std::vector<int> &keyKinds, int spacing)
{
    walk_.setSkipIndex(SkipIndex::build(walk_.profile(), walk_.files(), keyKinds, spacing));
}

Text RegisterQuery::readRecord(std::int64_t n, std::string *bytes)
{
    RecordReads data(*walk_.files().data);
    const std::string_view read = data.record(n);
    Text record = recordText(read, walk_.profile().dataN);
    if (bytes)
        bytes->assign(read);
    data.confirm();
    return record;
}

KeyCursor::KeyCursor(IndexWalk &walk, const KeyKindSpec &kind, TextView input, KeyMatch match)
    : walk_(walk), kind_(kind), input_(kind.inputCase == InputCase::Upper ? toUpper(input) : Text(input)),
      match_(match)
{
    typed_ = input_.substr(
        0, std::min({static_cast<size_t>(std::max(kind.keyWidth, 0)), kInputMaxLength, input_.size()}));
    for (const FieldSpec &f : walk.profile().fields)
        if (f.pos == kind.sourcePos && f.width >= kind.keyWidth) {
            source_ = &f;
            break;
        }
    decideOnField_ = match == KeyMatch::Whole || typed_.size() < input_.size();
    // Without the field there is nothing to decide on.
    ended_ = decideOnField_ && !source_;
}

// The prefix test of 查詢 and of the look-ahead: the typed length of the entry's key from
// its position equals the typed text.
static bool beginsWith(Comparison comparison, const KeyKindSpec &kind, TextView entry, TextView typed)
{
    return equalUnder(comparison, fieldView(entry, kind.keyPos, static_cast<int>(typed.size())), typed);
}

bool KeyCursor::nextCandidate(RecordReads &top, RecordReads &detail)
{
    const LookupProfile &profile = walk_.profile();
    if (!started_) {
        started_ = true;
        IndexWalk::Walk walk;
        walk_.toKey(kind_, typed_, position_, top, detail, walk);
        return walk.end == IndexWalk::End::Reached &&
               beginsWith(kind_.lookup, kind_, position_.heldEntry, typed_);
    }
    // 次筆: the entry after the one held, when it begins with the typed text as the
    // look-ahead compares.
    const std::int64_t next = walk_.entries().next(position_.heldEntry, kind_);
    if (next == profile.chainEnd())
        return false;
    Text entry;
    walk_.readChainEntry(next, position_.chain, detail, entry);
    if (walk_.keyGoesDown(kind_, position_.heldEntry, entry))
        throw RecordReadError("the chain's keys go down");
    position_.heldEntry = std::move(entry);
    position_.heldNo = next;
    return beginsWith(kind_.lookAhead, kind_, position_.heldEntry, typed_);
}

bool KeyCursor::fieldMatches() const
{
    const TextView value = textOf(*source_, record_);
    if (match_ == KeyMatch::Whole)
        return equalUnder(kind_.lookup, trimEnd(value), trimEnd(input_));
    return value.size() >= input_.size() && equalUnder(kind_.lookup, value.substr(0, input_.size()), input_);
}

KeyCursor::Step KeyCursor::next()
{
    if (ended_)
        return Step::End;
    const DataSetFiles &files = walk_.files();
    try {
        RecordReads top(*files.top);
        RecordReads detail(*files.detail);
        RecordReads data(*files.data);
        for (;;) {
            if (!nextCandidate(top, detail)) {
                top.confirm();
                detail.confirm();
                ended_ = true;
                return Step::End;
            }
            // Each DetailEntry of a chain names a record of its own: a record met again means
            // the chain came back round.
            recordNo_ = walk_.entries().recordNo(position_.heldEntry);
            if (!given_.insert(recordNo_).second)
                throw RecordReadError("the chain names a record twice");
            const std::string_view bytes = data.record(recordNo_);
            recordText(bytes, walk_.profile().dataN, record_);
            bytes_.assign(bytes);
            if (!decideOnField_ || fieldMatches()) {
                top.confirm();
                detail.confirm();
                data.confirm();
                return Step::Record;
            }
        }
    } catch (const RecordReadError &) {
        ended_ = true;
        return Step::Damaged;
    }
}

}  // namespace regdisc
