#include "platform/record_file.h"

#include <system_error>

namespace regdisc {

bool RecordFile::open(const std::filesystem::path &path, int recordLength)
{
    close();
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        return false;
    // Records are read one by one at scattered offsets: a stream buffer would refill
    // itself with kilobytes after every seek for the few bytes of one record.
    in_.rdbuf()->pubsetbuf(nullptr, 0);
    in_.open(path, std::ios::in | std::ios::binary);
    if (!in_.is_open())
        return false;
    open_ = true;
    size_ = size;
    length_ = recordLength;
    reads_ = 0;
    return true;
}

void RecordFile::close()
{
    if (in_.is_open())
        in_.close();
    in_.clear();
    open_ = false;
    size_ = 0;
}

std::string RecordFile::read(std::int64_t n)
{
    if (!open_ || !hasRecord(n))
        throw RecordReadError("record " + std::to_string(n) + " is not in the file");
    ++reads_;
    std::string bytes(static_cast<size_t>(length_), '\0');
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(n - 1) * length_, std::ios::beg);
    in_.read(bytes.data(), length_);
    if (in_.gcount() != length_)
        throw RecordReadError("record " + std::to_string(n) + " could not be read");
    return bytes;
}

}  // namespace regdisc
