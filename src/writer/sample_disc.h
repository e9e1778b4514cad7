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
    // Called once the disc information and every data set with a PDF copy are written,
    // before the rest: their copies can be painted meanwhile.
    std::function<void()> pdfDataSetsWritten = {};
};

// Writes stk/ and stkidx/ under `folder`. Throws DiscWriteError when it cannot.
void writeSampleDisc(const std::filesystem::path &folder, SampleOptions options);

}  // namespace regdisc
