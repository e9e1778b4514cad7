#include "platform/record_file.h"

#ifdef _WIN32
#include <system_error>
#else
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace regdisc {

RecordFile::~RecordFile()
{
    close();
}

#ifndef _WIN32

// One descriptor, read by position with pread: no shared file position, no stream state.
bool RecordFile::open(const std::filesystem::path &path, int recordLength)
{
    close();
    // Non-blocking, so that a FIFO or device in a file's place cannot hang the opening; it
    // is refused below because it is no regular file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    setShape(static_cast<std::uint64_t>(info.st_size), recordLength);
    // A lookup step reads dozens of records scattered over the file: from a mapping they
    // cost no system call each. Shared, so that the bytes are the file's as they are now.
    // Without a mapping every read is a pread.
    if (info.st_size > 0 && static_cast<std::uint64_t>(info.st_size) <= SIZE_MAX) {
        const auto size = static_cast<std::size_t>(info.st_size);
        void *bytes = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
        if (bytes != MAP_FAILED) {
            // Scattered reads: no read-around of neighbouring pages from the medium.
            ::madvise(bytes, size, MADV_RANDOM);
            mapping_ = std::string_view(static_cast<const char *>(bytes), size);
        }
    }
    return true;
}

void RecordFile::close()
{
    if (!mapping_.empty())
        ::munmap(const_cast<char *>(mapping_.data()), mapping_.size());
    mapping_ = {};
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    clearShape();
}

std::uint64_t RecordFile::currentSize()
{
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0)
        return 0;
    return static_cast<std::uint64_t>(info.st_size);
}

bool RecordFile::isOpen() const
{
    return fd_ >= 0;
}

SourceIdentity RecordFile::identity() const
{
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0)
        return {};
    const auto nanoseconds = [](const timespec &t) {
        return std::int64_t{t.tv_sec} * 1000000000 + t.tv_nsec;
    };
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size), nanoseconds(info.st_mtim), nanoseconds(info.st_ctim)};
}

std::size_t RecordFile::fetch(std::uint64_t offset, char *buffer, std::size_t length)
{
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd_, buffer + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;  // the end of the file, or an I/O error of the medium
        done += static_cast<std::size_t>(n);
    }
    return done;
}

#else

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
    path_ = path;
    setShape(size, recordLength);
    return true;
}

void RecordFile::close()
{
    if (in_.is_open())
        in_.close();
    in_.clear();
    clearShape();
}

bool RecordFile::isOpen() const
{
    return in_.is_open();
}

SourceIdentity RecordFile::identity() const
{
    // The size and the time of the last change, as the file system tells them by name.
    std::error_code error;
    if (!in_.is_open())
        return {};
    const auto size = std::filesystem::file_size(path_, error);
    const auto time = std::filesystem::last_write_time(path_, error);
    return {0, 0, static_cast<std::uint64_t>(size), time.time_since_epoch().count(), 0};
}

std::size_t RecordFile::fetch(std::uint64_t offset, char *buffer, std::size_t length)
{
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset), std::ios::beg);
    in_.read(buffer, static_cast<std::streamsize>(length));
    return static_cast<std::size_t>(in_.gcount());
}

#endif

}  // namespace regdisc
