// Where the engine reads fixed-length records from: a file of the disc (RecordFile) or bytes
// held in memory (MemoryRecordSource, for tests and fuzzing). Every source shares one read
// path: the record-number check, the read counter and the short-read check live here; a
// source only fetches bytes at an offset, or lends its bytes for a batch of reads
// (RecordReads) when it can do so without a system call per record.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace regdisc {

// A record that is not in the source (number 0, past the end), or one that could not be
// read whole (a file truncated since it was opened, an I/O error of the medium).
struct RecordReadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What tells one state of a file from another: the same file (device and number), with the
// same size and times. Anything kept about a file's contents is good only while its
// identity stays the same.
struct SourceIdentity {
    std::uint64_t device = 0;
    std::uint64_t number = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds
    std::int64_t changed = 0;  // nanoseconds (the inode's change time)
    bool operator==(const SourceIdentity &) const = default;
};

class RecordSource {
public:
    RecordSource() = default;
    RecordSource(const RecordSource &) = delete;
    RecordSource &operator=(const RecordSource &) = delete;
    virtual ~RecordSource() = default;

    virtual bool isOpen() const = 0;
    virtual void close() = 0;  // closing a closed source is no error

    // The size when the source was opened; records are counted from it.
    std::uint64_t sizeBytes() const { return size_; }
    int recordLength() const { return length_; }
    // Whole records; a partial record at the end does not count.
    std::int64_t recordCount() const
    {
        return length_ > 0 ? static_cast<std::int64_t>(size_ / static_cast<std::uint64_t>(length_)) : 0;
    }
    bool hasRecord(std::int64_t n) const { return n >= 1 && n <= recordCount(); }

    // The bytes of record n (counting from 1) at byte offset (n-1)*L: exactly L bytes, valid
    // until the next read. Throws RecordReadError when the record is not in the source or
    // fewer than L bytes could be read.
    std::string_view readRecord(std::int64_t n);
    // The same, as a string of its own.
    std::string read(std::int64_t n) { return std::string(readRecord(n)); }

    // Records read since the source was opened.
    std::int64_t readCount() const { return reads_.load(std::memory_order_relaxed); }

    // Whether the source lends its bytes to RecordReads: reads through RecordReads then
    // share nothing but the bytes and the count, and threads may read it at once, each
    // through RecordReads of its own.
    bool lends() { return !lentBytes().empty(); }

    // The source's identity now (one fstat for a file); a closed source has none.
    virtual SourceIdentity identity() const = 0;
    // Asks for the whole source to be read ahead, in order, into the page cache: one pass
    // over the medium instead of reads scattered over it. Returns at once.
    virtual void readAhead() {}

protected:
    // Called by an opening: the size and record length the reads are checked against.
    void setShape(std::uint64_t sizeBytes, int recordLength);
    void clearShape() { setShape(0, 0); }

    // Copies up to `length` bytes from `offset` into `buffer`; returns how many it copied
    // (fewer at the end of the bytes or on a failed read).
    virtual std::size_t fetch(std::uint64_t offset, char *buffer, std::size_t length) = 0;

    // The bytes the source lends to RecordReads (a file's mapping, bytes in memory), or none.
    // Their pages may vanish under a read: they are only ever copied under a guard.
    virtual std::string_view lentBytes() { return {}; }
    // The size of the bytes now, which a file cut short since its opening shows.
    virtual std::uint64_t currentSize() { return size_; }

private:
    friend class RecordReads;
    // Checks that record n is in the source and counts the read; returns its offset.
    std::uint64_t beginRead(std::int64_t n);
    std::string_view readLent(std::int64_t n, std::string_view lent, std::string &buffer);

    std::uint64_t size_ = 0;
    int length_ = 0;
    std::atomic<std::int64_t> reads_ = 0;
    std::string buffer_;  // reused by every readRecord
};

// The records one step of a lookup reads from one source: a chain walk reads dozens of
// entries scattered over its file, so they are copied out of the bytes the source lends
// (no system call per record) when it lends any, and read as RecordSource::readRecord
// reads them otherwise; the same checks, counted the same. A page of a file's mapping that
// is gone faults, and the fault fails the read. But a file cut short in the middle of a
// page keeps the rest of that page, filled with zeros: a record read there has a zero
// byte. confirm() therefore checks, once the reads are done and before anything is shown,
// that the source still holds every record read with a zero byte, and fails the reads as a
// read would have failed; records without one were read from the file's own bytes.
class RecordReads {
public:
    explicit RecordReads(RecordSource &source) : source_(source), lent_(source.lentBytes()) {}

    // Record n, exactly L bytes, valid until the next read through these reads (or, where
    // the source lends nothing, from the source). Throws RecordReadError as
    // RecordSource::readRecord does.
    std::string_view record(std::int64_t n);
    // Throws RecordReadError when the source no longer holds a record read with a zero byte.
    void confirm();

private:
    RecordSource &source_;
    std::string_view lent_;
    std::string buffer_;  // the record copied out of the lent bytes
    std::uint64_t zeroEnd_ = 0;  // the end of the furthest lent record read with a zero byte
};

// Records held in memory, with the same read path as a file.
class MemoryRecordSource : public RecordSource {
public:
    MemoryRecordSource() = default;
    MemoryRecordSource(std::string bytes, int recordLength) { open(std::move(bytes), recordLength); }

    void open(std::string bytes, int recordLength);
    // Reads bytes that the caller keeps alive while the source is open (no copy).
    void openView(std::string_view bytes, int recordLength);
    void close() override;
    bool isOpen() const override { return open_; }

    // Cuts the bytes to `size` as a file truncated under an open screen: the record count
    // stays what it was at the opening, reads past the new end fail.
    void truncate(std::uint64_t size);
    // Bytes in memory have the identity of where they lie, their size and a count of the
    // changes made to them.
    SourceIdentity identity() const override;

protected:
    std::size_t fetch(std::uint64_t offset, char *buffer, std::size_t length) override;
    std::string_view lentBytes() override { return bytes_; }
    std::uint64_t currentSize() override { return bytes_.size(); }

private:
    std::string owned_;
    std::string_view bytes_;
    bool open_ = false;
    std::int64_t changes_ = 0;
};

}  // namespace regdisc
