#include "cli/tool_options.h"

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

}  // namespace regdisc::cli
