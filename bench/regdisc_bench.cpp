// regdisc-bench: the holder register's lookups side by side with SQLite's indexed lookup on
// the same records and the same keys, in one run, so that the ratios hold on a shared and
// noisy machine.
//
//   regdisc-bench load DISC DB        the disc's holder register into a SQLite database
//   regdisc-bench keys DISC OUTDIR    its ID, account and name keys, one file each
//   regdisc-bench run DISC DB [--cold] [--cli=PATH] [--skip=G] [--sqlite-mmap]
//                                     [Google Benchmark flags]
//   regdisc-bench skip-build DISC [--skip=G] [--repetitions=R] [--kind=K]...
//                                     the skip index's build time cold and warm (of KeyKinds
//                                     K, 1 the ID; all by default), its size,
//                                     and how soon a build asked to stop returns
//
// `run` measures, per KeyKind (ID, account, name): the first match of a whole key, a walk
// of 查詢 and 49 × 次筆 over a shared beginning, and a miss; and both command-line tools as
// processes. regdisc goes through the query screen model (what regdisc-cli and the screens
// do, display rules included); SQLite through prepared statements on a table with indexes
// on id, account and name, each lookup a prefix range query reading every column. With
// --skip=G the lookups are measured again with a skip index of spacing G (built once, its
// build time and size on standard error). With --sqlite-mmap SQLite maps its database
// instead of reading it page by page with system calls. With
// --cold the page cache of the disc's files and of the database is dropped before every
// first match (posix_fadvise DONTNEED). Counters per query: read system calls and bytes
// read (/proc/self/io), major page faults (pages of a mapping read from the medium), and
// for regdisc the records it read. After the runs, the medians of
// the repetitions are set side by side as ratios (regdisc / SQLite: below 1 is faster).
#include "datasets/catalogue.h"
#include "engine/record_text.h"
#include "engine/skip_index.h"
#include "screens/main_menu_model.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char **environ;

using namespace regdisc;
namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------------------------------
// The holder register's records as the benchmark uses them.

const DataSetSpec &psm()
{
    return psmDataSet();
}

fs::path dataFilePath(const fs::path &disc, const char *which)
{
    const std::string ext(psm().ext);
    if (std::string_view(which) == "top")
        return disc / "stkidx" / ("X001idxp." + ext);
    if (std::string_view(which) == "detail")
        return disc / "stkidx" / ("X001idxd." + ext);
    return disc / "stk" / ("X001." + ext);
}

// A field's text without the blanks (and ideographic spaces) that fill it.
std::string trimmed(TextView text)
{
    size_t end = text.size();
    while (end > 0 && (text[end - 1] == u' ' || text[end - 1] == u'\u3000'))
        --end;
    return toUtf8(text.substr(0, end));
}

const FieldSpec &fieldOf(std::string_view meaning)
{
    for (const FieldSpec &f : psm().fields)
        if (fieldName(f) == meaning)
            return f;
    throw std::runtime_error("the holder register has no field " + std::string(meaning));
}

// Reads every record of the DataFile in order.
void forEachRecord(const fs::path &disc, const std::function<void(std::int64_t, const Text &)> &visit)
{
    std::ifstream in(dataFilePath(disc, "data"), std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + dataFilePath(disc, "data").string());
    std::string bytes(static_cast<size_t>(psm().data.length), '\0');
    for (std::int64_t n = 1; in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())); ++n)
        visit(n, recordText(bytes, psm().dataN));
}

struct KeyKindCase {
    const char *name;  // id, account, name
    std::u16string_view caption;
    size_t wholeLength;  // characters of a whole key typed for a first match
    size_t walkLength;  // characters of the beginning a walk runs over
    std::string missSuffix;  // makes a whole key one that no record has
};

const std::vector<KeyKindCase> &keyKinds()
{
    static const std::vector<KeyKindCase> kinds = {
        {"id", u"依 統一編號", 10, 2, "~"},
        {"account", u"依 帳號", 11, 4, "~"},
        {"name", u"依 中文戶名", 6, 1, "龘"},
    };
    return kinds;
}

// Keys of records spread over the whole register: whole keys, beginnings and misses.
struct Keys {
    std::vector<std::string> whole, beginning, miss;
};

