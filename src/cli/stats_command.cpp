// regdisc-cli stats: the annual report's shareholding tables of the holder register.
#include "cli/cli_progress.h"
#include "cli/commands.h"
#include "cli/tool_options.h"

#include "datasets/catalogue.h"
#include "tools/stats_report.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>

namespace regdisc::cli {

namespace {

double sharesValue(std::int64_t units, int decimals)
{
    return decimals == 2 ? static_cast<double>(units) / 100.0 : static_cast<double>(units);
}

const char *kindName(int kind)
{
    static const char *names[] = {"natural", "legal", "other"};
    return names[kind];
}

QJsonArray recordNumbers(const std::vector<std::int64_t> &first)
{
    QJsonArray out;
    for (std::int64_t n : first)
        out.append(static_cast<qint64>(n));
    return out;
}

QJsonArray breakdownJson(const std::vector<BreakdownRow> &rows, int decimals)
{
    QJsonArray out;
    for (const BreakdownRow &row : rows)
        out.append(QJsonObject{{"name", qs(row.label)},
                               {"holders", static_cast<qint64>(row.holders)},
                               {"holdersPercent", row.holdersPercent / 100.0},
                               {"shares", sharesValue(row.shares, decimals)},
                               {"sharesPercent", row.sharesPercent / 100.0}});
    return out;
}

QJsonObject statsJson(const HolderStats &stats, const StatsReport &report, const DiscInfo &info, bool showId)
{
    const int d = stats.decimals;
    QJsonArray distribution;
    for (int level = 0; level < kLevels; ++level) {
        const LevelRow &row = stats.levels[static_cast<size_t>(level)];
        distribution.append(QJsonObject{{"level", qs(levelLabel(level))},
                                        {"holders", static_cast<qint64>(row.holders)},
                                        {"shares", sharesValue(row.shares, d)},
                                        {"percent", row.percent / 100.0}});
    }
    QJsonArray structure;
    for (size_t t = 0; t < stats.types.size(); ++t)
        for (int k = 0; k < kHolderKinds; ++k) {
            const StructureCell &c = stats.structure[t][static_cast<size_t>(k)];
            structure.append(QJsonObject{{"holderType", qs(stats.types[t].code)},
                                         {"caption", qs(stats.types[t].caption)},
                                         {"kind", QString::fromLatin1(kindName(k))},
                                         {"holders", static_cast<qint64>(c.holders)},
                                         {"shares", sharesValue(c.shares, d)},
                                         {"percent", c.percent / 100.0}});
        }
    QJsonArray principal;
    for (const PrincipalHolder &p : stats.principal)
        principal.append(QJsonObject{{"rank", p.rank},
                                     {"name", qs(p.name)},
                                     {"id", qs(showId ? p.id : maskId(p.id))},
                                     {"account", qs(p.account)},
                                     {"shares", sharesValue(p.shares, d)},
                                     {"percent", p.percent / 100.0}});
    QJsonArray mismatches;
    for (const TotalMismatch &m : stats.firstMismatches)
        mismatches.append(QJsonObject{{"id", qs(showId ? m.id : maskId(m.id))},
                                      {"account", qs(m.account)},
                                      {"sum", sharesValue(m.sum, d)},
                                      {"stored", sharesValue(m.stored, d)}});
    QJsonArray notes;
    for (const Text &line : report.summary)
        notes.append(qs(line));
    for (const StatsTable &t : report.tables)
        for (const Text &line : t.notes)
            notes.append(qs(t.title + u"：" + line));
    return QJsonObject{
        {"securityName", qs(info.securityName)},
        {"dataDate", qs(info.dataDate)},
        {"decimalFlag", qs(info.decimalFlag)},
        {"records", static_cast<qint64>(stats.records)},
        {"holders", static_cast<qint64>(stats.holders)},
        {"totalShares", sharesValue(stats.totalShares, d)},
        {"zeroHolders", static_cast<qint64>(stats.zeroHolders)},
        {"negativeHolders", static_cast<qint64>(stats.negativeHolders)},
        {"distribution", distribution},
        {"structure", structure},
        {"principal", principal},
        {"county", breakdownJson(stats.byCounty, d)},
        {"age", breakdownJson(stats.byAge, d)},
        {"nationality", breakdownJson(stats.byNationality, d)},
        {"quality", QJsonObject{{"recordsByAccount", static_cast<qint64>(stats.recordsByAccount)},
                                {"totalMismatches", static_cast<qint64>(stats.totalMismatches)},
                                {"firstMismatches", mismatches},
                                {"typeConflicts", static_cast<qint64>(stats.typeConflicts)},
                                {"undecodableRecords", static_cast<qint64>(stats.undecodableRecords)},
                                {"damagedRecords", static_cast<qint64>(stats.damagedRecords)},
                                {"firstDamaged", recordNumbers(stats.firstDamaged)},
                                {"malformedRecords", static_cast<qint64>(stats.malformedRecords)},
                                {"firstMalformed", recordNumbers(stats.firstMalformed)},
                                {"trailingBytes", static_cast<qint64>(stats.trailingBytes)},
                                {"saturated", stats.saturated}}},
        {"notes", notes},
    };
}

}  // namespace

int runStats(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("folder", "the disc folder");
    parser.addOption({"top", "list the N largest holders (default 10)", "N", "10"});
    parser.addOption({"percent", "and every holder with at least P percent (default 5)", "P", "5"});
    parser.addOption({"show-id", "show ID numbers whole instead of A12****789"});
    parser.addOption({"json", "one JSON object"});
    parser.addOption({"csv", "write the tables as CSV files OUT_<table>.csv", "OUT"});
    parser.addOption({"xlsx", "write the tables as one XLSX workbook", "OUT"});
    addForceOption(parser);
    if (const std::optional<int> status = parseArguments(parser, args))
        return *status;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2)
        return usageOf(args);
    if (int(parser.isSet("json")) + int(parser.isSet("csv")) + int(parser.isSet("xlsx")) > 1)
        return usageError("--json, --csv and --xlsx exclude each other");
    StatsOptions options;
    bool ok = false;
    options.top = parser.value("top").toInt(&ok);
    if (!ok || options.top < 0 || options.top > 100000)
        return usageError("--top takes a whole number from 0 to 100000");
    if (!parsePercent(parser.value("percent"), options.percentHundredths))
        return usageError("--percent takes a number above 0 and at most 100, with at most two decimals");
    const bool showId = parser.isSet("show-id");

