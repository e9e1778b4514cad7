// Two book closures of one security side by side: who came, who left, who bought, who
// sold. Each disc's holder register is counted by holder exactly as the statistics count
// it (records summed by ID number; a record with a blank or malformed ID a holder of its
// own, known by its account), then the holders of the two discs are joined by that
// identity. Memory: the two holder tables, nothing per record.
#pragma once

#include "disc/opened_disc.h"
#include "platform/progress.h"
#include "tools/holder_stats.h"

#include <array>
#include <cstdint>
#include <vector>

namespace regdisc {

struct CompareOptions {
    int top = 10;  // the largest net buyers and sellers listed
    int percentHundredths = 500;  // and every holder whose holding crosses this share (5.00%)
};

// How a holder's holding went from the older disc to the newer.
enum class Movement {
    New,  // none on the older disc (absent, or no shares), some on the newer
    Exited,  // some on the older, none on the newer
    Increased,
    Decreased,
    Unchanged,
};
inline constexpr int kMovements = 5;
Text movementCaption(Movement movement);  // 新進股東, 出清股東, 增持, 減持, 持股不變
const char *movementName(Movement movement);  // new, exited, increased, decreased, unchanged

struct MovementRow {
    std::int64_t holders = 0;
    // In the comparison's units: the holding of the new, exited and unchanged holders, the
    // shares moved (bought or sold) of the increased and decreased ones.
    std::int64_t shares = 0;
};

// A holder in the lists of buyers, sellers and holders crossing the percentage.
struct HolderChange {
    int rank = 0;  // holders with equal changes share a rank
    Text name;  // from the newer disc where the holder is on it, else from the older
    Text id;  // as stored, trailing blanks dropped
    Text account;  // of the holder's first record
    bool byAccount = false;  // the ID joins no records: a holder of one record, by its account
    bool onOlder = false, onNewer = false;  // the holder has records on that disc
    std::int64_t oldShares = 0, newShares = 0;  // in the comparison's units
    int oldPercent = 0, newPercent = 0;  // of each disc's total, hundredths, half up
    std::int64_t change() const { return newShares - oldShares; }
};

struct RegisterComparison {
    // Why the discs could not be compared (different securities, a holder register that
    // cannot be read); empty when they were.
    Text refusal;
    DiscInfo olderInfo, newerInfo;
    Text olderFolder, newerFolder;  // the folders as the clerk named them
    // Each disc's statistics (levels, structure, breakdowns) in its own units.
    HolderStats older, newer;
    // The comparison's units: hundredths of a share (2) when either disc's decimalFlag is
    // "Y", else shares; a disc's units times its scale give them.
    int decimals = 0;
    std::int64_t olderScale = 1, newerScale = 1;

    std::array<MovementRow, kMovements> movement{};
    std::int64_t olderTotal = 0, newerTotal = 0;  // shares of the holders with shares
    std::int64_t olderHolders = 0, newerHolders = 0;
    std::int64_t leftOut = 0;  // holders with a negative holding on either disc
    bool saturated = false;  // a sum passed the largest number kept; the figures are capped
    std::vector<HolderChange> buyers;  // the largest increases, ties at the last included
    std::vector<HolderChange> sellers;  // the largest decreases
    std::vector<HolderChange> crossings;  // holdings that crossed the percentage, up first
    CompareOptions options;
};

// The identity of the security a disc holds: the security code of its holder register's
// first record, or its baseName when that is blank or cannot be read.
Text securityIdentity(const Disc &disc);

// Compares the holder registers of two opened discs. Throws WorkCancelled.
RegisterComparison compareRegisters(const Disc &older, const Disc &newer, const CompareOptions &options,
                                    Progress &progress);

}  // namespace regdisc
