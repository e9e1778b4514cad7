#include "views/tool_messages.h"

#include "platform/codepage.h"
#include "tools/batch.h"
#include "views/qt_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QStringDecoder>
#include <QStringList>

namespace regdisc {

namespace {

// Less room than this left on the disk after a failed write: the disk is full.
constexpr std::int64_t kNearlyFull = 16 << 20;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

}  // namespace

bool isChinese(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x3000 && c.unicode() < 0xFFF0)
            return true;
    return false;
}

std::int64_t freeSpaceOf(const QString &folder)
{
    const QStorageInfo storage(folder);
    return storage.isValid() ? storage.bytesAvailable() : -1;
}

QString outputObstacle(const QString &file)
{
    const QFileInfo target(file);
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists())
        return QStringLiteral("資料夾不存在：") + shown(folder.absoluteFilePath());
    if (!folder.isDir())
        return QStringLiteral("「") + shown(folder.absoluteFilePath()) + QStringLiteral("」不是資料夾。");
    if (target.isDir())
        return QStringLiteral("「") + shown(file) + QStringLiteral("」是資料夾，不是檔案。");
    if (!folder.isWritable())
        return QStringLiteral("沒有權限在資料夾 ") + shown(folder.absoluteFilePath()) +
               QStringLiteral(" 建立檔案。");
    if (target.exists() && !target.isWritable())
        return QStringLiteral("沒有權限覆寫檔案：") + shown(file);
    return {};
}

QString outputFailure(const QString &file, const QString &error, const FreeSpace &freeSpace)
{
    const QString obstacle = outputObstacle(file);
    if (!obstacle.isEmpty())
        return QStringLiteral("無法寫入 ") + shown(file) + QStringLiteral("：") + obstacle;
    const QString folder = QFileInfo(file).absolutePath();
    const std::int64_t free = freeSpace ? freeSpace(folder) : -1;
    if (free >= 0 && free < kNearlyFull)
        return QStringLiteral("磁碟空間不足，無法寫完 ") + shown(file) + QStringLiteral("（") +
               QDir::toNativeSeparators(folder) + QStringLiteral(" 所在的磁碟只剩 ") +
               groupedNumber(free / 1024) + QStringLiteral(" KB）。");
    if (isChinese(error))
        return error;
    return QStringLiteral("無法寫入 ") + shown(file) + QStringLiteral("：寫入時發生錯誤，檔案沒有寫完。");
}

QString toolError(const QString &error, const QString &what)
{
    if (isChinese(error))
        return error;
    return what + QStringLiteral("時發生錯誤，工作沒有完成。");
}

}  // namespace regdisc
