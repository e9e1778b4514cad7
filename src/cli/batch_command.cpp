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
    parser.addOption({"column", "the CSV column that holds the values (default: the first)", "name"});
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
    std::string listError;
    const auto inputs =
        readInputList(positional.at(2).toStdString(), parser.value("column").toStdString(), listError);
    if (!inputs)
        return usageError(QString::fromStdString(listError));

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

    QJsonArray registers;
    for (const RegisterMatches &r : summary.registers) {
        registers.append(registerJson(*r.spec, r.state, r.message));
        if (!parser.isSet("json") && (r.state != RegisterState::Present || !r.message.empty()))
            std::fprintf(stderr, "%s %s: %s\n", std::string(r.spec->ext).c_str(),
                         toUtf8(registerName(*r.spec)).c_str(),
                         toUtf8(r.message.empty() ? stateText(r.state) : r.message).c_str());
    }
    if (parser.isSet("json")) {
        const QJsonObject o{{"inputs", static_cast<qint64>(summary.inputs)},
                            {"found", static_cast<qint64>(summary.found)},
                            {"notFound", static_cast<qint64>(summary.inputs - summary.found)},
                            {"rows", static_cast<qint64>(summary.rows)},
                            {"out", QString::fromStdString(out.string())},
                            {"registers", registers}};
        printLine(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)));
    } else {
        printLine(QString("%1 inputs, %2 found, %3 not found, %4 rows -> %5")
                      .arg(summary.inputs)
                      .arg(summary.found)
                      .arg(summary.inputs - summary.found)
                      .arg(summary.rows)
                      .arg(QString::fromStdString(out.string())));
    }
    return kSuccess;
}

}  // namespace regdisc::cli
