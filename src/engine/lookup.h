// The keyed lookup every query screen uses: RunQuery behind 查詢, NextMatch behind 次筆
// and ShowMatch between them, driven by a data set's lookup profile.
#pragma once

#include "engine/index_walk.h"
#include "engine/lookup_profile.h"
#include "engine/record_history.h"
#include "platform/record_source.h"
#include "platform/text.h"

#include <cstdint>

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

// The screen's running query; chainNext and heldEntry (after ShowMatch the look-ahead
// entry, the candidate for 次筆) are where its walk along the chain stands.
struct QueryState : ChainPosition {
    int keyKind = 0;  // KeyKind of the running query (0 before the first)
    Text queryText;  // the input after normalisation
    int queryLength = 0;  // characters in tx_i_01 when 查詢 was pressed
    std::int64_t recordNo = 0;  // DataFile record selected for display
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
    // The walks of 查詢 begin where a skip index of the files lets them (see SkipIndex).
    void setSkipIndex(std::shared_ptr<const SkipIndex> skip) { walk_.setSkipIndex(std::move(skip)); }
    const LookupProfile &profile() const { return walk_.profile(); }
    const DataSetFiles &files() const { return walk_.files(); }

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
    // Fills match_ (its buffers are reused from step to step).
    void readMatch(std::int64_t recordNo, std::int64_t chainNext, RecordReads &data, RecordReads &detail);
    LookupOutcome showMatch();
    LookupOutcome fail(TextView message, LookupOutcome outcome);
    LookupOutcome damaged();
    bool prefixMatches(Comparison comparison, const KeyKindSpec &kind, TextView entry) const;

    IndexWalk walk_;
    LookupScreen &screen_;
    RecordHistory &history_;
    QueryState state_;
    Match match_;
};

}  // namespace regdisc
