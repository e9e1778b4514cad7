#include "views/desktop_opener.h"

#include "platform/paths.h"
#include "screens/document_opening.h"
#include "views/qt_text.h"

#include <QDir>
#include <QElapsedTimer>
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

using namespace OpenResult;

#ifndef _WIN32
namespace {

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

DesktopDocumentOpener::DesktopDocumentOpener(MessageSink *launchFailures,
                                             std::chrono::milliseconds launchWait)
    : launchFailures_(launchFailures), launchWait_(launchWait)
{
}

DesktopDocumentOpener::~DesktopDocumentOpener()
{
    // An xdg-open still waiting for its application goes; the application stays open.
    for (QProcess *process : launches_.findChildren<QProcess *>()) {
        process->disconnect();
        process->kill();
        process->waitForFinished(1000);
    }
}

int DesktopDocumentOpener::launchResult(int exitStatus, bool crashed)
{
    if (crashed)
        return kUnknownError;
    // The exit statuses of xdg-open.
    switch (exitStatus) {
    case 0:
        return kSuccess;
    case 2:  // the file does not exist
        return kFileNotFound;
    case 3:  // a required tool could not be found
        return kNoAssociation;
    case 4:  // the action failed: the application could not run or gave up at once
        return kAssociationIncomplete;
    case 5:  // no permission to read the file
        return kAccessDenied;
    default:
        return kUnknownError;
    }
}

int DesktopDocumentOpener::launchesRunning() const
{
    return static_cast<int>(launches_.findChildren<QProcess *>(Qt::FindDirectChildrenOnly).size());
}

bool DesktopDocumentOpener::launch(const QString &file)
{
    auto *process = new QProcess(&launches_);
    process->setProgram(QStringLiteral("xdg-open"));
    process->setArguments({file});
    // Nobody reads what the application writes: it must never fill a pipe and stall.
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer started;
    started.start();
    QObject::connect(process, &QProcess::finished, process,
                     [this, process, started](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         // Later than the wait the application had started: its end is
                         // none of the opener's business.
                         if (started.elapsed() > launchWait_.count() || !launchFailures_)
                             return;
                         const int code = launchResult(exitCode, status == QProcess::CrashExit);
                         if (!succeeded(code))
                             showOpenResult(code, *launchFailures_);
                     });
    process->start();
    if (!process->waitForStarted(10000)) {
        delete process;
        return false;
    }
    return true;
}

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
    if (!launch(file.absoluteFilePath()))
        return kNoAssociation;
    return kSuccess;
#endif
#endif
}

}  // namespace regdisc
