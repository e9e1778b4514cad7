#include "cli/tool_options.h"

#include <QRegularExpression>

namespace regdisc::cli {

bool openDisc(Disc &disc)
{
    if (disc.open())
        return true;
    StderrMessages().show({MessageKind::Plain, disc.error()});
    return false;
}

bool parseRegisters(const QStringList &exts, std::vector<const DataSetSpec *> &dataSets, QString &error)
{
    std::vector<std::string> names;
    for (const QString &arg : exts)
        for (const QString &ext : arg.split(',', Qt::SkipEmptyParts))
            names.push_back(ext.trimmed().toLower().toStdString());
    std::vector<std::string> unknown;
    dataSets = selectDataSets(names, &unknown);
    if (!unknown.empty()) {
        error = "unknown data set: " + QString::fromStdString(unknown.front());
        return false;
    }
    return true;
}

QJsonObject registerJson(const DataSetSpec &spec, RegisterState state, TextView message)
{
    QJsonObject o{
        {"register", QString::fromLatin1(spec.ext.data(), static_cast<qsizetype>(spec.ext.size()))},
        {"name", qs(registerName(spec))},
        {"state", QString::fromLatin1(stateName(state))},
    };
    if (!message.empty())
        o.insert("message", qs(message));
    return o;
}

bool parsePercent(const QString &text, int &hundredths)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,3})(?:\\.(\\d{1,2}))?$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    const QString fraction = (m.captured(2) + QStringLiteral("00")).left(2);
    hundredths = m.captured(1).toInt() * 100 + fraction.toInt();
    return hundredths > 0 && hundredths <= 10000;
}

}  // namespace regdisc::cli
