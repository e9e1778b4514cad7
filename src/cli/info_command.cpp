// regdisc-cli info: the disc information as the main menu reads it.
#include "cli/commands.h"

#include "screens/main_menu_model.h"

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>

#include <utility>

namespace regdisc::cli {

int runInfo(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("folder", "the disc folder");
    parser.addOption({"json", "print JSON"});
    if (const std::optional<int> status = parseArguments(parser, args))
        return *status;
    if (parser.positionalArguments().size() != 2)
        return usageOf(args);
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
        printJsonLine(object);
    } else {
        for (const auto &[name, value] : values)
            printTextLine(fromAscii(name) + u": " + *value);
    }
    return kSuccess;
}

}  // namespace regdisc::cli
