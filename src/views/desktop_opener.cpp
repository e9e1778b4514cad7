#include "views/desktop_opener.h"

#include "platform/paths.h"
#include "views/view_support.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <filesystem>

#ifdef _WIN32
#include <shellapi.h>
#include <windows.h>
#else
#include <QDesktopServices>
#include <QUrl>
#endif

namespace regdisc {

#ifndef _WIN32
namespace {

constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kAccessDenied = 5;
constexpr int kNoAssociation = 31;

QString pathString(const std::filesystem::path &path)
{
    const std::u8string utf8 = path.u8string();
    return QString::fromUtf8(reinterpret_cast<const char *>(utf8.data()),
                             static_cast<qsizetype>(utf8.size()));
}

#if !defined(_WIN32) && !defined(__APPLE__)
// The desktop entry of the default application for PDF files; empty when there is none.
QString defaultPdfApplication()
{
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("application/pdf")});
    if (!query.waitForFinished(10000) || query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}
#endif

}  // namespace
#endif

int DesktopDocumentOpener::open(TextView pathText)
{
#ifdef _WIN32
    const std::wstring path(pathText.begin(), pathText.end());
    const HINSTANCE result =
        ShellExecuteW(GetDesktopWindow(), L"open", path.c_str(), L"", L"C:\\", SW_SHOWNORMAL);
    return static_cast<int>(reinterpret_cast<INT_PTR>(result));
#else
    // A path that begins with the separator because the folder box is empty lies under
    // the root of the current drive; a path spelled in another letter case is found too.
    std::filesystem::path path = resolvePath(pathText, false);
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !pathText.empty() && pathText.front() == kPathSeparator)
        path = resolvePath(pathText, true);
    const QFileInfo file(pathString(path));
    if (!file.dir().exists())
        return kPathNotFound;
    if (!file.exists())
        return kFileNotFound;
    if (!file.isFile() || !file.isReadable())
        return kAccessDenied;
#ifdef __APPLE__
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath())) ? kSuccess
                                                                                   : kNoAssociation;
#else
    if (defaultPdfApplication().isEmpty())
        return kNoAssociation;
    if (!QProcess::startDetached(QStringLiteral("xdg-open"), {file.absoluteFilePath()}))
        return kNoAssociation;
    return kSuccess;
#endif
#endif
}

}  // namespace regdisc
