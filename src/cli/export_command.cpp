// regdisc-cli export: registers written as CSV, XLSX or SQLite.
#include "cli/cli_progress.h"
#include "cli/commands.h"
#include "cli/tool_options.h"

#include "tools/export.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>

namespace regdisc::cli {

int runExport(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("folder", "the disc folder");
    parser.addPositionalArgument("dataset", "data sets to export (default: all)", "[DATASET...]");
    parser.addOption(
        {"out", "FILE.csv, FILE.xlsx or FILE.sqlite; CSV of several data sets: FILE_<ext>.csv each", "file"});
    addForceOption(parser);
    parser.addOption({"json", "print the summary as JSON"});
    if (const std::optional<int> status = parseArguments(parser, args))
        return *status;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() < 2 || !parser.isSet("out"))
        return usageOf(args);
    std::vector<const DataSetSpec *> dataSets;
    QString error;
    if (!parseRegisters(positional.mid(2), dataSets, error))
        return usageError(error);
    const std::filesystem::path out = pathArgument(parser.value("out"));
    const std::optional<OutputFormat> format = outputFormatOf(out);
    if (!format)
        return usageError("--out must end in .csv, .xlsx or .sqlite");

    Disc disc(tx(positional.at(1)));
    if (!openDisc(disc))
        return kSetupError;
    ExportSummary summary;
    try {
        TerminalProgress progress;
        std::vector<std::string> tables;
        for (const DataSetSpec *spec : dataSets)
            tables.emplace_back(spec->ext);
        auto writer = createTableWriter(*format, out, tables, outputOptions(parser, disc, &progress));
        summary = exportRegisters(disc, dataSets, *writer, progress);
    } catch (const OutputError &e) {
        return outputFailure(e);
    }

    QJsonArray registers;
    const auto numbers = [](const std::vector<std::int64_t> &first) {
        QJsonArray out;
        for (std::int64_t n : first)
            out.append(static_cast<qint64>(n));
        return out;
    };
    for (const RegisterExport &r : summary.registers) {
        if (!r.message.empty())
            StderrMessages().show({MessageKind::Plain, fromAscii(r.spec->ext) + u" " + registerName(*r.spec) +
                                                           u"：" + r.message});
        QJsonObject o = registerJson(*r.spec, r.state, r.message);
        o.insert("records", static_cast<qint64>(r.records));
        o.insert("undecodable", static_cast<qint64>(r.undecodable));
        o.insert("undecodableRecords", static_cast<qint64>(r.undecodableRecords));
        o.insert("damagedRecords", static_cast<qint64>(r.damagedRecords));
        o.insert("firstDamaged", numbers(r.firstDamaged));
        o.insert("malformedQuantities", static_cast<qint64>(r.malformedQuantities));
        o.insert("firstMalformed", numbers(r.firstMalformed));
        o.insert("beyondIndex", static_cast<qint64>(r.beyondIndex));
        o.insert("trailingBytes", static_cast<qint64>(r.trailingBytes));
        registers.append(o);
        if (parser.isSet("json"))
            continue;
        QString line = QString::fromLatin1(r.spec->ext.data(), 3) + " " + qs(registerName(*r.spec)) + ": ";
        if (r.state != RegisterState::Present)
            line += qs(stateText(r.state));
        else
            line += QString("%1 筆").arg(r.records);
        if (r.undecodable > 0)
            line += QString("，無法解碼的字元 %1 個（%2 筆，以 U+FFFD 表示）")
                        .arg(r.undecodable)
                        .arg(r.undecodableRecords);
        if (r.damagedRecords > 0)
            line += QString("，記錄損壞（欄位錯位）%1 筆，已在說明欄標示").arg(r.damagedRecords);
        if (r.malformedQuantities > 0)
            line += QString("，不是整數的數量 %1 個，以文字匯出").arg(r.malformedQuantities);
        if (r.trailingBytes > 0)
            line += QString("，檔尾多出 %1 位元組未匯出").arg(r.trailingBytes);
        printTextLine(tx(line));
    }
    QJsonArray files;
    for (const auto &f : summary.files)
        files.append(QString::fromStdString(f.string()));
    if (parser.isSet("json"))
        printLine(QString::fromUtf8(QJsonDocument(QJsonObject{{"registers", registers}, {"files", files}})
                                        .toJson(QJsonDocument::Compact)));
    else
        for (const auto &f : summary.files)
            printLine("-> " + QString::fromStdString(f.string()));
    return summary.whole() ? kSuccess : kSetupError;
}

}  // namespace regdisc::cli
