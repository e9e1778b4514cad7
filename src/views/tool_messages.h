// What the tool windows say when a file cannot be read or written: in Chinese, with the
// reason the clerk can act on (no such folder, no permission, no room on the disk, the
// list's column names when the one asked for is missing).
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <string>

namespace regdisc {

// Free bytes of the file system that holds a folder; replaceable in tests.
using FreeSpace = std::function<std::int64_t(const QString &folder)>;
std::int64_t freeSpaceOf(const QString &folder);

// What stands in the way of writing `file` before anything is written: empty when
// nothing does (the output layer refuses an output that is an input).
QString outputObstacle(const QString &file);

// Why writing `file` failed with the writer's `error` (which may be English, from a
// library): a Chinese sentence naming the file and the reason.
QString outputFailure(const QString &file, const QString &error, const FreeSpace &freeSpace = freeSpaceOf);

// An error text of a tool as a window shows it: Chinese texts as they are; anything else
// (a library's English) replaced by a Chinese sentence that keeps what it named.
QString toolError(const QString &error, const QString &what);

// Whether a text carries Chinese characters.
bool isChinese(const QString &text);

}  // namespace regdisc
