// Reading every record of a file from start to end in large sequential blocks: a scan of
// a whole register reads it once, at the speed of the disc, whatever its size.
#pragma once

#include "platform/progress.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

namespace regdisc {

struct ScanResult {
    bool opened = false;  // the file could be opened and read
    std::int64_t records = 0;  // whole records visited
    std::uint64_t trailingBytes = 0;  // bytes after the last whole record
    std::int64_t beyond = 0;  // whole records past `maxRecords`, not visited
};

// Calls `visit(recordNo, bytes)` for every whole record of `recordLength` bytes, record 1
// first, up to record `maxRecords` (what an index can name: a file with more records is
// damaged, and a sparse file may claim billions); steps `progress` by record numbers.
// Throws WorkCancelled when the clerk cancels.
ScanResult scanRecords(const std::filesystem::path &path, int recordLength, std::int64_t maxRecords,
                       Progress &progress, const std::function<void(std::int64_t, std::string_view)> &visit);

}  // namespace regdisc
