// regdisc-cli holder: one holder across every register of the disc. The answer is written
// as it is found, register by register, so that memory does not grow with the matches.
#include "cli/cli_progress.h"
#include "cli/commands.h"
#include "cli/tool_options.h"

#include "tools/batch.h"
#include "tools/holder_search.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

namespace regdisc::cli {

namespace {

QJsonArray labelled(const std::vector<LabelledValue> &values)
{
    QJsonArray out;
    for (const LabelledValue &v : values) {
        QJsonObject o{{"label", qs(v.label)}, {"value", qs(v.value)}};
        // A quantity also as a number in shown units; null where the field holds none.
        if (v.isQuantity)
            o.insert("number", v.quantity.wellFormed ? QJsonValue(v.quantity.shown()) : QJsonValue());
        out.append(o);
    }
    return out;
}

QJsonObject matchJson(const HolderMatch &m)
{
    return QJsonObject{
        {"record", static_cast<qint64>(m.recordNo)},
        {"keyKind", m.keyKind},
        {"combo", qs(m.spec->keyKind(m.keyKind).caption)},
        {"party", qs(m.party)},
        {"account", qs(m.account)},
        {"name", qs(m.name)},
        {"id", qs(m.id)},
        {"quantities", labelled(m.quantities)},
        {"dates", labelled(m.dates)},
        {"recordDamaged", !m.followsLayout},
    };
}

QString joined(const std::vector<LabelledValue> &values)
{
    QStringList parts;
    for (const LabelledValue &v : values)
        if (!v.value.empty())
            parts << qs(v.label) + " " + qs(v.value);
    return parts.join("  ");
}

QString registerHead(const DataSetSpec &spec)
{
    return QString::fromLatin1(spec.ext.data(), static_cast<qsizetype>(spec.ext.size())) + " " +
           qs(registerName(spec)) + ": ";
}

const char *outcomeName(RegisterOutcome outcome)
{
    switch (outcome) {
    case RegisterOutcome::Found:
        return "found";
    case RegisterOutcome::None:
        return "none";
    case RegisterOutcome::Absent:
        return "absent";
    case RegisterOutcome::Unreadable:
        return "unreadable";
    }
    return "";
}

QString jsonValue(const QJsonValue &value)
{
    // An array of one holds the value; its brackets are cut away.
    const QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(text.mid(1, text.size() - 2));
}

QString jsonObjectBody(const QJsonObject &object)
{
    const QByteArray text = QJsonDocument(object).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(text.mid(1, text.size() - 2));
}

}  // namespace

int runHolder(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("folder", "the disc folder");
    parser.addOption({"id", "the ID number or its beginning", "id"});
    parser.addOption({"account", "the account or its beginning", "account"});
    parser.addOption({"name", "the name or its beginning", "name"});
    parser.addOption({"exact", "whole keys only"});
    parser.addOption({"registers", "only these data sets (psm,pla,...)", "list"});
    parser.addOption({"json", "one JSON object"});
    parser.addOption({"csv", "CSV rows on standard output"});
    if (const std::optional<int> status = parseArguments(parser, args))
        return *status;
    const QStringList positional = parser.positionalArguments();
    int keys = 0;
    HolderQuery query;
    for (const auto &[option, keyClass] :
         {std::pair{"id", KeyClass::Id}, std::pair{"account", KeyClass::Account},
          std::pair{"name", KeyClass::Name}})
        if (parser.isSet(option)) {
            ++keys;
            query.keyClass = keyClass;
            query.input = tx(parser.value(option));
        }
    if (positional.size() != 2 || keys != 1)
        return usageOf(args);
    if (parser.isSet("json") && parser.isSet("csv"))
        return usageError("--json and --csv exclude each other");
    if (clerkInput(query.keyClass, query.input).empty())
        return usageError("the key is empty");
    query.exact = parser.isSet("exact");
    std::vector<const DataSetSpec *> dataSets;
    QString error;
    if (!parseRegisters(parser.values("registers"), dataSets, error))
        return usageError(error);

    Disc disc(tx(positional.at(1)));
    if (!openDisc(disc))
        return kSetupError;
    const bool json = parser.isSet("json");
    const bool csv = parser.isSet("csv");

    // CSV: the batch table's rows, each match as it is found.
    std::vector<TableColumn> columns;
    std::unique_ptr<TableWriter> writer;
    if (csv) {
        columns = batchColumns(dataSets.empty() ? selectDataSets({}) : dataSets);
        writer = createCsvWriter(stdout);
        writer->beginTable("holder", u"全冊查詢", columns);
    }
    if (json)
        printJsonText("{\"key\":" + jsonValue(QString::fromLatin1(keyClassName(query.keyClass))) +
                          ",\"input\":" + jsonValue(qs(query.input)) +
                          ",\"exact\":" + (query.exact ? "true" : "false") + ",\"registers\":[",
                      false);
    std::int64_t found = 0;
    bool firstRegister = true;
    bool firstMatch = true;
    QStringList lines;  // a register's text lines, printed with its count above them
    std::vector<RegisterMatches> unreadable;
    const auto onMatch = [&](const HolderMatch &m) {
        ++found;
        if (csv) {
            writeMatchRow(*writer, columns, query.input, m);
        } else if (json) {
            if (firstMatch)
                printJsonText(QString(firstRegister ? "" : ",") + "{\"matches\":[", false);
            printJsonText((firstMatch ? "" : ",") +
                              QString::fromUtf8(QJsonDocument(matchJson(m)).toJson(QJsonDocument::Compact)),
                          false);
            firstMatch = false;
        } else {
            QString line = QString("  %1").arg(m.recordNo, 7);
            if (!m.party.empty())
                line += "  " + qs(m.party);
            line += "  帳號 " + qs(m.account) + "  戶名 " + qs(m.name) + "  統一編號 " + qs(m.id);
            if (!m.quantities.empty())
                line += "  " + joined(m.quantities);
            if (!m.dates.empty())
                line += "  " + joined(m.dates);
            if (!m.followsLayout)
                line += "  （記錄損壞，欄位可能錯位）";
            lines << line;
        }
    };
    const auto onRegister = [&](const RegisterMatches &r) {
        const RegisterOutcome outcome = outcomeOf(r);
        if (outcome == RegisterOutcome::Unreadable) {
            unreadable.push_back(r);
            StderrMessages().show({MessageKind::Plain, fromAscii(r.spec->ext) + u" " + registerName(*r.spec) +
                                                           u"：" + outcomeText(outcome) + u"：" + r.message});
        }
        if (json) {
            QJsonObject o = registerJson(*r.spec, r.state, r.message);
            o.insert("outcome", QString::fromLatin1(outcomeName(outcome)));
            o.insert("count", static_cast<qint64>(r.count));
            printJsonText((firstMatch ? QString(firstRegister ? "" : ",") + "{\"matches\":[" : QString()) +
                              "]," + jsonObjectBody(o) + "}",
                          false);
            firstMatch = true;
        } else if (!csv) {
            QString head = registerHead(*r.spec);
            if (outcome == RegisterOutcome::Absent || r.state == RegisterState::NoData)
                head += qs(stateText(r.state));
            else if (r.count > 0)
                head += QString("%1 筆").arg(r.count);
            else
                head += outcome == RegisterOutcome::Unreadable ? "無法讀取" : "無符合資料";
            printTextLine(tx(head));
            for (const QString &line : lines)
                printTextLine(tx(line));
            if (!r.message.empty())
                printTextLine(u"  " + (outcome == RegisterOutcome::Unreadable && r.count > 0
                                           ? u"無法讀取完整：" + r.message
                                           : r.message));
        }
        lines.clear();
        firstRegister = false;
    };
    TerminalProgress progress;
    findHolder(disc, query, dataSets, progress, onMatch, onRegister);

    if (csv) {
        for (const RegisterMatches &r : unreadable)
            writeUnreadableRow(*writer, columns, query.input, r);
        if (found == 0 && unreadable.empty())
            writeNotFoundRow(*writer, columns, query.input);
        writer->endTable();
        writer->finish();
    }
    if (json)
        printJsonText("],\"found\":" + QString::number(found) +
                          ",\"whole\":" + (unreadable.empty() ? "true" : "false") + "}",
                      true);
    // What could not be read is not "nothing found".
    if (!unreadable.empty())
        return kSetupError;
    return found > 0 ? kSuccess : kLookupMessage;
}

}  // namespace regdisc::cli
