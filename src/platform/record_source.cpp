#include "platform/record_source.h"

#include "platform/guarded_copy.h"

#include <algorithm>
#include <cstring>

namespace regdisc {

void RecordSource::setShape(std::uint64_t sizeBytes, int recordLength)
{
    size_ = sizeBytes;
    length_ = recordLength;
    reads_ = 0;
}

std::uint64_t RecordSource::beginRead(std::int64_t n)
{
    if (!isOpen() || !hasRecord(n))
        throw RecordReadError("record " + std::to_string(n) + " is not in the file");
    reads_.fetch_add(1, std::memory_order_relaxed);
    return static_cast<std::uint64_t>(n - 1) * static_cast<std::uint64_t>(length_);
}

std::string_view RecordSource::readRecord(std::int64_t n)
{
    const auto offset = beginRead(n);
    buffer_.resize(static_cast<std::size_t>(length_));
    const auto length = buffer_.size();
    if (fetch(offset, buffer_.data(), length) != length)
        throw RecordReadError("record " + std::to_string(n) + " could not be read");
    return buffer_;
}

// Record n copied out of the lent bytes under the guard: a page gone from a file's mapping
// (the file cut short, a failed medium) fails the read instead of ending the program.
std::string_view RecordSource::readLent(std::int64_t n, std::string_view lent, std::string &buffer)
{
    const auto offset = beginRead(n);
    buffer.resize(static_cast<std::size_t>(length_));
    const auto length = buffer.size();
    if (offset + length > lent.size() || !copyGuarded(buffer.data(), lent.data() + offset, length))
        throw RecordReadError("record " + std::to_string(n) + " could not be read");
    return buffer;
}

std::string_view RecordReads::record(std::int64_t n)
{
    if (lent_.empty())
        return source_.readRecord(n);
    const std::string_view bytes = source_.readLent(n, lent_, buffer_);
    if (bytes.find('\0') != std::string_view::npos)
        zeroEnd_ =
            std::max(zeroEnd_, static_cast<std::uint64_t>(n) * static_cast<std::uint64_t>(bytes.size()));
    return bytes;
}

void RecordReads::confirm()
{
    if (zeroEnd_ > 0 && source_.currentSize() < zeroEnd_)
        throw RecordReadError("the file was cut short during the reads");
}

void MemoryRecordSource::open(std::string bytes, int recordLength)
{
    owned_ = std::move(bytes);
    openView(owned_, recordLength);
}

void MemoryRecordSource::openView(std::string_view bytes, int recordLength)
{
    if (bytes.data() != owned_.data())
        owned_.clear();
    bytes_ = bytes;
    open_ = true;
    setShape(bytes_.size(), recordLength);
}

void MemoryRecordSource::close()
{
    owned_.clear();
    bytes_ = {};
    open_ = false;
    clearShape();
}

void MemoryRecordSource::truncate(std::uint64_t size)
{
    if (size < bytes_.size())
        bytes_ = bytes_.substr(0, static_cast<std::size_t>(size));
    ++changes_;
}

SourceIdentity MemoryRecordSource::identity() const
{
    if (!open_)
        return {};
    return {1, reinterpret_cast<std::uintptr_t>(bytes_.data()), bytes_.size(), changes_, 0};
}

std::size_t MemoryRecordSource::fetch(std::uint64_t offset, char *buffer, std::size_t length)
{
    if (offset >= bytes_.size())
        return 0;
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(length, bytes_.size() - offset));
    std::memcpy(buffer, bytes_.data() + offset, count);
    return count;
}

}  // namespace regdisc
