// The disc information: five texts read from stkidx/security.txt, shared by every screen
// and replaced whenever it is read again.
#pragma once

#include "platform/text.h"

#include <filesystem>

namespace regdisc {

struct DiscInfo {
    Text baseName;  // base of every data file name
    Text securityName;  // shown after the security code
    Text dataDate;  // the data-date box of each query screen
    Text decimalFlag;  // exactly u"Y": quantities carry two decimals
    Text productionDate;  // main menu and each query screen
};

// Reads security.txt into `info`. Each value replaces the old one the moment it is read,
// so a short file leaves the values read before the failure new and the others as they
// were. False when the file cannot be opened or holds fewer than five values.
bool readDiscInfoFile(const std::filesystem::path &path, DiscInfo &info);

}  // namespace regdisc
