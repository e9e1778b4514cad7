#include "cli/tool_options.h"

#include <QCommandLineParser>
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

std::filesystem::path pathArgument(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

void addForceOption(QCommandLineParser &parser)
{
    parser.addOption({"force", "replace a file that is there (without it, an existing file is an error)"});
}

OutputOptions outputOptions(const QCommandLineParser &parser, const Disc &disc, Progress *progress,
                            std::vector<std::filesystem::path> inputs)
{
    OutputOptions options;
    options.replace = parser.isSet("force");
    options.inputs = std::move(inputs);
    for (const std::filesystem::path &folder : discFolders(disc.folderText()))
        options.inputs.push_back(folder);
    options.progress = progress;
    return options;
}

int outputFailure(const OutputError &error)
{
    QString text = QString::fromUtf8(error.what());
    if (error.kind == OutputError::Kind::Exists)
        text += "（加上 --force 才會取代）";
    return usageError(text);
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
