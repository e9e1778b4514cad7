// regdisc-cli query: one query screen's 查詢 and 次筆, message for message.
#include "cli/commands.h"

#include "datasets/catalogue.h"
#include "screens/main_menu_model.h"

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <memory>

namespace regdisc::cli {

namespace {

QJsonObject recordJson(const QueryScreenModel &screen)
{
    QJsonObject boxes;
    for (const std::string &name : screen.boxNames())
        boxes.insert(QString::fromStdString(name), qs(screen.box(name)));
    return QJsonObject{
        {"record", static_cast<qint64>(screen.recordShown())},
        {"boxes", boxes},
        {"counters", qs(screen.box("tx_o_pnt"))},
        {"next", screen.nextEnabled()},
        {"previous", screen.previousEnabled()},
        {"following", screen.followingEnabled()},
        {"input", qs(screen.inputText())},
        {"combo", qs(screen.comboText())},
    };
}

void printRecord(const QueryScreenModel &screen, bool json, bool first)
{
    if (json) {
        printJsonLine(recordJson(screen));
        return;
    }
    if (!first)
        printLine(QString());
    // The printout without its blank line and titles.
    const PrintedDocument doc = screen.printout();
    const size_t skip = 2 + screen.spec().print.titles.size();
    for (size_t i = skip; i < doc.lines.size(); ++i)
        printTextLine(plainText(doc.lines[i]));
}

}  // namespace

int runQuery(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("folder", "the disc folder");
    parser.addPositionalArgument("dataset", "the data set's extension (psm, pla, ...)");
    parser.addOption({"by",
                      "the combo caption, as typed into the combo (default: the screen's initial caption; "
                      "the captions are listed below)",
                      "caption"});
    parser.addOption({"key", "the text typed into the input box (at most 12 characters)", "text"});
    parser.addOption({"next", "press 次筆 N times after 查詢", "n"});
    parser.addOption({"all", "press 次筆 while it is enabled"});
    parser.addOption({"json", "print one JSON object per shown record"});
    if (const std::optional<int> status = parseArguments(parser, args))
        return *status;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 3)
        return usageOf(args);
    const DataSetSpec *spec = findDataSet(positional.at(2).toStdString());
    if (!spec)
        return usageError("unknown data set: " + positional.at(2));
    const QString key = parser.value("key");
    if (key.size() > QueryScreenModel::kInputMaxLength)
        return usageError("--key takes at most 12 characters");
    if (parser.isSet("next") && parser.isSet("all"))
        return usageError("--next and --all exclude each other");
    long steps = 0;
    if (parser.isSet("next")) {
        bool ok = false;
        steps = parser.value("next").toLong(&ok);
        if (!ok || steps < 0)
            return usageError("--next takes a whole number of 0 or more");
    }
    const bool all = parser.isSet("all");
    const bool json = parser.isSet("json");

    StderrMessages messages;
    MainMenuModel menu(messages, tx(positional.at(1)));
    if (!openFolder(menu))
        return kSetupError;
    std::unique_ptr<QueryScreenModel> screen = menu.openDataSet(*spec);
    if (!screen)
        return kSetupError;
    if (parser.isSet("by"))
        screen->typeCombo(tx(parser.value("by")));
    screen->typeInput(tx(key));
    if (screen->query() != LookupOutcome::Shown) {
        // A caption that is none of the combo's gets the screen's message; then the ones
        // it takes.
        const std::vector<Text> captions = screen->comboItems();
        if (parser.isSet("by") &&
            std::find(captions.begin(), captions.end(), tx(parser.value("by"))) == captions.end()) {
            QStringList list;
            for (const Text &caption : captions)
                list << qs(caption);
            usageError("--by takes one of: " + list.join(", "));
        }
        return kLookupMessage;
    }
    printRecord(*screen, json, true);
    for (long i = 0; all || i < steps; ++i) {
        if (!screen->nextEnabled())
            break;
        if (screen->next() != LookupOutcome::Shown)
            return kLookupMessage;
        printRecord(*screen, json, false);
    }
    screen->close();
    return kSuccess;
}

}  // namespace regdisc::cli
