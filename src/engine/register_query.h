// Queries of one open register that are not a screen's: the whole-disc tools find records
// through it by the same index walk, the same steps and the same guards as 查詢 and 次筆.
#pragma once

#include "engine/index_walk.h"
#include "engine/lookup_profile.h"
#include "engine/skip_index.h"
#include "platform/text.h"

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace regdisc {

// Which keys a query finds: those that begin with the input, or those equal to it
// (trailing blanks aside).
enum class KeyMatch { Beginning, Whole };

class RegisterQuery;

// The records of one KeyKind whose key begins with (or equals) an input, in chain order:
// the record 查詢 shows, then each record 次筆 steps to. An input longer than the index key
// is looked up by its beginning and decided on the record's whole field, as is a whole
// match. A damaged index ends the cursor with Damaged; no record is given twice.
class KeyCursor {
public:
    enum class Step {
        Record,  // recordNo() and record() hold the next record
        End,  // no more records
        Damaged,  // the index or a record could not be read, or the chain looped or went down
    };

    Step next();

    std::int64_t recordNo() const { return recordNo_; }
    // The record as read, decoded to the data set's N characters, and its bytes (valid
    // until the next step).
    const Text &record() const { return record_; }
    const std::string &recordBytes() const { return bytes_; }
    const KeyKindSpec &keyKind() const { return kind_; }
    // The text the screen's input box would hold: the input normalised and cut to the key.
    const Text &typed() const { return typed_; }

private:
    friend class RegisterQuery;
    KeyCursor(IndexWalk &walk, const KeyKindSpec &kind, TextView input, KeyMatch match);

    // The next entry of the chain that begins with the typed text; false at the end.
    bool nextCandidate(RecordReads &top, RecordReads &detail);
    bool fieldMatches() const;

    IndexWalk &walk_;
    const KeyKindSpec &kind_;
    Text input_;  // normalised
    Text typed_;
    KeyMatch match_;
    const FieldSpec *source_ = nullptr;  // the field the key is taken from
    bool decideOnField_ = false;
    bool started_ = false;
    bool ended_ = false;
    ChainPosition position_;
    std::unordered_set<std::int64_t> given_;  // the records met along the chain
    std::int64_t recordNo_ = 0;
    Text record_;
    std::string bytes_;
};

class RegisterQuery {
public:
    RegisterQuery(const LookupProfile &profile, DataSetFiles files);

    const LookupProfile &profile() const { return walk_.profile(); }

    // The records of KeyKind `keyKind` whose key begins with, or equals, `input` (before
    // the KeyKind's normalisation: an ID is upper-cased).
    KeyCursor find(int keyKind, TextView input, KeyMatch match);

    // DataFile record n decoded; throws RecordReadError when it is not in the file or
    // cannot be read whole.
    Text readRecord(std::int64_t n, std::string *bytes = nullptr);

    // Builds a skip index of the KeyKinds (all when empty) and walks by it from now on:
    // worth it before many lookups (a pass over the chains costs about as much as a few
    // thousand walks).
    void buildSkipIndex(const std::vector<int> &keyKinds = {}, int spacing = SkipIndex::kDefaultSpacing);
    void setSkipIndex(std::shared_ptr<const SkipIndex> skip) { walk_.setSkipIndex(std::move(skip)); }
    const std::shared_ptr<const SkipIndex> &skipIndex() const { return walk_.skipIndex(); }

private:
    IndexWalk walk_;
};

}  // namespace regdisc
