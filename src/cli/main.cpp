// regdisc-cli: the core without a window, for scripts, batch work and tests. It drives the
// same screen models as the desktop application, message for message.
#include "datasets/catalogue.h"
#include "pdfcopy/pdf_copies.h"
#include "screens/main_menu_model.h"
#include "writer/disc_writer.h"
#include "writer/sample_disc.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string_view>

using namespace regdisc;

namespace {

enum ExitStatus { kSuccess = 0, kLookupMessage = 1, kSetupError = 2 };

QString qs(TextView text)
{
    return QString::fromStdU16String(Text(text));
}
Text tx(const QString &s)
{
    return s.toStdU16String();
}

void printLine(const QString &line)
{
    const QByteArray utf8 = line.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stdout);
    std::fputc('\n', stdout);
}

// Every message a screen would show goes to standard error as its exact text.
class StderrMessages : public MessageSink {
public:
    void show(const Message &message) override
    {
        const QByteArray utf8 = qs(message.text).toUtf8();
        std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stderr);
        std::fputc('\n', stderr);
        std::fflush(stderr);
    }
};

int usageError(const QString &text)
{
    std::fprintf(stderr, "regdisc-cli: %s\n", text.toUtf8().constData());
    return kSetupError;
}

// The folder check and the disc-information read, as the main menu makes them when the
// folder box is left.
bool openFolder(MainMenuModel &menu)
{
    return menu.checkDataFolder(menu.folderText()) && !menu.readFailed();
}

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
        printLine(QString::fromUtf8(QJsonDocument(recordJson(screen)).toJson(QJsonDocument::Compact)));
        return;
    }
    if (!first)
        printLine(QString());
    // The printout without its blank line and titles.
    const PrintedDocument doc = screen.printout();
    const size_t skip = 2 + screen.spec().print.titles.size();
    for (size_t i = skip; i < doc.lines.size(); ++i)
        printLine(qs(plainText(doc.lines[i])));
}

int runInfo(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("command", "info");
    parser.addPositionalArgument("folder", "the disc folder");
    parser.addOption({"json", "print JSON"});
    if (!parser.parse(args))
        return usageError(parser.errorText());
    if (parser.positionalArguments().size() != 2)
        return usageError("usage: regdisc-cli info FOLDER [--json]");
    StderrMessages messages;
    MainMenuModel menu(messages, tx(parser.positionalArguments().at(1)));
    if (!openFolder(menu))
        return kSetupError;
    const DiscInfo &info = menu.discInfo();
    const std::pair<const char *, const Text *> values[] = {
        {"baseName", &info.baseName},
        {"securityName", &info.securityName},
        {"dataDate", &info.dataDate},
        {"decimalFlag", &info.decimalFlag},
        {"productionDate", &info.productionDate},
    };
    if (parser.isSet("json")) {
        QJsonObject object;
        for (const auto &[name, value] : values)
            object.insert(name, qs(*value));
        printLine(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
    } else {
        for (const auto &[name, value] : values)
            printLine(QString("%1: %2").arg(name, qs(*value)));
    }
    return kSuccess;
}

int runQuery(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("command", "query");
    parser.addPositionalArgument("folder", "the disc folder");
    parser.addPositionalArgument("dataset", "the data set's extension (psm, pla, ...)");
    parser.addOption({"by", "the combo caption (default: the screen's initial caption)", "caption"});
    parser.addOption({"key", "the text typed into the input box (at most 12 characters)", "text"});
    parser.addOption({"next", "press 次筆 N times after 查詢", "n"});
    parser.addOption({"all", "press 次筆 while it is enabled"});
    parser.addOption({"json", "print one JSON object per shown record"});
    if (!parser.parse(args))
        return usageError(parser.errorText());
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 3)
        return usageError("usage: regdisc-cli query FOLDER DATASET [--by CAPTION] [--key TEXT] "
                          "[--next N | --all] [--json]");
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
    if (screen->query() != LookupOutcome::Shown)
        return kLookupMessage;
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

int runListing(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("command", "listing");
    parser.addPositionalArgument("folder", "the disc folder");
    parser.addPositionalArgument("listing", "ptr or lnx");
    parser.addOption({"json", "print JSON"});
    if (!parser.parse(args))
        return usageError(parser.errorText());
    const QStringList positional = parser.positionalArguments();
    const ListingSpec *spec = positional.size() == 3 ? findListing(positional.at(2).toStdString()) : nullptr;
    if (!spec)
        return usageError("usage: regdisc-cli listing FOLDER ptr|lnx [--json]");
    StderrMessages messages;
    MainMenuModel menu(messages, tx(positional.at(1)));
    if (!openFolder(menu))
        return kSetupError;
    std::unique_ptr<ListingModel> listing = menu.openListing(*spec);
    if (!listing)
        return kSetupError;
    if (parser.isSet("json")) {
        printLine(QString::fromUtf8(
            QJsonDocument(QJsonObject{{"text", qs(listing->text())}}).toJson(QJsonDocument::Compact)));
    } else {
        for (const QString &line : qs(listing->text()).split("\r\n"))
            printLine(line);
    }
    listing->close();
    return kSuccess;
}

int runSample(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("command", "sample");
    parser.addPositionalArgument("outdir", "the folder to write the disc into");
    parser.addOption({"records", "holder-register records", "n", "5000"});
    parser.addOption({"seed", "random seed", "s", "1"});
    parser.addOption({"decimal-flag", "the disc information's decimalFlag", "v", "N"});
    if (!parser.parse(args))
        return usageError(parser.errorText());
    if (parser.positionalArguments().size() != 2)
        return usageError("usage: regdisc-cli sample OUTDIR [--records N] [--seed S] [--decimal-flag V]");
    SampleOptions options;
    bool ok = false;
    options.records = parser.value("records").toLongLong(&ok);
    if (!ok || options.records < 1)
        return usageError("--records takes a whole number of 1 or more");
    options.seed = parser.value("seed").toULongLong(&ok);
    if (!ok)
        return usageError("--seed takes a whole number");
    options.decimalFlag = tx(parser.value("decimal-flag"));
    try {
        const std::filesystem::path folder = parser.positionalArguments().at(1).toStdString();
        writeSampleDisc(folder, options);
        // The PDF copies list the first few hundred records of each data set.
        writePdfCopies(folder, 300);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "regdisc-cli: %s\n", error.what());
        return kSetupError;
    }
    return kSuccess;
}

}  // namespace

int main(int argc, char *argv[])
{
    // The sample disc's PDF copies are painted with Qt's fonts, which need a GUI
    // application; without a platform of the user's choice it needs no display.
    const bool sample = argc > 1 && std::string_view(argv[1]) == "sample";
    if (sample && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app = sample ? std::make_unique<QGuiApplication>(argc, argv)
                                                         : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName("regdisc-cli");
    const QStringList args = QCoreApplication::arguments();
    const QString command = args.size() > 1 ? args.at(1) : QString();
    const std::map<QString, std::function<int(const QStringList &)>> commands{
        {"info", runInfo}, {"query", runQuery}, {"listing", runListing}, {"sample", runSample}};
    const auto it = commands.find(command);
    if (it == commands.end())
        return usageError("usage: regdisc-cli info|query|listing|sample ...");
    return it->second(args);
}
