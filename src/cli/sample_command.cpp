// regdisc-cli sample: a synthetic disc with all fourteen data sets, both listings and the
// PDF copies.
#include "cli/commands.h"

#include "writer/sample_disc.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

#include <cstdio>
#include <filesystem>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace regdisc::cli {

namespace {

// The program that paints the PDF copies (it needs Qt Gui, which regdisc-cli does not
// load): beside regdisc-cli in the build tree, in its helper folder once installed.
QString pdfCopyProgram()
{
#ifdef Q_OS_WIN
    const QString name = QStringLiteral("regdisc-pdfcopy.exe");
#else
    const QString name = QStringLiteral("regdisc-pdfcopy");
#endif
    const QString dir = QCoreApplication::applicationDirPath();
    for (const QString &candidate : {dir + '/' + name, dir + '/' + REGDISC_HELPER_FROM_BIN + '/' + name})
        if (QFileInfo(candidate).isExecutable())
            return candidate;
    return {};
}

// The PDF copies, painted by the helper program while the holder registers are written;
// its messages go straight to standard error.
class PdfCopies {
public:
    ~PdfCopies()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(-1);
        }
    }
    bool start(const QString &folder, int maxRecords)
    {
        started_ = true;
        const QString program = pdfCopyProgram();
        if (program.isEmpty()) {
            std::fprintf(stderr, "regdisc-cli: regdisc-pdfcopy is not installed beside regdisc-cli\n");
            return false;
        }
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        process_.start(program, {folder, QString::number(maxRecords)});
        return true;
    }
    bool started() const { return started_; }
    // Waits for the helper; true when it wrote the copies.
    bool finish()
    {
        if (!process_.waitForFinished(-1) || process_.exitStatus() != QProcess::NormalExit) {
            std::fprintf(stderr, "regdisc-cli: %s did not finish\n",
                         process_.program().toLocal8Bit().constData());
            return false;
        }
        return process_.exitCode() == 0;
    }

private:
    QProcess process_;
    bool started_ = false;
};

}  // namespace

int runSample(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("outdir", "the folder to write the disc into");
    parser.addOption({"records", "holder-register records", "n", "5000"});
    parser.addOption({"seed", "random seed", "s", "1"});
    parser.addOption({"decimal-flag", "the disc information's decimalFlag", "v", "N"});
    parser.addOption({"after",
                      "write the next book closure of the disc in OLD instead: the same security, dates six "
                      "months later, holders who bought, sold, left and came; --records is then the number "
                      "of holders who come (default 3 in 100 of OLD's)",
                      "OLD"});
    if (const std::optional<int> status = parseArguments(parser, args))
        return *status;
    if (parser.positionalArguments().size() != 2)
        return usageError(
            "usage: regdisc-cli sample OUTDIR [--records N] [--seed S] [--decimal-flag V] [--after OLD]");
    SampleOptions options;
    bool ok = false;
    options.records = parser.value("records").toLongLong(&ok);
    const bool after = parser.isSet("after");
    if (!ok || options.records < (after ? 0 : 1))
        return usageError(after ? "--records takes a whole number"
                                : "--records takes a whole number of 1 or more");
    if (after) {
        if (parser.isSet("decimal-flag"))
            return usageError("--decimal-flag: the later disc keeps the decimal flag of the disc it follows");
        const QByteArray old = parser.value("after").toUtf8();
        options.after = std::filesystem::path(std::u8string(old.begin(), old.end()));
        options.newHolders = parser.isSet("records") ? options.records : -1;
    }
    options.seed = parser.value("seed").toULongLong(&ok);
    if (!ok)
        return usageError("--seed takes a whole number");
    options.decimalFlag = tx(parser.value("decimal-flag"));
    const QString folder = parser.positionalArguments().at(1);
#ifdef __GLIBC__
    // Millions of records pass through a few large buffers: keep freed memory for the next
    // data set instead of giving it back to the system and faulting it in again.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
    mallopt(M_TOP_PAD, 64 << 20);
#endif
    // The PDF copies list the first few hundred records of each data set.
    const int copyRecords = 300;
    PdfCopies copies;
    bool helperFound = true;
    options.pdfDataSetsWritten = [&] { helperFound = copies.start(folder, copyRecords); };
    try {
        const QByteArray utf8 = folder.toUtf8();
        writeSampleDisc(std::filesystem::path(std::u8string(utf8.begin(), utf8.end())), options);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "regdisc-cli: %s\n", error.what());
        return kSetupError;
    }
    if (!copies.started())
        helperFound = copies.start(folder, copyRecords);
    return helperFound && copies.finish() ? kSuccess : kSetupError;
}

}  // namespace regdisc::cli
