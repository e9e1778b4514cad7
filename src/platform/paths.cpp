#include "platform/paths.h"

#include <algorithm>

#include <fstream>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace regdisc {

namespace fs = std::filesystem;

namespace {

fs::path pathFromText(TextView text)
{
#ifdef _WIN32
    return fs::path(std::wstring(text.begin(), text.end()));
#else
    const std::string utf8 = toUtf8(text);
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
#endif
}

bool sameNameIgnoringCase(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
        if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// Walks the components, taking a differently cased directory entry where the spelled one
// is absent.
fs::path matchComponentsIgnoringCase(const fs::path &path)
{
    std::error_code error;
    fs::path result = path.root_path();
    for (const fs::path &part : path.relative_path()) {
        const std::string name = part.string();
        if (name.empty())
            continue;
        fs::path candidate = result / part;
        if (name != "." && name != ".." && !fs::exists(candidate, error)) {
            const fs::path dir = result.empty() ? fs::path(".") : result;
            for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
                if (sameNameIgnoringCase(it->path().filename().string(), name)) {
                    candidate = result / it->path().filename();
                    break;
                }
            }
            error.clear();
        }
        result = candidate;
    }
    return result;
}

}  // namespace

fs::path currentDriveRoot()
{
    std::error_code error;
    fs::path dir = fs::current_path(error);
    if (error)
        return fs::path("/");
#ifdef _WIN32
    return dir.root_path();
#else
    struct stat here {};
    if (::stat(dir.c_str(), &here) != 0)
        return dir.root_path();
    while (dir.has_parent_path() && dir.parent_path() != dir) {
        struct stat up {};
        const fs::path parent = dir.parent_path();
        if (::stat(parent.c_str(), &up) != 0 || up.st_dev != here.st_dev)
            break;
        dir = parent;
    }
    return dir;
#endif
}

fs::path resolvePath(TextView pathText, bool fromDriveRoot)
{
    fs::path path = pathFromText(pathText);
    if (fromDriveRoot && !pathText.empty() && pathText.front() == kPathSeparator)
        path = currentDriveRoot() / pathFromText(pathText.substr(1));
    std::error_code error;
    if (fs::exists(path, error))
        return path;
    return matchComponentsIgnoringCase(path);
}

std::optional<std::string> readSmallFile(const fs::path &path, std::size_t maxBytes)
{
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return std::nullopt;
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in.is_open())
        return std::nullopt;
    // Read in steps: the limit is far above what such files hold, and filling a buffer of
    // the limit's size would cost more than the read.
    std::string bytes;
    char chunk[1 << 16];
    while (bytes.size() < maxBytes) {
        in.read(chunk, static_cast<std::streamsize>(std::min(sizeof chunk, maxBytes - bytes.size())));
        if (in.bad())
            return std::nullopt;
        bytes.append(chunk, static_cast<size_t>(in.gcount()));
        if (!in)
            break;
    }
    return bytes;
}

}  // namespace regdisc
