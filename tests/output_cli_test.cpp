// regdisc-cli's files as a script meets them: a full disk, Ctrl-C, SIGTERM and SIGHUP leave
// the previous files byte for byte and no temporary file; the list and the disc are never
// written over; an existing file is replaced only with --force; sample leaves a disc under
// its name only when it is whole.
#include "cli_run.h"
#include "tools_support.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <poll.h>
#include <sstream>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

using namespace regdisc;
using namespace regdisc::test;
namespace fs = std::filesystem;

namespace {

QString q(const fs::path &path)
{
    return QString::fromStdString(path.string());
}

std::string bytesOf(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string> namesIn(const fs::path &folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A sample disc of 2,000 holders, written once for the tests here.
const fs::path &sampleDisc()
{
    static TempDir dir;
    static const fs::path disc = [] {
        const fs::path folder = dir.path() / "disc";
        const CliRun run = cli({"sample", q(folder), "--records", "2000"});
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        return folder;
    }();
    return disc;
}

// A list of forty IDs, most of them on no register: a result file of a few kilobytes.
void writeList(const fs::path &path)
{
    std::string text = "A112345677\r\n";
    for (int i = 0; i < 40; ++i)
        text += "Z2000000" + std::to_string(10 + i) + "\r\n";
    writeFileBytes(path, text);
}

// The folder with the previous files: each holds its own name.
std::map<std::string, std::string> writePrevious(const fs::path &folder,
                                                 const std::vector<std::string> &names)
{
    std::map<std::string, std::string> files;
    for (const std::string &name : names) {
        files[name] = "previous " + name + "\n";
        writeFileBytes(folder / name, files[name]);
    }
    return files;
}

// A terminal that nobody reads, its buffer filled: a program whose progress line goes to
// it waits at its first progress report, in the middle of its work, until it is ended.
class FullTerminal {
public:
    FullTerminal()
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
            return;
        name_ = ptsname(master_);
        const int slave = open(name_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (slave < 0)
            return;
        termios mode{};
        tcgetattr(slave, &mode);
        cfmakeraw(&mode);
        tcsetattr(slave, TCSANOW, &mode);
        const std::string block(1024, 'x');
        while (write(slave, block.data(), block.size()) > 0) {
        }
        close(slave);
    }
    ~FullTerminal()
    {
        if (master_ >= 0)
            close(master_);
    }
    QString name() const { return QString::fromStdString(name_); }

private:
    int master_ = -1;
    std::string name_;
};

// Waits until a temporary file or folder (".NAME.XXXXXXXX.tmp") appears in the folder;
// false when the process ends first.
class TemporaryWatch {
public:
    explicit TemporaryWatch(const fs::path &folder) : folder_(folder)
    {
        fd_ = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        inotify_add_watch(fd_, folder.c_str(), IN_CREATE | IN_MOVED_TO);
    }
    ~TemporaryWatch() { close(fd_); }

    bool await(QProcess &process)
    {
        for (int ticks = 0; ticks < 1200; ++ticks) {
            for (const std::string &name : namesIn(folder_))
                if (name.front() == '.' && name.ends_with(".tmp"))
                    return true;
            pollfd event{fd_, POLLIN, 0};
            poll(&event, 1, 100);
            char buffer[4096];
            while (read(fd_, buffer, sizeof buffer) > 0) {
            }
            if (process.waitForFinished(0) || process.state() == QProcess::NotRunning)
                return false;
        }
        return false;
    }

private:
    fs::path folder_;
    int fd_ = -1;
};

struct OutputCase {
    QStringList args;  // OUT stands for the folder of the outputs
    std::vector<std::string> previous;  // the files the run writes, there before
};

QStringList withFolder(const QStringList &args, const fs::path &folder)
{
    QStringList out;
    for (const QString &arg : args)
        out << QString(arg).replace("OUT", q(folder)).replace("DISC", q(sampleDisc()));
    return out;
}

const std::vector<OutputCase> &outputCases()
{
    static const std::vector<OutputCase> cases = {
        {{"export", "DISC", "psm", "--out", "OUT/r.csv", "--force"}, {"r.csv"}},
        {{"export", "DISC", "psm", "pla", "--out", "OUT/r.csv", "--force"}, {"r_pla.csv", "r_psm.csv"}},
        {{"export", "DISC", "psm", "--out", "OUT/r.xlsx", "--force"}, {"r.xlsx"}},
        {{"export", "DISC", "--out", "OUT/r.sqlite", "--force"}, {"r.sqlite"}},
        {{"batch", "DISC", "OUT/list.txt", "--out", "OUT/r.csv", "--force"}, {"r.csv"}},
        {{"batch", "DISC", "OUT/list.txt", "--out", "OUT/r.xlsx", "--force"}, {"r.xlsx"}},
        {{"batch", "DISC", "OUT/list.txt", "--out", "OUT/r.sqlite", "--force"}, {"r.sqlite"}},
        {{"stats", "DISC", "--csv", "OUT/s.csv", "--force"},
         {"s_distribution.csv", "s_notes.csv", "s_principal.csv", "s_structure.csv"}},
        {{"stats", "DISC", "--xlsx", "OUT/s.xlsx", "--force"}, {"s.xlsx"}},
    };
    return cases;
}

}  // namespace

// No space: each file may grow to 1 KiB only (SIGXFSZ ignored, so that a write fails as on
// a full disk). The run ends with status 2 and the reason; nothing else changed.
TEST(OutputCli, AFileThatCannotBeWrittenLeavesThePreviousFiles)
{
    for (const OutputCase &c : outputCases()) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        TempDir dir;
        writeList(dir.path() / "list.txt");
        const auto previous = writePrevious(dir.path(), c.previous);
        const std::vector<std::string> names = namesIn(dir.path());
        QProcess process;
        process.setChildProcessModifier([] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{1024, 1024};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
        process.start(REGDISC_CLI, withFolder(c.args, dir.path()));
        const CliRun run = finish(process);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.startsWith("regdisc-cli: 無法寫入 " + q(dir.path()) + "/"))
            << run.err.toStdString();
        EXPECT_TRUE(run.err.endsWith("：檔案超過系統允許的大小\n")) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_EQ(namesIn(dir.path()), names);
        for (const auto &[name, bytes] : previous)
            EXPECT_EQ(bytesOf(dir.path() / name), bytes) << name;
    }
}

// Ctrl-C, SIGTERM and SIGHUP in the middle of the work: the program ends by the signal,
// its temporary files gone, the previous files as they were.
TEST(OutputCli, ASignalLeavesThePreviousFiles)
{
    const int endings[] = {SIGINT, SIGTERM, SIGHUP};
    int next = 0;
    for (const OutputCase &c : outputCases()) {
        const int signal = endings[next++ % 3];
        SCOPED_TRACE(c.args.join(' ').toStdString() + " signal " + std::to_string(signal));
        TempDir dir;
        writeList(dir.path() / "list.txt");
        const auto previous = writePrevious(dir.path(), c.previous);
        const std::vector<std::string> names = namesIn(dir.path());
        FullTerminal terminal;
        ASSERT_FALSE(terminal.name().isEmpty());
        TemporaryWatch watch(dir.path());
        QProcess process;
        process.setStandardErrorFile(terminal.name());
        process.start(REGDISC_CLI, withFolder(c.args, dir.path()));
        ASSERT_TRUE(watch.await(process)) << "no temporary file";
        kill(static_cast<pid_t>(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
        EXPECT_EQ(process.exitCode(), signal);
        EXPECT_EQ(namesIn(dir.path()), names);
        for (const auto &[name, bytes] : previous)
            EXPECT_EQ(bytesOf(dir.path() / name), bytes) << name;
    }
}

// A real full disk where a small file system can be mounted (a mount namespace of its own):
// the reason is the disk's.
TEST(OutputCli, AFullDiskIsNamedAsSuch)
{
    TempDir dir;
    const fs::path full = dir.path() / "full";
    fs::create_directory(full);
    const QString script = R"(mount -t tmpfs -o size=256k tmpfs "$1" || exit 77
printf 'previous\n' > "$1/r.csv"
"$2" export "$3" psm --out "$1/r.csv" --force 2>&1
echo "status $?"
"$2" sample "$1/disc" --records 5000 2>&1
echo "status $?"
ls -A "$1"
cat "$1/r.csv")";
    QProcess process;
    process.start("unshare", {"--map-root-user", "--mount", "sh", "-c", script, "sh", q(full), REGDISC_CLI,
                              q(sampleDisc())});
    const CliRun run = finish(process);
    if (run.status == 77 || run.status == -1 || run.out.isEmpty())
        GTEST_SKIP() << "no mount namespace here: " << run.err.toStdString();
    EXPECT_EQ(run.out, "regdisc-cli: 無法寫入 " + q(full) +
                           "/r.csv：磁碟空間不足\nstatus 2\n"
                           "regdisc-cli: 無法寫入 " +
                           q(full) +
                           "/disc：磁碟空間不足\nstatus 2\n"
                           "r.csv\nprevious\n");
}

// batch never writes over its list, also through a link or ..; no command writes into the
// disc's folders.
TEST(OutputCli, TheListAndTheDiscAreNeverWrittenOver)
{
    TempDir dir;
    const fs::path list = dir.path() / "mylist.csv";
    writeFileBytes(list, "統一編號\r\nA112345677\r\n");
    fs::create_symlink(list, dir.path() / "link.csv");
    fs::create_directory(dir.path() / "sub");
    const QString folder = q(sampleDisc());
    const struct {
        QStringList args;
        QString err;
    } cases[] = {
        {{"batch", folder, q(list), "--column", "統一編號", "--out", q(list)},
         "regdisc-cli: 無法寫入 " + q(list) + "：這是輸入的檔案 " + q(list) + "，不能寫在它上面\n"},
        {{"batch", folder, q(list), "--column", "統一編號", "--out", q(list), "--force"},
         "regdisc-cli: 無法寫入 " + q(list) + "：這是輸入的檔案 " + q(list) + "，不能寫在它上面\n"},
        {{"batch", folder, q(list), "--out", q(dir.path() / "link.csv"), "--force"},
         "regdisc-cli: 無法寫入 " + q(dir.path() / "link.csv") + "：這是輸入的檔案 " + q(list) +
             "，不能寫在它上面\n"},
        {{"batch", folder, q(list), "--out", q(dir.path() / "sub/../mylist.csv"), "--force"},
         "regdisc-cli: 無法寫入 " + q(dir.path() / "sub/../mylist.csv") + "：這是輸入的檔案 " + q(list) +
             "，不能寫在它上面\n"},
        {{"export", folder, "psm", "--out", folder + "/stk/2330.csv"},
         "regdisc-cli: 無法寫入 " + folder + "/stk/2330.csv：這在光碟的資料夾 " + folder +
             "/stk 內，不能寫在那裡\n"},
        {{"stats", folder, "--xlsx", folder + "/stkidx/../stk/s.xlsx", "--force"},
         "regdisc-cli: 無法寫入 " + folder + "/stkidx/../stk/s.xlsx：這在光碟的資料夾 " + folder +
             "/stk 內，不能寫在那裡\n"},
    };
    const std::vector<std::string> stk = namesIn(sampleDisc() / "stk");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(bytesOf(list), "統一編號\r\nA112345677\r\n");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"link.csv", "mylist.csv", "sub"}));
    EXPECT_EQ(namesIn(sampleDisc() / "stk"), stk);
}

