// A realistic synthetic disc with all fourteen data sets and both listings, for trying
// the tool and for tests.
#pragma once

#include "platform/text.h"

#include <cstdint>
#include <filesystem>

namespace regdisc {

struct SampleOptions {
    std::int64_t records = 5000;  // holder-register records; the other data sets are smaller
    std::uint64_t seed = 1;
    Text decimalFlag = u"N";
};

// Writes stk/ and stkidx/ under `folder`. Throws DiscWriteError when it cannot.
void writeSampleDisc(const std::filesystem::path &folder, const SampleOptions &options);

}  // namespace regdisc
