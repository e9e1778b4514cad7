// regdisc-cli listing: a count listing as its screen shows it.
#include "cli/commands.h"

#include "datasets/catalogue.h"
#include "screens/main_menu_model.h"

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

namespace regdisc::cli {

int runListing(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("folder", "the disc folder");
    parser.addPositionalArgument("listing", "ptr or lnx");
    parser.addOption({"json", "print JSON"});
    if (const std::optional<int> status = parseArguments(parser, args))
        return *status;
    const QStringList positional = parser.positionalArguments();
    const ListingSpec *spec = positional.size() == 3 ? findListing(positional.at(2).toStdString()) : nullptr;
    if (!spec)
        return usageOf(args);
    StderrMessages messages;
    MainMenuModel menu(messages, tx(positional.at(1)));
    if (!openFolder(menu))
        return kSetupError;
    std::unique_ptr<ListingModel> listing = menu.openListing(*spec);
    if (!listing)
        return kSetupError;
    if (parser.isSet("json")) {
        printJsonLine(QJsonObject{{"text", qs(listing->text())}});
    } else {
        for (const QString &line : qs(listing->text()).split("\r\n"))
            printTextLine(tx(line));
    }
    listing->close();
    return kSuccess;
}

}  // namespace regdisc::cli