// An existing file is replaced only with --force; a database of the clerk's own is never
// touched without it.
TEST(OutputCli, AnExistingFileIsReplacedOnlyWithForce)
{
    TempDir dir;
    const QString folder = q(sampleDisc());
    for (const char *name : {"r.csv", "r.xlsx", "mine.sqlite"}) {
        SCOPED_TRACE(name);
        const fs::path out = dir.path() / name;
        writeFileBytes(out, "the clerk's own\n");
        const CliRun refused = cli({"export", folder, "psm", "--out", q(out)});
        EXPECT_EQ(refused.status, 2);
        EXPECT_EQ(refused.err, "regdisc-cli: 無法寫入 " + q(out) + "：檔案已存在（加上 --force 才會取代）\n");
        EXPECT_EQ(bytesOf(out), "the clerk's own\n");
        const CliRun replaced = cli({"export", folder, "psm", "--out", q(out), "--force"});
        EXPECT_EQ(replaced.status, 0) << replaced.err.toStdString();
        EXPECT_NE(bytesOf(out), "the clerk's own\n");
    }
    EXPECT_EQ(csvRows(dir.path() / "r.csv").size(), 2001u);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"mine.sqlite", "r.csv", "r.xlsx"}));

    const CliRun stats = cli({"stats", folder, "--csv", q(dir.path() / "r.csv")});
    EXPECT_EQ(stats.status, 0);
    const CliRun again = cli({"stats", folder, "--csv", q(dir.path() / "r.csv")});
    EXPECT_EQ(again.status, 2);
    EXPECT_EQ(again.err, "regdisc-cli: 無法寫入 " + q(dir.path() / "r_distribution.csv") +
                             "：檔案已存在（加上 --force 才會取代）\n");
    EXPECT_EQ(cli({"stats", folder, "--csv", q(dir.path() / "r.csv"), "--force"}).status, 0);

    const CliRun missing = cli({"export", folder, "psm", "--out", q(dir.path() / "none/r.csv")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "regdisc-cli: 無法寫入 " + q(dir.path() / "none/r.csv") + "：資料夾不存在\n");
}

