// The keyed lookup every query screen uses: RunQuery behind 查詢, NextMatch behind 次筆
// and ShowMatch between them, driven by a data set's lookup profile.
#pragma once

#include "engine/chain_guard.h"
#include "engine/lookup_profile.h"
#include "engine/record_history.h"
#include "platform/record_source.h"
#include "platform/text.h"

#include <cstdint>
#include <map>

namespace regdisc {

// What the lookup needs of its screen.
class LookupScreen {
public:
    virtual ~LookupScreen() = default;
    virtual Text inputText() const = 0;  // tx_i_01
    virtual Text comboText() const = 0;  // comb_1
    virtual void setInputText(TextView text) = 0;
    virtual void setComboText(TextView text) = 0;
    virtual void setNextEnabled(bool enabled) = 0;  // cmd_2 次筆
    virtual void setPreviousEnabled(bool enabled) = 0;  // cmd_5 前一畫面
    virtual void setFollowingEnabled(bool enabled) = 0;  // cmd_6 下一畫面
    // DisplayRecord: fills the output boxes from DataFile record recordNo, which the lookup
    // has already read whole (`record`, the data set's N characters).
    virtual void displayRecord(std::int64_t recordNo, const Text &record) = 0;
    virtual void showMessage(TextView text) = 0;
};

// The three open files of a data set (or, in tests and fuzzing, records in memory).
struct DataSetFiles {
    RecordSource *top = nullptr;  // TopIndexFile
    RecordSource *detail = nullptr;  // DetailIndexFile
    RecordSource *data = nullptr;  // DataFile
};

struct QueryState {
    int keyKind = 0;  // KeyKind of the running query (0 before the first)
    Text queryText;  // the input after normalisation
    int queryLength = 0;  // characters in tx_i_01 when 查詢 was pressed
    std::int64_t chainNext = 0;  // DetailEntry after the current match, or ChainEnd
    Text heldEntry;  // DetailEntry last read: after ShowMatch the look-ahead
    std::int64_t recordNo = 0;  // DataFile record selected for display
    ChainGuard chain;  // the DetailEntries read along the chain since 查詢
};

enum class LookupOutcome {
    Shown,  // a record was shown
    ComboMessage,  // the combo text is none of the captions
    TopScanMessage,  // the input is greater than every key of the top record
    PrefixMessage,  // the entry reached does not begin with the input
    Damaged,  // a pointer led outside the files, a record could not be read, a chain looped
              // or went down
};

class KeyedLookup {
public:
    KeyedLookup(const LookupProfile &profile, DataSetFiles files, LookupScreen &screen,
                RecordHistory &history);

    LookupOutcome runQuery();
    LookupOutcome nextMatch();

    const QueryState &state() const { return state_; }

private:
    // Everything ShowMatch reads, read before anything on screen changes.
    struct Match {
        std::int64_t recordNo = 0;
        std::int64_t chainNext = 0;
        Text record;  // the DataFile record
        bool lookAhead = false;  // chainNext is not ChainEnd: lookAheadEntry was read
        Text lookAheadEntry;
        ChainGuard chain;
    };
    // How the scans and the chain walk of 查詢 ended.
    enum class WalkEnd { TopScan, Prefix, Match, Damaged };
    struct Walk {
        WalkEnd end = WalkEnd::Damaged;
        bool topRead = false;  // the top record was read
        bool entryRead = false;  // an entry of the chain was read
        Walk &ending(WalkEnd e)
        {
            end = e;
            return *this;
        }
    };
    Walk walkToKey(const KeyKindSpec &kind, TextView query, RecordReads &index, RecordReads &detail);
    // Where the scan of a top or block record stops: at the first entry (from 0) whose key
    // is not less than the input (`found`), or, where `markerEnds`, at an unused entry (its
    // pointer the empty marker) whose key is less; at the record's end otherwise. `text`
    // is left viewing the decoded record.
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
    // Fills match_ (its buffers are reused from step to step).
    void readMatch(std::int64_t recordNo, std::int64_t chainNext, RecordReads &data, RecordReads &detail);
    LookupOutcome showMatch();
    LookupOutcome fail(TextView message, LookupOutcome outcome);
    LookupOutcome damaged();
    void readChainEntry(std::int64_t n, ChainGuard &chain, RecordReads &detail, Text &entry) const;
    bool keyGoesDown(const KeyKindSpec &kind, TextView previousEntry, TextView entry) const;
    std::int64_t pointerAt(TextView text, int pos) const;
    bool prefixMatches(Comparison comparison, const KeyKindSpec &kind, TextView entry) const;

    LookupProfile profile_;
    DataSetFiles files_;
    LookupScreen &screen_;
    RecordHistory &history_;
    QueryState state_;
    // The top and block records scanned before, by KeyKind and record number, kept with
    // their bytes: one read again with the same bytes is known in order without decoding
    // it or comparing its keys again, one changed on disk is checked anew. At most
    // kMostOrdered (a data set's index has at most three hundred), a few MB; beyond,
    // records are checked each time.
    std::map<std::pair<int, std::int64_t>, OrderedRecord> ordered_;
    OrderedRecord unkept_;
    static constexpr std::size_t kMostOrdered = 512;
    Text entry_;  // the DetailEntry just read
    Match match_;
};

// Whether the input is greater than the key under the comparison.
bool inputGreater(Comparison comparison, TextView input, TextView key);

}  // namespace regdisc