    Disc disc(tx(positional.at(1)));
    if (!openDisc(disc))
        return kSetupError;
    TerminalProgress progress;
    // The files are made before the register is counted: one that cannot be written is
    // known at once.
    std::unique_ptr<TableWriter> writer;
    if (parser.isSet("csv") || parser.isSet("xlsx")) {
        const bool csv = parser.isSet("csv");
        const std::filesystem::path out = pathArgument(parser.value(csv ? "csv" : "xlsx"));
        try {
            const OutputOptions output = outputOptions(parser, disc, &progress);
            writer = csv ? createCsvWriter(out, statsTableNames(), output) : createXlsxWriter(out, output);
        } catch (const OutputError &e) {
            return outputFailure(e);
        }
    }
    const HolderStats stats = computeHolderStats(disc, options, progress);
    if (stats.state != RegisterState::Present) {
        progress.end();
        StderrMessages().show(
            {MessageKind::Plain, u"psm " + registerName(psmDataSet()) + u"：" + stateText(stats.state) +
                                     (stats.message.empty() ? Text() : u"：" + stats.message)});
        return kSetupError;
    }
    const StatsReport report = statsReport(stats, disc.info(), options, showId);

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
        printLine(QString::fromUtf8(
            QJsonDocument(statsJson(stats, report, disc.info(), showId)).toJson(QJsonDocument::Compact)));
        return kSuccess;
    }
    for (const Text &line : statsReportLines(report))
        printTextLine(line);
    return kSuccess;
}

}  // namespace regdisc::cli