std::map<std::string, Keys> sampleKeys(const fs::path &disc)
{
    const std::int64_t records =
        static_cast<std::int64_t>(fs::file_size(dataFilePath(disc, "data"))) / psm().data.length;
    if (records < 1)
        throw std::runtime_error("the holder register is empty");
    const int samples = 257;
    std::ifstream in(dataFilePath(disc, "data"), std::ios::binary);
    std::map<std::string, Keys> keys;
    std::string bytes(static_cast<size_t>(psm().data.length), '\0');
    for (int i = 0; i < samples; ++i) {
        const std::int64_t n = 1 + (records - 1) * i / (samples - 1);
        in.seekg(static_cast<std::streamoff>((n - 1) * psm().data.length));
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        const Text record = recordText(bytes, psm().dataN);
        for (const KeyKindCase &kind : keyKinds()) {
            const FieldSpec &f = fieldOf(kind.name);
            const Text value = fromUtf8(trimmed(field(record, f.pos, f.width)));
            Keys &k = keys[kind.name];
            k.whole.push_back(toUtf8(value.substr(0, kind.wholeLength)));
            k.beginning.push_back(toUtf8(value.substr(0, kind.walkLength)));
            k.miss.push_back(toUtf8(value.substr(0, kind.wholeLength)) + kind.missSuffix);
        }
    }
    return keys;
}

// ---------------------------------------------------------------------------------------
// What a query costs in system calls and bytes: this process's /proc/self/io.

struct IoCount {
    double reads = 0;  // read system calls
    double bytes = 0;  // bytes they returned
    double faults = 0;  // major page faults: pages of a mapping read from the medium
};

IoCount ioNow()
{
    IoCount io;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    io.faults = static_cast<double>(usage.ru_majflt);
    std::ifstream in("/proc/self/io");
    std::string name;
    double value = 0;
    while (in >> name >> value) {
        if (name == "syscr:")
            io.reads = value;
        else if (name == "rchar:")
            io.bytes = value;
    }
    return io;
}

void setIoCounters(benchmark::State &state, const IoCount &before, double queries)
{
    const IoCount after = ioNow();
    state.counters["reads"] = benchmark::Counter((after.reads - before.reads) / queries);
    state.counters["bytes"] = benchmark::Counter((after.bytes - before.bytes) / queries);
    state.counters["faults"] = benchmark::Counter((after.faults - before.faults) / queries);
}

// Drops the files' pages from the page cache.
void dropFromCache(const std::vector<fs::path> &files)
{
    for (const fs::path &path : files) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        if (fd >= 0) {
            ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            ::close(fd);
        }
    }
}

// ---------------------------------------------------------------------------------------
// regdisc: the query screen of the holder register, opened as the main menu opens it.

class Messages : public MessageSink {
public:
    void show(const Message &) override { ++shown; }
    int shown = 0;
};

struct RegdiscScreen {
    explicit RegdiscScreen(const fs::path &disc) : menu(messages, fromUtf8(disc.string()))
    {
        if (!menu.checkDataFolder(menu.folderText()) || menu.readFailed())
            throw std::runtime_error("not a disc: " + disc.string());
        screen = menu.openDataSet(psm());
        if (!screen)
            throw std::runtime_error("cannot open the holder register");
    }
    // A skip index of the holder register's three KeyKinds, as the desktop builds one when
    // a screen opens; returns the seconds it took.
    double buildSkipIndex(int spacing, const std::vector<int> &kinds = {},
                          const std::function<bool()> &stopped = {})
    {
        const auto start = std::chrono::steady_clock::now();
        skip = SkipIndex::build(
            psm().lookupProfile(),
            {&menu.slot(psm().top.slot), &menu.slot(psm().detail.slot), &menu.slot(psm().data.slot)}, kinds,
            spacing, stopped);
        screen->setSkipIndex(skip);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    std::int64_t recordsRead()
    {
        return menu.slot(psm().top.slot).readCount() + menu.slot(psm().detail.slot).readCount() +
               menu.slot(psm().data.slot).readCount();
    }
    Messages messages;
    MainMenuModel menu;
    std::unique_ptr<QueryScreenModel> screen;
    std::shared_ptr<const SkipIndex> skip;
};

// ---------------------------------------------------------------------------------------
// SQLite: the same records in one table with indexes on id, account and name.

struct SqliteDb {
    explicit SqliteDb(const fs::path &path, int flags = SQLITE_OPEN_READONLY)
    {
        if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + path.string() + ": " + sqlite3_errmsg(db));
    }
    ~SqliteDb() { sqlite3_close(db); }
    void exec(const std::string &sql)
    {
        char *error = nullptr;
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string text = error ? error : "?";
            sqlite3_free(error);
            throw std::runtime_error(sql + ": " + text);
        }
    }
    sqlite3 *db = nullptr;
};

