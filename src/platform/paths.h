// File-system paths from the texts the user types: the folder box text is used verbatim
// and joined with suffixes by plain concatenation.
#pragma once

#include "platform/text.h"

#include <filesystem>
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

// Whole content of a small file, at most maxBytes; nothing when it cannot be opened or read.
std::optional<std::string> readSmallFile(const std::filesystem::path &path, std::size_t maxBytes);

}  // namespace regdisc
