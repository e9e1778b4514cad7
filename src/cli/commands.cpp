#include "cli/commands.h"

#include <iterator>

namespace regdisc::cli {

namespace {

constexpr Command kCommands[] = {
    {"info", "FOLDER [--json]", "the disc information", runInfo, "info /media/cdrom --json"},
    {"query", "FOLDER DATASET [--by CAPTION] [--key TEXT] [--next N | --all] [--json]",
     "查詢 and 次筆 on one data set's screen", runQuery,
     "query /media/cdrom psm --by '依 統一編號' --key A1 --next 9"},
    {"listing", "FOLDER ptr|lnx [--json]", "a count listing", runListing, "listing /media/cdrom ptr"},
    {"sample", "OUTDIR [--records N] [--seed S] [--decimal-flag V]", "write a synthetic sample disc",
     runSample, "sample sample-disc --records 20000 --seed 7"},
    {"holder", "FOLDER (--id ID | --account ACCT | --name NAME) [--exact] [--registers LIST] [--json|--csv]",
     "one holder in every register", runHolder,
     "holder /media/cdrom --name 林柏傑 --exact --registers psm,pla"},
    {"batch",
     "FOLDER LIST.txt|LIST.csv [--by id|account|name] [--column NAME] [--prefix] [--registers LIST] "
     "--out RESULT.csv|.xlsx|.sqlite [--json]",
     "a list of holders looked up in every register", runBatch,
     "batch /media/cdrom ids.txt --out result.xlsx"},
    {"export", "FOLDER [DATASET...] --out FILE.csv|.xlsx|.sqlite [--json]",
     "registers as CSV, XLSX or SQLite", runExport, "export /media/cdrom psm pla --out registers.sqlite"},
    {"check", "FOLDER [--json]", "check that the disc is whole", runCheck, "check /media/cdrom"},
    {"stats", "FOLDER [--top N] [--percent P] [--show-id] [--json | --csv OUT | --xlsx OUT]",
     "the annual report's shareholding tables: distribution, structure, principal holders; holders by "
     "county or city, age and nationality",
     runStats, "stats /media/cdrom --xlsx holders.xlsx"},
    {"compare", "OLD NEW [--top N] [--percent P] [--show-id] [--json | --csv OUT | --xlsx OUT]",
     "two book closures of one security: who came, left, bought and sold; both registers side by side",
     runCompare, "compare /media/closing-2024-06 /media/cdrom --top 20 --xlsx movement.xlsx"},
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