struct Statement {
    Statement(sqlite3 *db, const std::string &sql)
    {
        if (sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(sql + ": " + sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(stmt); }
    sqlite3_stmt *stmt = nullptr;
};

std::vector<std::string> columnNames()
{
    std::vector<std::string> names;
    for (const FieldSpec &f : psm().fields) {
        std::string name = fieldName(f);
        std::replace(name.begin(), name.end(), '.', '_');
        while (std::find(names.begin(), names.end(), name) != names.end())
            name += "_";
        names.push_back(name);
    }
    return names;
}

void loadSqlite(const fs::path &disc, const fs::path &dbPath)
{
    fs::remove(dbPath);
    SqliteDb db(dbPath, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    db.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;");
    const std::vector<std::string> columns = columnNames();
    std::string create = "CREATE TABLE psm (rec INTEGER PRIMARY KEY";
    std::string insert = "INSERT INTO psm VALUES (?";
    for (const std::string &c : columns) {
        create += ", " + c + " TEXT";
        insert += ", ?";
    }
    db.exec(create + ")");
    db.exec("BEGIN");
    {
        Statement add(db.db, insert + ")");
        forEachRecord(disc, [&](std::int64_t n, const Text &record) {
            sqlite3_bind_int64(add.stmt, 1, n);
            int i = 2;
            for (const FieldSpec &f : psm().fields) {
                const std::string value = trimmed(field(record, f.pos, f.width));
                sqlite3_bind_text(add.stmt, i++, value.data(), static_cast<int>(value.size()),
                                  SQLITE_TRANSIENT);
            }
            if (sqlite3_step(add.stmt) != SQLITE_DONE)
                throw std::runtime_error(std::string("insert: ") + sqlite3_errmsg(db.db));
            sqlite3_reset(add.stmt);
        });
    }
    db.exec("COMMIT");
    db.exec("CREATE INDEX psm_id ON psm(id); CREATE INDEX psm_account ON psm(account); "
            "CREATE INDEX psm_name ON psm(name); ANALYZE;");
}

// The first rows whose column begins with `prefix`, every column read.
int sqliteRange(sqlite3_stmt *stmt, const std::string &prefix)
{
    static const std::string beyond = "\xF4\x8F\xBF\xBF";  // U+10FFFF: after every continuation
    const std::string upper = prefix + beyond;
    sqlite3_bind_text(stmt, 1, prefix.data(), static_cast<int>(prefix.size()), SQLITE_STATIC);
    sqlite3_bind_text(stmt, 2, upper.data(), static_cast<int>(upper.size()), SQLITE_STATIC);
    int rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        ++rows;
        for (int c = 0, n = sqlite3_column_count(stmt); c < n; ++c)
            benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
    }
    sqlite3_reset(stmt);
    return rows;
}

// ---------------------------------------------------------------------------------------
// The benchmark cases.

struct Setup {
    fs::path disc, db, cli;
    bool cold = false;
    bool sqliteMmap = false;  // SQLite reads its database through a mapping, as regdisc does
    int spacing = 0;  // the skip index's spacing; 0: walk without one
    std::map<std::string, Keys> keys;
};

enum class Kind { First, Walk, Miss };

const std::vector<std::string> &inputsOf(const Keys &keys, Kind kind)
{
    return kind == Kind::First ? keys.whole : (kind == Kind::Walk ? keys.beginning : keys.miss);
}

void regdiscCase(benchmark::State &state, const Setup &setup, const KeyKindCase &keyKind, Kind kind,
                 bool skip)
{
    // Cold: the screen is opened afresh before every query, so that none of the files' pages
    // stays mapped into the process (the page cache keeps mapped pages whatever fadvise asks).
    const auto open = [&] {
        auto s = std::make_unique<RegdiscScreen>(setup.disc);
        s->screen->chooseComboItem(keyKind.caption);
        if (skip) {
            static std::shared_ptr<const SkipIndex> built;  // one build serves every case
            if (!built) {
                const double seconds = s->buildSkipIndex(setup.spacing);
                built = s->skip;
                std::fprintf(stderr, "skip index G=%d: %.2f s, %lld points, %.1f MB\n", setup.spacing,
                             seconds, static_cast<long long>(built->points()),
                             static_cast<double>(built->bytes()) / 1e6);
            }
            s->skip = built;
            s->screen->setSkipIndex(built);
        }
        return s;
    };
    std::unique_ptr<RegdiscScreen> s = open();
    std::vector<Text> inputs;
    for (const std::string &input : inputsOf(setup.keys.at(keyKind.name), kind))
        inputs.push_back(fromUtf8(input));
    const std::vector<fs::path> files = {dataFilePath(setup.disc, "top"), dataFilePath(setup.disc, "detail"),
                                         dataFilePath(setup.disc, "data")};
    size_t next = 0;
    double steps = 0, queries = 0, records = 0;
    // What reading the counters itself adds to them.
    const IoCount probeA = ioNow(), probeB = ioNow();
    const IoCount probe{probeB.reads - probeA.reads, probeB.bytes - probeA.bytes};
    IoCount before = ioNow();
    for (auto _ : state) {
        if (setup.cold) {
            state.PauseTiming();
            // The opening's reads (the disc information) are not the query's.
            const IoCount openingBefore = ioNow();
            s.reset();
            s = open();
            dropFromCache(files);
            const IoCount openingAfter = ioNow();
            before.reads += openingAfter.reads - openingBefore.reads + probe.reads;
            before.bytes += openingAfter.bytes - openingBefore.bytes + probe.bytes;
            before.faults += openingAfter.faults - openingBefore.faults;
            state.ResumeTiming();
        }
        QueryScreenModel &screen = *s->screen;
        const std::int64_t recordsBefore = s->recordsRead();
        screen.typeInput(inputs[next++ % inputs.size()]);
        const LookupOutcome outcome = screen.query();
        if ((outcome == LookupOutcome::Shown) != (kind != Kind::Miss)) {
            state.SkipWithError("a lookup did not end as it should");
            break;
        }
        ++steps;
        if (kind == Kind::Walk)
            for (int i = 1; i < 50 && screen.nextEnabled(); ++i) {
                screen.next();
                ++steps;
            }
        records += static_cast<double>(s->recordsRead() - recordsBefore);
        ++queries;
    }
    if (queries > 0) {
        setIoCounters(state, before, queries);
        state.counters["records"] = records / queries;
        state.counters["steps"] = steps / queries;
    }
}

void sqliteCase(benchmark::State &state, const Setup &setup, const KeyKindCase &keyKind, Kind kind)
{
    SqliteDb db(setup.db);
    if (setup.sqliteMmap)
        db.exec("PRAGMA mmap_size = 17179869184");  // the whole database mapped: no read system calls
    const std::string column = keyKind.name;
    Statement stmt(db.db, "SELECT * FROM psm WHERE " + column + " >= ?1 AND " + column + " < ?2 ORDER BY " +
                              column + " LIMIT " + (kind == Kind::Walk ? "50" : "1"));
    const std::vector<std::string> &inputs = inputsOf(setup.keys.at(keyKind.name), kind);
    size_t next = 0;
    double steps = 0, queries = 0;
    const IoCount before = ioNow();
    for (auto _ : state) {
        if (setup.cold) {
            state.PauseTiming();
            sqlite3_db_release_memory(db.db);
            dropFromCache({setup.db});
            state.ResumeTiming();
        }
        const int rows = sqliteRange(stmt.stmt, inputs[next++ % inputs.size()]);
        if ((rows > 0) != (kind != Kind::Miss)) {
            state.SkipWithError("a lookup did not end as it should");
            break;
        }
        steps += std::max(rows, 1);
        ++queries;
    }
    if (queries > 0) {
        setIoCounters(state, before, queries);
        state.counters["steps"] = steps / queries;
    }
}

// A program run to its end with its output thrown away.
int runProcess(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// CPU time of the finished child processes, in microseconds.
double childrenCpu()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return 1e6 * static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

void processCase(benchmark::State &state, const Setup &setup, bool regdisc)
{
    const std::vector<std::string> &ids = setup.keys.at("id").whole;
    size_t next = 0;
    const double cpuBefore = childrenCpu();
    for (auto _ : state) {
        const std::string &id = ids[next++ % ids.size()];
        const int status = regdisc ? runProcess({setup.cli.string(), "query", setup.disc.string(), "psm",
                                                 "--by", "依 統一編號", "--key", id})
                                   : runProcess({"sqlite3", setup.db.string(),
                                                 "SELECT * FROM psm WHERE id >= '" + id + "' AND id < '" +
                                                     id + "\xF4\x8F\xBF\xBF' ORDER BY id LIMIT 1"});
        if (status != 0) {
            state.SkipWithError("the program failed");
            break;
        }
    }
    if (state.iterations() > 0)
        state.counters["child_cpu_us"] =
            (childrenCpu() - cpuBefore) / static_cast<double>(state.iterations());
}

// ---------------------------------------------------------------------------------------
// The ratio table: medians of the repetitions, regdisc / SQLite.

class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(isatty(1) ? OO_Defaults : OO_Tabular) {}
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if ((run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") ||
                (run.run_type == Run::RT_Iteration && run.repetitions <= 1))
                medians_[run.run_name.function_name] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        // Wall time counts waiting for the disc; CPU time is steadier on a busy machine. The
        // process cases' CPU time is the parent's only.
        std::printf("\n%-20s %12s %12s %8s %12s %12s %8s\n", "median, µs", "regdisc", "SQLite", "ratio",
                    "regdisc CPU", "SQLite CPU", "ratio");
        for (const auto &[name, time] : medians_) {
            const size_t slash = name.find('/');
            if (!name.starts_with("regdisc"))
                continue;
            const std::string what = name.substr(slash + 1);
            const auto other = medians_.find("sqlite/" + what);
            if (other == medians_.end())
                continue;
            const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
            const std::string label = name.substr(0, slash) == "regdisc" ? what : what + " (skip)";
            std::printf("%-20s %12.1f %12.1f %7.2fx %12.1f %12.1f %7.2fx\n", label.c_str(), time.real,
                        other->second.real, ratio(time.real, other->second.real), time.cpu, other->second.cpu,
                        ratio(time.cpu, other->second.cpu));
        }
        std::fflush(stdout);
    }

private:
    struct Times {
        double real, cpu;
    };
    std::map<std::string, Times> medians_;
};

// ---------------------------------------------------------------------------------------
// The skip index's build: its time with the page cache dropped (what opening a register
// costs on a fresh disc) and warm, its size, and how soon a build asked to stop returns.

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0.0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

int skipBuild(const fs::path &disc, int spacing, int repetitions, const std::vector<int> &kinds)
{
    const std::vector<fs::path> files = {dataFilePath(disc, "top"), dataFilePath(disc, "detail"),
                                         dataFilePath(disc, "data")};
    std::vector<double> cold, warm, stop;
    long long points = 0;
    double megabytes = 0;
    for (int i = 0; i < repetitions; ++i) {
        {
            dropFromCache(files);
            RegdiscScreen s(disc);  // opened afresh: no page of the files stays mapped
            cold.push_back(s.buildSkipIndex(spacing, kinds));
            warm.push_back(s.buildSkipIndex(spacing, kinds));
            points = static_cast<long long>(s.skip->points());
            megabytes = static_cast<double>(s.skip->bytes()) / 1e6;
        }
        // A build stopped a third of the way: the time from the request to the build's return.
        RegdiscScreen s(disc);
        std::atomic<bool> asked{false};
        std::chrono::steady_clock::time_point askedAt, returnedAt;
        std::thread build([&] {
            s.buildSkipIndex(spacing, kinds, [&] { return asked.load(); });
            returnedAt = std::chrono::steady_clock::now();
        });
        std::this_thread::sleep_for(std::chrono::duration<double>(warm.back() / 3));
        askedAt = std::chrono::steady_clock::now();
        asked = true;
        build.join();
        if (s.skip)
            throw std::runtime_error("a build asked to stop kept an index");
        stop.push_back(std::chrono::duration<double>(returnedAt - askedAt).count());
        std::printf("run %d: cold %.2f s, warm %.2f s, stop %.1f ms\n", i + 1, cold.back(), warm.back(),
                    1e3 * stop.back());
    }
    std::printf("skip index G=%d: %lld points, %.1f MB; medians of %d: build cold %.2f s, warm %.2f s; "
                "stopped after %.1f ms\n",
                spacing, points, megabytes, repetitions, median(cold), median(warm), 1e3 * median(stop));
    return 0;
}

int usage()
{
    std::fprintf(stderr, "usage: regdisc-bench load DISC DB | keys DISC OUTDIR | run DISC DB [--cold] "
                         "[--cli=PATH] [--skip=G] [--sqlite-mmap] [benchmark flags] | skip-build DISC "
                         "[--skip=G] [--repetitions=R] [--kind=K]...\n");
    return 2;
}

}  // namespace

int main(int argc, char *argv[])
{
    try {
        if (argc >= 3 && std::string(argv[1]) == "skip-build") {
            int spacing = SkipIndex::kDefaultSpacing, repetitions = 5;
            std::vector<int> kinds;
            for (int i = 3; i < argc; ++i) {
                const std::string arg = argv[i];
                if (arg.starts_with("--skip="))
                    spacing = std::stoi(arg.substr(7));
                else if (arg.starts_with("--repetitions="))
                    repetitions = std::stoi(arg.substr(14));
                else if (arg.starts_with("--kind="))
                    kinds.push_back(std::stoi(arg.substr(7)));
                else
                    return usage();
            }
            return skipBuild(argv[2], spacing, repetitions, kinds);
        }
        if (argc < 4)
            return usage();
        const std::string mode = argv[1];
        if (mode == "load") {
            loadSqlite(argv[2], argv[3]);
            return 0;
        }
        if (mode == "keys") {
            const fs::path out = argv[3];
            fs::create_directories(out);
            std::map<std::string, std::ofstream> files;
            for (const KeyKindCase &kind : keyKinds())
                files[kind.name].open(out / (std::string(kind.name) + ".txt"), std::ios::binary);
            forEachRecord(argv[2], [&](std::int64_t, const Text &record) {
                for (const KeyKindCase &kind : keyKinds()) {
                    const FieldSpec &f = fieldOf(kind.name);
                    files[kind.name] << toUtf8(field(record, f.pos, f.width)) << '\n';
                }
            });
            return 0;
        }
        if (mode != "run")
            return usage();

        static Setup setup;
        setup.disc = argv[2];
        setup.db = argv[3];
        setup.cli = REGDISC_CLI;
        std::vector<char *> rest = {argv[0]};
        for (int i = 4; i < argc; ++i) {
            const std::string arg = argv[i];
            if (arg == "--cold")
                setup.cold = true;
            else if (arg == "--sqlite-mmap")
                setup.sqliteMmap = true;
            else if (arg.starts_with("--cli="))
                setup.cli = arg.substr(6);
            else if (arg.starts_with("--skip="))
                setup.spacing = std::stoi(arg.substr(7));
            else
                rest.push_back(argv[i]);
        }
        setup.keys = sampleKeys(setup.disc);

        for (const KeyKindCase &kind : keyKinds()) {
            const std::vector<std::pair<const char *, Kind>> cases =
                setup.cold ? std::vector<std::pair<const char *, Kind>>{{"first", Kind::First}}
                           : std::vector<std::pair<const char *, Kind>>{
                                 {"first", Kind::First}, {"walk50", Kind::Walk}, {"miss", Kind::Miss}};
            for (const auto &[label, which] : cases) {
                const std::string what = std::string(label) + (setup.cold ? "-cold/" : "/") + kind.name;
                const Kind k = which;
                benchmark::RegisterBenchmark(("regdisc/" + what).c_str(), [&kind,
                                                                           k](benchmark::State &state) {
                    regdiscCase(state, setup, kind, k, false);
                })->Unit(benchmark::kMicrosecond);
                if (setup.spacing > 0)
                    benchmark::RegisterBenchmark(
                        ("regdisc-skip/" + what).c_str(),
                        [&kind, k](benchmark::State &state) { regdiscCase(state, setup, kind, k, true); })
                        ->Unit(benchmark::kMicrosecond);
                benchmark::RegisterBenchmark(("sqlite/" + what).c_str(), [&kind, k](benchmark::State &state) {
                    sqliteCase(state, setup, kind, k);
                })->Unit(benchmark::kMicrosecond);
            }
        }
        if (!setup.cold) {
            benchmark::RegisterBenchmark("regdisc/process-query",
                                         [](benchmark::State &state) { processCase(state, setup, true); })
                ->Unit(benchmark::kMicrosecond)
                ->MinTime(1.0);
            benchmark::RegisterBenchmark("sqlite/process-query",
                                         [](benchmark::State &state) { processCase(state, setup, false); })
                ->Unit(benchmark::kMicrosecond)
                ->MinTime(1.0);
        }

        int count = static_cast<int>(rest.size());
        benchmark::Initialize(&count, rest.data());
        if (benchmark::ReportUnrecognizedArguments(count, rest.data()))
            return usage();
        RatioReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        benchmark::Shutdown();
    } catch (const std::exception &error) {
        std::fprintf(stderr, "regdisc-bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
