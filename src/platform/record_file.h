// A file of fixed-length records, opened read-only and read whole record by record.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace regdisc {

// A record that is not in the file (number 0, past the end, or a short read).
struct RecordReadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class RecordFile {
public:
    RecordFile() = default;
    RecordFile(const RecordFile &) = delete;
    RecordFile &operator=(const RecordFile &) = delete;

    // Opens the file for reading with records of `recordLength` bytes; false when the file
    // is missing or cannot be read.
    bool open(const std::filesystem::path &path, int recordLength);
    void close();  // closing a closed file is no error
    bool isOpen() const { return open_; }

    std::uint64_t sizeBytes() const { return size_; }
    int recordLength() const { return length_; }
    // Whole records in the file; a partial record at the end does not count.
    std::int64_t recordCount() const { return length_ > 0 ? static_cast<std::int64_t>(size_ / length_) : 0; }
    bool hasRecord(std::int64_t n) const { return n >= 1 && n <= recordCount(); }

    // The bytes of record n (counting from 1) at byte offset (n-1)*L.
    std::string read(std::int64_t n);

    // Records read since the file was opened.
    std::int64_t readCount() const { return reads_; }

private:
    std::ifstream in_;
    bool open_ = false;
    std::uint64_t size_ = 0;
    int length_ = 0;
    std::int64_t reads_ = 0;
};

}  // namespace regdisc
