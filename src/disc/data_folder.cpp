#include "disc/data_folder.h"

#include "platform/paths.h"

#include <iterator>
#include <system_error>

namespace regdisc {

Text folderPath(TextView folder, TextView subFolder, TextView fileName)
{
    Text path = Text(folder) + kPathSeparator + Text(subFolder);
    if (!fileName.empty())
        path += kPathSeparator + Text(fileName);
    return path;
}

namespace {

bool inside(const std::filesystem::path &root, const std::filesystem::path &path)
{
    std::error_code rootError, pathError;
    const auto realRoot = std::filesystem::weakly_canonical(root, rootError);
    const auto realPath = std::filesystem::weakly_canonical(path, pathError);
    if (rootError || pathError)
        return false;
    auto r = realRoot.begin();
    auto p = realPath.begin();
    for (; r != realRoot.end(); ++r, ++p) {
        if (r->empty() && std::next(r) == realRoot.end())
            break;  // the trailing separator of a root such as "/"
        if (p == realPath.end() || *r != *p)
            return false;
    }
    return true;
}

}  // namespace

std::filesystem::path openPath(TextView folder, TextView pathText)
{
    const std::filesystem::path path = resolvePath(pathText, folder.empty());
    const std::filesystem::path root = folder.empty() ? currentDriveRoot() : resolvePath(folder, false);
    return inside(root, path) ? path : std::filesystem::path();
}

int missingSubFolders(TextView folder)
{
    int missing = 0;
    for (const TextView sub : {TextView(u"stk"), TextView(u"stkidx")}) {
        std::error_code error;
        if (!std::filesystem::exists(resolvePath(folderPath(folder, sub), folder.empty()), error))
            ++missing;
    }
    return missing;
}

}  // namespace regdisc
