// File-system paths from the texts the user types: the folder box text is used verbatim
// and joined with suffixes by plain concatenation.
#pragma once

#include "platform/text.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace regdisc {

#ifdef _WIN32
inline constexpr char16_t kPathSeparator = u'\\';
#else
inline constexpr char16_t kPathSeparator = u'/';
#endif

// The file-system path for a path text. A text that begins with the separator because the
// folder box is empty resolves against the root of the file system holding the current
// directory (the root of the current drive). When the path does not exist as spelled, each
// component is matched without regard to letter case, as discs are written on
// case-insensitive systems.
std::filesystem::path resolvePath(TextView pathText, bool fromDriveRoot);

// The mount point that holds the current directory.
std::filesystem::path currentDriveRoot();

// A regular file read from its start in pieces, for the disc's plain-text files: memory
// follows what has been read, never a bound.
class SequentialFile {
public:
    // False when the file is missing, is no regular file (a folder, a FIFO, a device) or
    // cannot be opened.
    bool open(const std::filesystem::path &path);
    // Appends up to `count` further bytes; returns how many (0 at the end of the file or
    // after a failed read, which failed() tells).
    std::size_t readMore(std::string &bytes, std::size_t count);
    bool failed() const { return failed_; }

private:
    std::ifstream in_;
    bool failed_ = false;
};

// The whole content of a file that may hold at most maxBytes.
struct FileContent {
    enum Status { Read, CannotRead, TooLarge } status = CannotRead;
    std::string bytes;  // when Read
};
FileContent readBoundedFile(const std::filesystem::path &path, std::size_t maxBytes);

}  // namespace regdisc
