// regdisc-cli sample: a synthetic disc with all fourteen data sets, both listings and the
// PDF copies.
#include "cli/commands.h"
#include "cli/tool_options.h"

#include "output/output_file.h"
#include "writer/sample_disc.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <cstdio>
#include <filesystem>
#include <memory>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
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

// Whether Qt Gui finds a runtime folder of the user's to use: set, a folder, the user's,
// private. Otherwise it says so on standard error.
bool runtimeFolderUsable(const QString &path)
{
#ifndef _WIN32
    struct stat status {};
    return !path.isEmpty() && stat(path.toLocal8Bit().constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == geteuid() && (status.st_mode & 0777) == 0700;
#else
    (void)path;
    return true;
#endif
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
        if (process_.processId() > 0)
            forgetChildOnSignal(process_.processId());
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
        // Without a runtime folder of the user's (root, a service), Qt Gui would warn about
        // it on standard error: the helper gets a private one.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!runtimeFolderUsable(environment.value("XDG_RUNTIME_DIR"))) {
            runtime_ = std::make_unique<QTemporaryDir>();
            if (runtime_->isValid()) {
                runtimeOnSignal_ = std::make_unique<RemovedOnSignal>(pathArgument(runtime_->path()));
                environment.insert("XDG_RUNTIME_DIR", runtime_->path());
                process_.setProcessEnvironment(environment);
            }
        }
        process_.start(program, {folder, QString::number(maxRecords)});
        if (process_.waitForStarted(-1))
            endChildOnSignal(process_.processId());
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
    std::unique_ptr<QTemporaryDir> runtime_;  // made with the owner's permissions only
    std::unique_ptr<RemovedOnSignal> runtimeOnSignal_;
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
    parser.addOption({"decimal-flag",
                      "the disc information's decimalFlag: Y (quantities carry two decimals) or N (whole "
                      "numbers; the default)",
                      "Y|N", "N"});
    parser.addOption({"after",
                      "write the next book closure of the disc in OLD instead: the same security, dates six "
                      "months later, holders who bought, sold, left and came; --records is then the number "
                      "of holders who come (default 3 in 100 of OLD's)",
                      "OLD"});
    parser.addOption({"force", "replace a disc (a folder holding only stk and stkidx) that is in OUTDIR"});
    if (const std::optional<int> status = parseArguments(parser, args))
        return *status;
    if (parser.positionalArguments().size() != 2)
        return usageOf(args);
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
    // A disc says "Y" when its quantities carry two decimals; a depository writes "N" when
    // they do not.
    const QString decimalFlag = parser.value("decimal-flag");
    if (decimalFlag != "Y" && decimalFlag != "N")
        return usageError(
            "--decimal-flag takes Y (quantities carry two decimals) or N (whole numbers), not '" +
            decimalFlag + "'");
    options.decimalFlag = tx(decimalFlag);
#ifdef __GLIBC__
    // Millions of records pass through a few large buffers: keep freed memory for the next
    // data set instead of giving it back to the system and faulting it in again.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
    mallopt(M_TOP_PAD, 64 << 20);
#endif
    if (after) {
        // The later disc never takes the place of the disc it follows.
        std::error_code error;
        if (std::filesystem::equivalent(pathArgument(parser.positionalArguments().at(1)), options.after,
                                        error))
            return usageError("OUTDIR is the disc --after reads: the later disc needs a folder of its own");
    }
    try {
        // The disc is written into a folder beside OUTDIR and takes OUTDIR's name when whole.
        OutputFolder out(pathArgument(parser.positionalArguments().at(1)), parser.isSet("force"));
        const QString folder = QString::fromStdU16String(out.temporaryPath().u16string());
        // The PDF copies list the first few hundred records of each data set.
        const int copyRecords = 300;
        PdfCopies copies;
        bool helperFound = true;
        options.pdfDataSetsWritten = [&] { helperFound = copies.start(folder, copyRecords); };
        try {
            writeSampleDisc(out.temporaryPath(), options);
        } catch (const std::exception &error) {
            // The writer names the temporary file it could not write, not why: the disc is
            // named with the likely reason.
            const std::string what = error.what();
            if (what.starts_with("cannot write") || what.starts_with("cannot open"))
                return outputFailure(
                    outputError(out.target(), likelyWriteError(out.temporaryPath() / "stk")));
            std::fprintf(stderr, "regdisc-cli: %s\n", error.what());
            return kSetupError;
        }
        if (!copies.started())
            helperFound = copies.start(folder, copyRecords);
        if (!helperFound || !copies.finish())
            return kSetupError;
        out.commit();
    } catch (const OutputError &error) {
        return outputFailure(error);
    }
    return kSuccess;
}

}  // namespace regdisc::cli
