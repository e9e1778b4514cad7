// regdisc-cli compare: two book closures of one security, the older disc first.
#include "cli/cli_progress.h"
#include "cli/commands.h"
#include "cli/tool_options.h"

#include "tools/compare_report.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>

namespace regdisc::cli {

namespace {

double shown(std::int64_t units, int decimals)
{
    return decimals == 2 ? static_cast<double>(units) / 100.0 : static_cast<double>(units);
}

QJsonObject discJson(const Disc &disc, const HolderStats &stats, std::int64_t total, int decimals)
{
    return QJsonObject{{"folder", qs(disc.folderText())},
                       {"baseName", qs(disc.info().baseName)},
                       {"securityName", qs(disc.info().securityName)},
                       {"dataDate", qs(disc.info().dataDate)},
                       {"decimalFlag", qs(disc.info().decimalFlag)},
                       {"records", static_cast<qint64>(stats.records)},
                       {"holders", static_cast<qint64>(stats.holders)},
                       {"totalShares", shown(total, decimals)}};
}

QJsonArray holdersJson(const std::vector<HolderChange> &holders, int decimals, bool showId, bool direction)
{
    QJsonArray out;
    for (const HolderChange &h : holders) {
        QJsonObject o{{"id", qs(shownId(h, showId))},
                      {"name", qs(h.name)},
                      {"account", qs(h.account)},
                      {"old", shown(h.oldShares, decimals)},
                      {"new", shown(h.newShares, decimals)},
                      {"change", shown(h.change(), decimals)},
                      {"oldPercent", h.oldPercent / 100.0},
                      {"newPercent", h.newPercent / 100.0}};
        if (direction)
            o.insert("direction", h.change() > 0 ? "up" : "down");
        else
            o.insert("rank", h.rank);
        out.append(o);
    }
    return out;
}

// A table's rows as objects keyed by the columns' ASCII names, numbers as numbers.
QJsonArray tableJson(const StatsTable &table)
{
    QJsonArray out;
    for (const std::vector<Cell> &row : table.rows) {
        QJsonObject o;
        for (size_t i = 0; i < row.size() && i < table.columns.size(); ++i) {
            const QString key = QString::fromStdString(table.columns[i].name);
            if (row[i].isNumber)
                o.insert(key, row[i].number);
            else
                o.insert(key, qs(row[i].text));
        }
        out.append(o);
    }
    return out;
}

QJsonObject compareJson(const RegisterComparison &c, const StatsReport &report, const Disc &older,
                        const Disc &newer, bool showId)
{
    const int d = c.decimals;
    QJsonObject movement;
    for (int m = 0; m < kMovements; ++m) {
        const MovementRow &row = c.movement[static_cast<size_t>(m)];
        movement.insert(
            QLatin1String(movementName(static_cast<Movement>(m))),
            QJsonObject{{"holders", static_cast<qint64>(row.holders)}, {"shares", shown(row.shares, d)}});
    }
    QJsonObject o{
        {"older", discJson(older, c.older, c.olderTotal, d)},
        {"newer", discJson(newer, c.newer, c.newerTotal, d)},
        {"movement", movement},
        {"holdersChange", static_cast<qint64>(c.newerHolders - c.olderHolders)},
        {"totalSharesChange", shown(c.newerTotal - c.olderTotal, d)},
        {"percent", c.options.percentHundredths / 100.0},
        {"buyers", holdersJson(c.buyers, d, showId, false)},
        {"sellers", holdersJson(c.sellers, d, showId, false)},
        {"crossings", holdersJson(c.crossings, d, showId, true)},
    };
    for (const StatsTable &t : report.tables)
        if (t.name == "distribution" || t.name == "structure" || t.name == "county" || t.name == "age" ||
            t.name == "nationality")
            o.insert(QString::fromStdString(t.name), tableJson(t));
    QJsonArray notes;
    for (const Text &line : report.summary)
        notes.append(qs(line));
    for (const StatsTable &t : report.tables)
        for (const Text &line : t.notes)
            notes.append(qs(t.title + u"：" + line));
    o.insert("notes", notes);
    return o;
}

}  // namespace

int runCompare(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("old", "the older disc's folder");
    parser.addPositionalArgument("new", "the newer disc's folder, of the same security");
    parser.addOption({"top", "list the N largest net buyers and sellers (default 10)", "N", "10"});
    parser.addOption({"percent", "and every holder whose holding crosses P percent (default 5)", "P", "5"});
    parser.addOption({"show-id", "show ID numbers whole instead of A12****789"});
    parser.addOption({"json", "one JSON object"});
    parser.addOption({"csv", "write the tables as CSV files OUT_<table>.csv", "OUT"});
    parser.addOption({"xlsx", "write the tables as one XLSX workbook", "OUT"});
    addForceOption(parser);
    if (const std::optional<int> status = parseArguments(parser, args))
        return *status;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 3)
        return usageOf(args);
    if (int(parser.isSet("json")) + int(parser.isSet("csv")) + int(parser.isSet("xlsx")) > 1)
        return usageError("--json, --csv and --xlsx exclude each other");
    CompareOptions options;
    bool ok = false;
    options.top = parser.value("top").toInt(&ok);
    if (!ok || options.top < 0 || options.top > 100000)
        return usageError("--top takes a whole number from 0 to 100000");
    if (!parsePercent(parser.value("percent"), options.percentHundredths))
        return usageError("--percent takes a number above 0 and at most 100, with at most two decimals");
    const bool showId = parser.isSet("show-id");

    Disc older(tx(positional.at(1))), newer(tx(positional.at(2)));
    if (!openDisc(older) || !openDisc(newer))
        return kSetupError;
    TerminalProgress progress;
    // The files are made before the registers are read: one that cannot be written is
    // known at once. Both discs are inputs.
    std::unique_ptr<TableWriter> writer;
    if (parser.isSet("csv") || parser.isSet("xlsx")) {
        const bool csv = parser.isSet("csv");
        const std::filesystem::path out = pathArgument(parser.value(csv ? "csv" : "xlsx"));
        try {
            OutputOptions output = outputOptions(parser, newer, &progress);
            for (const std::filesystem::path &folder : discFolders(older.folderText()))
                output.inputs.push_back(folder);
            writer = csv ? createCsvWriter(out, compareTableNames(), output) : createXlsxWriter(out, output);
        } catch (const OutputError &e) {
            return outputFailure(e);
        }
    }
    const RegisterComparison comparison = compareRegisters(older, newer, options, progress);
    if (!comparison.refusal.empty()) {
        progress.end();
        StderrMessages().show({MessageKind::Plain, comparison.refusal});
        return kSetupError;
    }
    const StatsReport report = compareReport(comparison, showId);

    if (writer) {
        try {
            writeStatsReport(report, *writer);
        } catch (const OutputError &e) {
            progress.end();
            return outputFailure(e);
        }
        progress.end();
        for (const auto &f : writer->files())
            printLine("-> " + QString::fromStdString(f.string()));
        return kSuccess;
    }
    progress.end();
    if (parser.isSet("json")) {
        printJsonLine(compareJson(comparison, report, older, newer, showId));
        return kSuccess;
    }
    for (const Text &line : statsReportLines(report))
        printTextLine(line);
    return kSuccess;
}

}  // namespace regdisc::cli
