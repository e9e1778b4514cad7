#include "cli/commands.h"

#include <iterator>

namespace regdisc::cli {

namespace {

constexpr Command kCommands[] = {
    {"info", "FOLDER [--json]", "the disc information", runInfo},
    {"query", "FOLDER DATASET [--by CAPTION] [--key TEXT] [--next N | --all] [--json]",
     "查詢 and 次筆 on one data set's screen", runQuery},
    {"listing", "FOLDER ptr|lnx [--json]", "a count listing", runListing},
    {"sample", "OUTDIR [--records N] [--seed S] [--decimal-flag V]", "write a synthetic sample disc",
     runSample},
};

}  // namespace

std::span<const Command> commands()
{
    return kCommands;
}

const Command *findCommand(const QString &name)
{
    for (const Command &c : kCommands)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

}  // namespace regdisc::cli
