// regdisc-cli holder: one holder across every register of the disc.
#include "cli/cli_progress.h"
#include "cli/commands.h"
#include "cli/tool_options.h"

#include "tools/batch.h"
#include "tools/holder_search.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>

namespace regdisc::cli {

namespace {

QJsonArray labelled(const std::vector<LabelledValue> &values)
{
    QJsonArray out;
    for (const LabelledValue &v : values)
        out.append(QJsonObject{{"label", qs(v.label)}, {"value", qs(v.value)}});
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

void printText(const std::vector<RegisterMatches> &results)
{
    for (const RegisterMatches &r : results) {
        QString head = QString::fromLatin1(r.spec->ext.data(), 3) + " " + qs(registerName(*r.spec)) + ": ";
        if (r.state != RegisterState::Present) {
            printLine(head + qs(stateText(r.state)));
            continue;
        }
        printLine(head +
                  (r.matches.empty() ? QString("無符合資料") : QString("%1 筆").arg(r.matches.size())));
        for (const HolderMatch &m : r.matches) {
            QString line = QString("  %1").arg(m.recordNo, 7);
            if (!m.party.empty())
                line += "  " + qs(m.party);
            line += "  帳號 " + qs(m.account) + "  戶名 " + qs(m.name) + "  統一編號 " + qs(m.id);
            if (!m.quantities.empty())
                line += "  " + joined(m.quantities);
            if (!m.dates.empty())
                line += "  " + joined(m.dates);
            printLine(line);
        }
        if (!r.message.empty())
            printLine("  " + qs(r.message));
    }
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
    if (query.input.empty())
        return usageError("the key is empty");
    query.exact = parser.isSet("exact");
    std::vector<const DataSetSpec *> dataSets;
    QString error;
    if (!parseRegisters(parser.values("registers"), dataSets, error))
        return usageError(error);

    Disc disc(tx(positional.at(1)));
    if (!openDisc(disc))
        return kSetupError;
    TerminalProgress progress;
    const std::vector<RegisterMatches> results = findHolder(disc, query, dataSets, progress);

    size_t found = 0;
    for (const RegisterMatches &r : results)
        found += r.matches.size();
    if (parser.isSet("json")) {
        QJsonArray registers;
        for (const RegisterMatches &r : results) {
            QJsonObject o = registerJson(*r.spec, r.state, r.message);
            QJsonArray matches;
            for (const HolderMatch &m : r.matches)
                matches.append(matchJson(m));
            o.insert("matches", matches);
            registers.append(o);
        }
        const QJsonObject out{{"key", QString::fromLatin1(keyClassName(query.keyClass))},
                              {"input", qs(query.input)},
                              {"exact", query.exact},
                              {"found", static_cast<qint64>(found)},
                              {"registers", registers}};
        printLine(QString::fromUtf8(QJsonDocument(out).toJson(QJsonDocument::Compact)));
    } else if (parser.isSet("csv")) {
        std::vector<HolderMatch> all;
        for (const RegisterMatches &r : results)
            all.insert(all.end(), r.matches.begin(), r.matches.end());
        std::vector<const DataSetSpec *> shown;
        for (const RegisterMatches &r : results)
            shown.push_back(r.spec);
        const auto columns = batchColumns(shown, disc.info().decimalFlag);
        auto writer = createCsvWriter(stdout);
        writer->beginTable("holder", u"全冊查詢", columns);
        writeMatchRows(*writer, columns, query.input, all);
        writer->endTable();
        writer->finish();
    } else {
        printText(results);
    }
    return found > 0 ? kSuccess : kLookupMessage;
}

}  // namespace regdisc::cli
