#include "views/tool_messages.h"

#include "platform/codepage.h"
#include "tools/batch.h"
#include "views/view_support.h"

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
// The list reader's bound on a list file.
constexpr qint64 kMaxListBytes = qint64(256) << 20;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// The first line of a CSV list as the list reader decodes it: UTF-8 (a byte-order mark
// aside), otherwise code page 950.
std::optional<QStringList> csvHeading(const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = in.read(1 << 20);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = qs(decodeCp950(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))));
    const std::vector<std::vector<Text>> rows = parseCsv(tx(text));
    QStringList names;
    if (!rows.empty())
        for (const Text &name : rows.front())
            names << qs(name).trimmed();
    return names;
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

QString outputObstacle(const QString &file, const QStringList &inputs)
{
    const QFileInfo target(file);
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists())
        return QStringLiteral("資料夾不存在：") + shown(folder.absoluteFilePath());
    if (!folder.isDir())
        return QStringLiteral("「") + shown(folder.absoluteFilePath()) + QStringLiteral("」不是資料夾。");
    if (target.isDir())
        return QStringLiteral("「") + shown(file) + QStringLiteral("」是資料夾，不是檔案。");
    for (const QString &input : inputs) {
        const QFileInfo in(input);
        if (!input.isEmpty() && in.exists() && target.exists() &&
            in.canonicalFilePath() == target.canonicalFilePath())
            return QStringLiteral("結果檔不可與讀入的檔案相同：") + shown(file);
    }
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

QString listFailure(const QString &file, const QString &column, const std::string &error)
{
    const QFileInfo list(file);
    if (file.isEmpty())
        return QStringLiteral("請選擇名單檔。");
    if (!list.exists())
        return QStringLiteral("找不到名單檔：") + shown(file);
    if (list.isDir())
        return QStringLiteral("「") + shown(file) + QStringLiteral("」是資料夾，不是名單檔。");
    if (!list.isReadable())
        return QStringLiteral("沒有權限讀取名單檔：") + shown(file);
    if (list.size() > kMaxListBytes)
        return QStringLiteral("名單檔過大（超過 256 MB）：") + shown(file);
    if (!column.trimmed().isEmpty() &&
        list.suffix().compare(QStringLiteral("csv"), Qt::CaseInsensitive) == 0) {
        const std::optional<QStringList> heading = csvHeading(file);
        if (heading && !heading->contains(column.trimmed())) {
            if (heading->isEmpty())
                return QStringLiteral("名單檔是空的，沒有「") + column.trimmed() + QStringLiteral("」欄：") +
                       shown(file);
            return QStringLiteral("名單檔的第一列沒有「") + column.trimmed() +
                   QStringLiteral("」欄；第一列的欄名是：") + heading->join(QStringLiteral("、")) +
                   QStringLiteral("。");
        }
    }
    const QString given = QString::fromStdString(error);
    if (isChinese(given))
        return given;
    return QStringLiteral("無法讀取名單檔：") + shown(file);
}

QString toolError(const QString &error, const QString &what)
{
    if (isChinese(error))
        return error;
    return what + QStringLiteral("時發生錯誤，工作沒有完成。");
}

}  // namespace regdisc
