#include "tools/record_scan.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <system_error>
#include <vector>

namespace regdisc {

namespace {

struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File openForReading(const std::filesystem::path &path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return nullptr;
    return File(std::fopen(path.string().c_str(), "rb"));
}

constexpr size_t kBlockBytes = 4u << 20;

}  // namespace

ScanResult scanRecords(const std::filesystem::path &path, int recordLength, std::int64_t maxRecords,
                       Progress &progress, const std::function<void(std::int64_t, std::string_view)> &visit)
{
    ScanResult result;
    File file = openForReading(path);
    if (!file || recordLength <= 0)
        return result;
    result.opened = true;
    std::error_code error;
    const std::uint64_t size = std::filesystem::file_size(path, error);
    const auto length = static_cast<size_t>(recordLength);
    const auto wholeRecords = error ? std::int64_t{0} : static_cast<std::int64_t>(size / length);
    if (wholeRecords > maxRecords) {
        // Only what an index can name is read; the rest is counted from the size.
        result.beyond = wholeRecords - maxRecords;
        result.trailingBytes = size % length;
    }
    progress.begin({}, std::min(wholeRecords, maxRecords));

    // Blocks of a few megabytes, or the whole file when it is smaller.
    const size_t perBlock = static_cast<size_t>(
        std::clamp<std::int64_t>(std::min<std::int64_t>(wholeRecords, maxRecords) + 1, 1,
                                 static_cast<std::int64_t>(std::max<size_t>(1, kBlockBytes / length))));
    std::vector<char> block(perBlock * length);
    size_t carried = 0;  // bytes of an incomplete record kept from the last read
    std::int64_t recordNo = 0;
    for (;;) {
        // The bytes still wanted: up to the end of record maxRecords.
        const auto left = static_cast<std::uint64_t>(maxRecords - recordNo) * length - carried;
        const size_t want = static_cast<size_t>(std::min<std::uint64_t>(block.size() - carried, left));
        const size_t got = want == 0 ? 0 : std::fread(block.data() + carried, 1, want, file.get());
        const size_t have = carried + got;
        const size_t whole = have / length;
        for (size_t i = 0; i < whole; ++i)
            visit(++recordNo, std::string_view(block.data() + i * length, length));
        carried = have - whole * length;
        if (carried > 0 && whole > 0)
            std::copy(block.data() + whole * length, block.data() + have, block.data());
        stepOrStop(progress, recordNo);
        if (got == 0 || std::ferror(file.get()))
            break;
    }
    if (std::ferror(file.get()))
        result.opened = false;
    result.records = recordNo;
    if (result.beyond == 0)
        result.trailingBytes = carried;
    return result;
}

}  // namespace regdisc
