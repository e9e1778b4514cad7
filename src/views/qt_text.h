// Text between the system's UTF-16 text and Qt's strings, and counts as the clerk reads them.
#pragma once

#include "platform/text.h"

#include <QLocale>
#include <QString>

#include <cstdint>

namespace regdisc {

inline QString qs(TextView text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}
inline Text tx(const QString &text)
{
    return text.toStdU16String();
}

// A count as the clerk reads it: 1,234,567.
inline QString groupedNumber(std::int64_t n)
{
    return QLocale(QLocale::Chinese, QLocale::Taiwan).toString(static_cast<qlonglong>(n));
}

}  // namespace regdisc
