// The disc information: five texts read from stkidx/security.txt, shared by every screen
// and replaced whenever it is read again.
#pragma once

#include "platform/text.h"
#include "platform/text_input.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace regdisc {

struct DiscInfo {
    Text baseName;  // base of every data file name: always a file-name stem, or empty before
                    // the first read
    Text securityName;  // shown after the security code
    Text dataDate;  // the data-date box of each query screen
    Text decimalFlag;  // exactly u"Y": quantities carry two decimals
    Text productionDate;  // main menu and each query screen
};

// Reads security.txt into `info`. Each value replaces the old one the moment it is read,
// so a short file leaves the values read before the failure new and the others as they
// were. False when the file cannot be opened, holds fewer than five values or its first
// value is no file-name stem (then nothing is replaced). The file is read from its start
// only as far as the five values reach.
bool readDiscInfoFile(const std::filesystem::path &path, DiscInfo &info);

// The five values in the first bytes of security.txt; `atEnd` tells that `bytes` is the
// whole file. Nothing when the values could still change if more of the file were read.
std::optional<ListValues> discInfoValues(std::string_view bytes, bool atEnd);

// A baseName names files inside the disc folder only, so it must be a plain file-name
// stem: 1 to 64 characters, each an ASCII letter or digit, '_' or '-', or a double-byte
// character (any character from U+00A0 on, except U+FFFD, which stands for bytes that are
// not code page 950, and surrogates). No separator, dot, drive, blank or control character can pass, and
// none of the names Windows keeps for devices (CON, NUL, COM1, ...). Discs name their files
// by the security code ("2330", "00632R"), sometimes with Chinese text.
bool isFileNameStem(TextView text);

}  // namespace regdisc
