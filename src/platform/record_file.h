// A file of fixed-length records, opened read-only and read whole record by record: by
// pread, or, for the reads of a lookup step, out of a read-only mapping of the file.
#pragma once

#include "platform/record_source.h"

#include <cstdint>
#include <filesystem>

#ifdef _WIN32
#include <fstream>
#endif

namespace regdisc {

class RecordFile : public RecordSource {
public:
    RecordFile() = default;
    ~RecordFile() override;

    // Opens the file for reading with records of `recordLength` bytes; false when the file
    // is missing, is no regular file or cannot be read. Its size is taken now: a file cut
    // short later fails its reads, it never moves the end.
    bool open(const std::filesystem::path &path, int recordLength);
    void close() override;
    bool isOpen() const override;
    SourceIdentity identity() const override;

protected:
    std::size_t fetch(std::uint64_t offset, char *buffer, std::size_t length) override;
#ifndef _WIN32
    std::string_view lentBytes() override
    {
        return mapping_;
    }
    std::uint64_t currentSize() override;
#endif

private:
#ifdef _WIN32
    mutable std::ifstream in_;
    std::filesystem::path path_;
#else
    int fd_ = -1;
    std::string_view mapping_;  // the file's bytes at the opening, mapped; none when it cannot be
#endif
};

}  // namespace regdisc
