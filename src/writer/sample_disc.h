// A realistic synthetic disc with all fourteen data sets and both listings, for trying
// the tool and for tests.
#pragma once

#include "platform/text.h"

#include <cstdint>
#include <filesystem>
#include <functional>

namespace regdisc {

struct SampleOptions {
    std::int64_t records = 5000;  // holder-register records; the other data sets are smaller
    std::uint64_t seed = 1;
    Text decimalFlag = u"N";
    // Holders of several accounts whose stored total (歸戶股數) is 1,000 shares above the
    // sum of their accounts: the first this many, for tests of the data check. None in a
    // sample meant to be looked at.
    std::int64_t mismatchedTotals = 0;
    // The disc before: the disc written is its next book closure (the same security, dates
    // six months later, the holders' trades since), not a new one. `records`, `decimalFlag`
    // and `mismatchedTotals` do not apply; `newHolders` holders arrive (-1: three in a
    // hundred of the holders before, and the buyer of a block).
    std::filesystem::path after = {};
    std::int64_t newHolders = -1;
    // Called once the disc information and every data set with a PDF copy are written,
    // before the rest: their copies can be painted meanwhile.
    std::function<void()> pdfDataSetsWritten = {};
};

// Writes stk/ and stkidx/ under `folder`. Throws DiscWriteError when it cannot.
void writeSampleDisc(const std::filesystem::path &folder, SampleOptions options);

}  // namespace regdisc
