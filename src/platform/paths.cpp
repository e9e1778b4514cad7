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
    // A NUL would end the path early at the system call: such a text names no file.
    if (text.find(u'\0') != TextView::npos)
        return {};
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

bool SequentialFile::open(const fs::path &path)
{
    in_.close();
    in_.clear();
    failed_ = false;
    // Checked before opening: opening a FIFO for reading would wait for a writer.
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return false;
    in_.open(path, std::ios::in | std::ios::binary);
    return in_.is_open();
}

std::size_t SequentialFile::readMore(std::string &bytes, std::size_t count)
{
    if (!in_.is_open() || failed_ || count == 0)
        return 0;
    const std::size_t before = bytes.size();
    bytes.resize(before + count);
    in_.read(bytes.data() + before, static_cast<std::streamsize>(count));
    const auto got = static_cast<std::size_t>(in_.gcount());
    bytes.resize(before + got);
    if (in_.bad())
        failed_ = true;
    return got;
}

FileContent readBoundedFile(const fs::path &path, std::size_t maxBytes)
{
    SequentialFile file;
    FileContent content;
    if (!file.open(path))
        return content;
    std::error_code error;
    const auto size = fs::file_size(path, error);
    if (!error && size > maxBytes) {
        content.status = FileContent::TooLarge;
        return content;
    }
    // The size only guides the first piece: a file that grew since is read to its end, up
    // to one byte past the bound.
    std::size_t piece = error ? std::size_t{64} << 10 : static_cast<std::size_t>(size) + 1;
    while (content.bytes.size() <= maxBytes) {
        const std::size_t want = std::min(piece, maxBytes + 1 - content.bytes.size());
        if (file.readMore(content.bytes, want) == 0)
            break;
        piece = std::max<std::size_t>(piece, 64 << 10);
    }
    if (file.failed()) {
        content.bytes.clear();
        return content;
    }
    if (content.bytes.size() > maxBytes) {
        content.bytes.clear();
        content.status = FileContent::TooLarge;
        return content;
    }
    content.status = FileContent::Read;
    return content;
}

}  // namespace regdisc
