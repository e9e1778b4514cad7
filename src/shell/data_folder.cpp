#include "shell/data_folder.h"

#include "platform/paths.h"

#include <system_error>

namespace regdisc {

Text folderPath(TextView folder, TextView subFolder, TextView fileName)
{
    Text path = Text(folder) + kPathSeparator + Text(subFolder);
    if (!fileName.empty())
        path += kPathSeparator + Text(fileName);
    return path;
}

std::filesystem::path openPath(TextView folder, TextView pathText)
{
    return resolvePath(pathText, folder.empty());
}

int missingSubFolders(TextView folder)
{
    int missing = 0;
    for (const TextView sub : {TextView(u"stk"), TextView(u"stkidx")}) {
        std::error_code error;
        if (!std::filesystem::exists(openPath(folder, folderPath(folder, sub)), error))
            ++missing;
    }
    return missing;
}

}  // namespace regdisc
