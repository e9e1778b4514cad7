// regdisc-cli batch: a list of ID numbers, accounts or names looked up in every register.
#include "cli/cli_progress.h"
#include "cli/commands.h"
#include "cli/tool_options.h"

#include "tools/batch.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

namespace regdisc::cli {

int runBatch(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("folder", "the disc folder");
    parser.addPositionalArgument("list", "LIST.txt (one value a line) or LIST.csv");
    parser.addOption({"by", "what the list holds: id (default), account or name", "key"});
    parser.addOption({"column",
                      "the CSV column that holds the values, by its heading in the first row (default: the "
                      "first column; with --no-header, by its number from 1)",
                      "name"});
    parser.addOption({"no-header", "the CSV list's first row holds values, not headings"});
    parser.addOption({"prefix", "match keys that begin with a value, not only whole keys"});
    parser.addOption({"registers", "only these data sets (psm,pla,...)", "list"});
    parser.addOption({"out", "RESULT.csv, RESULT.xlsx or RESULT.sqlite", "file"});
    addForceOption(parser);
    parser.addOption({"json", "print the summary as JSON"});
    if (const std::optional<int> status = parseArguments(parser, args))
        return *status;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 3 || !parser.isSet("out"))
        return usageOf(args);
    BatchOptions options;
    if (parser.isSet("by") && !parseKeyClass(parser.value("by").toStdString(), options.keyClass))
        return usageError("--by takes id, account or name");
    options.prefix = parser.isSet("prefix");
    QString error;
    if (!parseRegisters(parser.values("registers"), options.dataSets, error))
        return usageError(error);
    const std::filesystem::path out = pathArgument(parser.value("out"));
    const std::optional<OutputFormat> format = outputFormatOf(out);
    if (!format)
        return usageError("--out must end in .csv, .xlsx or .sqlite");
    Text listError;
    const ListOptions listOptions{parser.value("column").toStdString(), parser.isSet("no-header")};
    const auto inputs = readInputList(positional.at(2).toStdString(), listOptions, listError);
    if (!inputs) {
        StderrMessages().show({MessageKind::Plain, listError});
        return kSetupError;
    }

    Disc disc(tx(positional.at(1)));
    if (!openDisc(disc))
        return kSetupError;
    BatchSummary summary;
    try {
        TerminalProgress progress;
        auto writer =
            createTableWriter(*format, out, {"batch"},
                              outputOptions(parser, disc, &progress, {pathArgument(positional.at(2))}));
        summary = runBatch(disc, *inputs, options, *writer, progress);
    } catch (const OutputError &e) {
        return outputFailure(e);
    }

    // Every register that could not be read, on standard error whatever the output.
    QJsonArray registers;
    for (const RegisterMatches &r : summary.registers) {
        registers.append(registerJson(*r.spec, r.state, r.message));
        if (r.state == RegisterState::Unreadable)
            StderrMessages().show({MessageKind::Plain, fromAscii(r.spec->ext) + u" " + registerName(*r.spec) +
                                                           u"：無法讀取：" + r.message});
    }
    if (parser.isSet("json")) {
        const QJsonObject o{
            {"inputs", static_cast<qint64>(summary.inputs)},
            {"found", static_cast<qint64>(summary.found)},
            {"notFound", static_cast<qint64>(summary.inputs - summary.found - summary.unknown)},
            {"unknown", static_cast<qint64>(summary.unknown)},
            {"whole", summary.whole()},
            {"rows", static_cast<qint64>(summary.rows)},
            {"out", QString::fromStdString(out.string())},
            {"registers", registers}};
        printLine(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)));
    } else {
        QString line = QString("%1 inputs, %2 found, %3 not found")
                           .arg(summary.inputs)
                           .arg(summary.found)
                           .arg(summary.inputs - summary.found - summary.unknown);
        if (summary.unknown > 0)
            line += QString(", %1 unknown (a register could not be read)").arg(summary.unknown);
        printTextLine(tx(
            line + QString(", %1 rows -> %2").arg(summary.rows).arg(QString::fromStdString(out.string()))));
    }
    return summary.whole() ? kSuccess : kSetupError;
}

}  // namespace regdisc::cli
