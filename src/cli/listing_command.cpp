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
    // The text is written a line at a time: a listing may be tens of megabytes.
    const TextView text = listing->text();
    const auto eachPiece = [&](const auto &write) {
        for (size_t start = 0;;) {
            const size_t end = text.find(u"\r\n", start);
            write(text.substr(start, end == TextView::npos ? TextView::npos : end - start),
                  end != TextView::npos);
            if (end == TextView::npos)
                break;
            start = end + 2;
        }
    };
    if (parser.isSet("json")) {
        printJsonText("{\"text\":\"", false);
        eachPiece([](TextView line, bool more) {
            printJsonText(jsonStringBody(line), false);
            if (more)
                printJsonText("\\r\\n", false);
        });
        printJsonText("\"}", true);
    } else {
        eachPiece([](TextView line, bool) { printTextLine(line); });
    }
    listing->close();
    return kSuccess;
}

}  // namespace regdisc::cli
