// regdisc-cli sample: a synthetic disc with all fourteen data sets, both listings and the
// PDF copies.
#include "cli/commands.h"

#include "pdfcopy/pdf_copies.h"
#include "writer/sample_disc.h"

#include <QCommandLineParser>

#include <cstdio>
#include <filesystem>

namespace regdisc::cli {

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

}  // namespace regdisc::cli
