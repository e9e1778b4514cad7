// The DataFolder: the folder box text, used verbatim; every path is that text followed by
// a suffix that begins with the separator.
#pragma once

#include "platform/text.h"

#include <filesystem>

namespace regdisc {

// folder + sep + "stk"/"stkidx" (+ sep + fileName when given).
Text folderPath(TextView folder, TextView subFolder, TextView fileName = {});

// The file-system path of a file built from the folder text. A file of the disc lies inside
// the folder: when the path leads elsewhere after links are followed (a link on a tampered
// disc), the result is the empty path, which names no file.
std::filesystem::path openPath(TextView folder, TextView pathText);

// How many of the sub-folders stk and stkidx are missing under the folder (an entry of
// that name passes).
int missingSubFolders(TextView folder);

}  // namespace regdisc
