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
    {"holder", "FOLDER (--id ID | --account ACCT | --name NAME) [--exact] [--registers LIST] [--json|--csv]",
     "one holder in every register", runHolder},
    {"batch",
     "FOLDER LIST.txt|LIST.csv [--by id|account|name] [--column NAME] [--prefix] [--registers LIST] "
     "--out RESULT.csv|.xlsx|.sqlite [--json]",
     "a list of holders looked up in every register", runBatch},
    {"export", "FOLDER [DATASET...] --out FILE.csv|.xlsx|.sqlite [--json]",
     "registers as CSV, XLSX or SQLite", runExport},
    {"check", "FOLDER [--json]", "check that the disc is whole", runCheck},
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