// sample: the disc appears under its name when whole; a folder of the clerk's is never
// replaced, a disc only with --force; a signal leaves nothing; only the values a disc's
// decimalFlag holds; and no warning of Qt's on standard error.
TEST(OutputCli, SampleLeavesADiscUnderItsNameOnlyWhenWhole)
{
    TempDir dir;
    const fs::path disc = dir.path() / "disc";
    QProcess quiet;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("XDG_RUNTIME_DIR");
    quiet.setProcessEnvironment(environment);
    quiet.start(REGDISC_CLI, {"sample", q(disc), "--records", "300"});
    const CliRun first = finish(quiet);
    EXPECT_EQ(first.status, 0);
    EXPECT_EQ(first.err, "");
    EXPECT_EQ(namesIn(disc), (std::vector<std::string>{"stk", "stkidx"}));
    const std::string security = bytesOf(disc / "stkidx" / "security.txt");

    const CliRun refused = cli({"sample", q(disc), "--records", "300", "--seed", "2"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "regdisc-cli: 無法寫入 " + q(disc) +
                               "：資料夾已存在，裡面是一張光碟（加上 --force 才會取代）\n");
    writeFileBytes(dir.path() / "mine" / "notes.txt", "mine\n");
    const CliRun notADisc = cli({"sample", q(dir.path() / "mine"), "--force"});
    EXPECT_EQ(notADisc.status, 2);
    EXPECT_EQ(notADisc.err,
              "regdisc-cli: 無法寫入 " + q(dir.path() / "mine") + "：資料夾已存在，而且不是空的\n");
    EXPECT_EQ(bytesOf(dir.path() / "mine" / "notes.txt"), "mine\n");

    const CliRun replaced = cli({"sample", q(disc), "--records", "300", "--decimal-flag", "Y", "--force"});
    EXPECT_EQ(replaced.status, 0) << replaced.err.toStdString();
    EXPECT_NE(bytesOf(disc / "stkidx" / "security.txt"), security);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"disc", "mine"}));

    for (const char *flag : {"Q", "y", ""}) {
        const CliRun wrong = cli({"sample", q(dir.path() / "flag"), "--decimal-flag", flag});
        EXPECT_EQ(wrong.status, 2) << flag;
        EXPECT_EQ(wrong.err,
                  QString("regdisc-cli: --decimal-flag takes Y (quantities carry two decimals) or N "
                          "(whole numbers), not '") +
                      flag + "'\n");
    }

    // SIGTERM while the disc is written: no disc, no temporary folder.
    TemporaryWatch watch(dir.path());
    QProcess process;
    process.start(REGDISC_CLI, {"sample", q(dir.path() / "big"), "--records", "2000000"});
    ASSERT_TRUE(watch.await(process));
    kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"disc", "mine"}));
}
