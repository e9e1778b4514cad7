#include "cli/commands.h"

#include "datasets/catalogue.h"

#include <iterator>

namespace regdisc::cli {

namespace {

// query: the captions --by takes, each data set's combo list in its order.
QString queryCaptions()
{
    QString text = "\nCaptions of --by, each data set's combo list (the screen starts with the one\n"
                   "marked default):\n";
    for (const DataSetSpec *spec : allDataSets()) {
        QStringList captions;
        for (int number : spec->listOrder)
            captions << QString::fromStdU16String(Text(spec->keyKind(number).caption)) +
                            (number == spec->initialKeyKind ? " (default)" : "");
        text += "  " + QString::fromLatin1(spec->ext.data(), 3) + "  " + captions.join(", ") + '\n';
    }
    return text;
}

QString sampleOutput()
{
    return R"(
Output folder:
  The disc is written into a temporary folder beside OUTDIR and renamed to
  OUTDIR only when it is whole; an error, Ctrl-C, SIGTERM or SIGHUP removes it.
  OUTDIR must not exist or be empty; with --force it may also hold a disc
  (nothing but stk and stkidx), which the new disc replaces.
)";
}

constexpr Command kCommands[] = {
    {"info", "FOLDER [--json]", "the disc information", runInfo, "info /media/cdrom --json",
     "0  the disc information was read\n2  a folder, disc-information or usage error"},
    {"query", "FOLDER DATASET [--by CAPTION] [--key TEXT] [--next N | --all] [--json]",
     "查詢 and 次筆 on one data set's screen", runQuery,
     "query /media/cdrom psm --by '依 統一編號' --key A1 --next 9",
     "0  查詢 and every 次筆 showed a record (or 次筆 was no longer enabled)\n"
     "1  a lookup ended with the screen's message\n"
     "2  a folder, disc-information, file-opening or usage error",
     queryCaptions},
    {"listing", "FOLDER ptr|lnx [--json]", "a count listing", runListing, "listing /media/cdrom ptr",
     "0  the listing was shown\n2  a folder, disc-information, file-opening or usage error"},
    {"sample", "OUTDIR [--records N] [--seed S] [--decimal-flag Y|N] [--after OLD] [--force]",
     "write a synthetic sample disc", runSample, "sample sample-disc --records 20000 --seed 7",
     "0  the disc is whole under OUTDIR\n"
     "2  it could not be written (nothing is left under OUTDIR's name), OUTDIR is\n"
     "   there and may not be replaced, or a usage error",
     sampleOutput},
    {"holder", "FOLDER (--id ID | --account ACCT | --name NAME) [--exact] [--registers LIST] [--json|--csv]",
     "one holder in every register", runHolder,
     "holder /media/cdrom --name 林柏傑 --exact --registers psm,pla",
     "0  something was found, and every register could be read\n"
     "1  nothing was found, and every register could be read\n"
     "2  a register could not be read (its message on standard error), or a folder,\n"
     "   disc-information or usage error"},
    {"batch",
     "FOLDER LIST.txt|LIST.csv [--by id|account|name] [--column NAME] [--no-header] [--prefix] [--registers "
     "LIST] "
     "--out RESULT.csv|.xlsx|.sqlite [--force] [--json]",
     "a list of holders looked up in every register", runBatch,
     "batch /media/cdrom ids.txt --out result.xlsx",
     "0  the result file is in place\n"
     "2  a register could not be read (its message on standard error; the result\n"
     "   file is in place, its rows say 無法讀取 for that register), the result\n"
     "   file cannot be written (no file is left), or a folder, disc-information,\n"
     "   list or usage error",
     nullptr, true},
    {"export", "FOLDER [DATASET...] --out FILE.csv|.xlsx|.sqlite [--force] [--json]",
     "registers as CSV, XLSX or SQLite", runExport, "export /media/cdrom psm pla --out registers.sqlite",
     "0  every register asked for is in the files\n"
     "2  a register could not be read (its message on standard error; the files\n"
     "   are in place, with 無法讀取 for it), the files cannot be written (no file\n"
     "   is left), or a folder, disc-information or usage error",
     nullptr, true},
    {"check", "FOLDER [--json]", "check that the disc is whole", runCheck, "check /media/cdrom",
     "0  the disc is whole\n1  the disc has defects\n2  the disc cannot be read, or a usage error"},
    {"stats", "FOLDER [--top N] [--percent P] [--show-id] [--json | --csv OUT | --xlsx OUT] [--force]",
     "the annual report's shareholding tables: distribution, structure, principal holders; holders by "
     "county or city, age and nationality",
     runStats, "stats /media/cdrom --xlsx holders.xlsx",
     "0  the tables were shown or written\n"
     "2  the holder register is missing or could not be read (its message on\n"
     "   standard error), the files cannot be written (no file is left), or a\n"
     "   folder, disc-information or usage error",
     nullptr, true},
    {"compare", "OLD NEW [--top N] [--percent P] [--show-id] [--json | --csv OUT | --xlsx OUT] [--force]",
     "two book closures of one security: who came, left, bought and sold; both registers side by side",
     runCompare, "compare /media/closing-2024-06 /media/cdrom --top 20 --xlsx movement.xlsx",
     "0  the tables were shown or written\n"
     "2  a holder register is missing or could not be read (its message on standard\n"
     "   error), the discs hold different securities, the files cannot be written\n"
     "   (no file is left), or a folder, disc-information or usage error",
     nullptr, true},
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
