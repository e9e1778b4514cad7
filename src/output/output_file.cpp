#include "output/output_file.h"

#include "disc/data_folder.h"
#include "platform/paths.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <thread>

#ifndef _WIN32
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace regdisc {

namespace {

// ---------------------------------------------------------------------------------------
// What a signal removes: the temporary files and folders still open, and the child
// processes writing into them. The handler may run at any moment on any thread, so the
// table is a fixed array of atomic pointers, and a path is not freed as soon as it leaves
// the table (the handler may be reading it).

constexpr int kSlots = 256;
std::atomic<const char *> temporaries[kSlots];  // "F<path>" a file, "D<path>" a folder
constexpr int kChildren = 16;
std::atomic<long> children[kChildren];

// A commit in progress defers the signal until its files are all in place (or none is).
std::atomic<int> committing{0};
std::atomic<bool> dying{false};
std::atomic<int> pendingSignal{0};

int enterTemporary(const fs::path &path, bool folder)
{
    const std::string text = (folder ? "D" : "F") + path.string();
    char *copy = static_cast<char *>(std::malloc(text.size() + 1));
    if (!copy)
        return -1;
    std::memcpy(copy, text.c_str(), text.size() + 1);
    for (int i = 0; i < kSlots; ++i) {
        const char *expected = nullptr;
        if (temporaries[i].compare_exchange_strong(expected, copy))
            return i;
    }
    std::free(copy);
    return -1;
}

// A path no longer entered stays allocated for a while after: a handler that took it just
// before may still be reading it. The last kRetired are kept (and reachable), older ones
// freed.
constexpr int kRetired = 1024;
std::atomic<const char *> retired[kRetired];
std::atomic<unsigned> retiredNext{0};

void forgetTemporary(int &slot)
{
    if (slot >= 0) {
        const char *text = temporaries[slot].exchange(nullptr);
        if (text) {
            const unsigned at = retiredNext.fetch_add(1) % kRetired;
            std::free(const_cast<char *>(retired[at].exchange(text)));
        }
    }
    slot = -1;
}

#ifndef _WIN32

void pauseBriefly()
{
    const timespec pause{0, 2'000'000};
    nanosleep(&pause, nullptr);
}

// Removes what a folder holds, with system calls that are safe in a signal handler.
void removeEntries(int dir, int depth)
{
    if (depth > 16)
        return;
    alignas(8) char buffer[4096];
    for (int pass = 0; pass < 64; ++pass) {
        if (lseek(dir, 0, SEEK_SET) < 0)
            return;
        bool any = false;
        for (;;) {
            const long n = syscall(SYS_getdents64, dir, buffer, sizeof buffer);
            if (n <= 0)
                break;
            for (long at = 0; at < n;) {
                struct Entry {
                    std::uint64_t ino;
                    std::int64_t off;
                    unsigned short reclen;
                    unsigned char type;
                    char name[1];
                };
                const auto *entry = reinterpret_cast<const Entry *>(buffer + at);
                at += entry->reclen;
                const char *name = entry->name;
                if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
                    continue;
                any = true;
                if (unlinkat(dir, name, 0) == 0)
                    continue;
                const int sub = openat(dir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                if (sub >= 0) {
                    removeEntries(sub, depth + 1);
                    close(sub);
                }
                unlinkat(dir, name, AT_REMOVEDIR);
            }
        }
        if (!any)
            return;
    }
}

void removeFolderNow(const char *path)
{
    // Threads of the program may still be writing into it: try again until it is empty.
    for (int attempt = 0; attempt < 50; ++attempt) {
        const int dir = open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (dir < 0)
            return;
        removeEntries(dir, 0);
        close(dir);
        if (rmdir(path) == 0 || errno == ENOENT)
            return;
        pauseBriefly();
    }
}

// Everything still open removed, the children ended. Safe in a signal handler.
void removeEverything()
{
    for (auto &child : children) {
        const long pid = child.load();
        if (pid > 0)
            kill(static_cast<pid_t>(pid), SIGKILL);
    }
    for (auto &entry : temporaries) {
        const char *text = entry.load();
        if (!text)
            continue;
        if (text[0] == 'D')
            removeFolderNow(text + 1);
        else
            unlink(text + 1);
    }
}

[[noreturn]] void dieOf(int signal)
{
    removeEverything();
    std::signal(signal, SIG_DFL);
    raise(signal);
    for (;;)
        pauseBriefly();
}

void onSignal(int signal)
{
    const int saved = errno;
    dying.store(true);
    if (committing.load() > 0) {
        // The commit in progress finishes, then removes the rest and ends the program.
        pendingSignal.store(signal);
        errno = saved;
        return;
    }
    removeEverything();
    // The handler was reset on entry (SA_RESETHAND): the signal raised again ends the
    // program as soon as the handler returns.
    raise(signal);
    errno = saved;
}

// A thread that meets a signal in the middle of a commit waits for the end here.
[[noreturn]] void awaitTheEnd()
{
    for (;;) {
        if (const int signal = pendingSignal.exchange(0))
            dieOf(signal);
        pauseBriefly();
    }
}

#endif

// Marks a commit: a signal that arrives meanwhile takes effect once the files are in place.
class CommitGuard {
public:
    CommitGuard()
    {
        committing.fetch_add(1);
#ifndef _WIN32
        if (dying.load())
            awaitTheEnd();
#endif
    }
    ~CommitGuard()
    {
        committing.fetch_sub(1);
#ifndef _WIN32
        if (dying.load())
            awaitTheEnd();
#endif
    }
};

// ---------------------------------------------------------------------------------------

std::string randomSuffix()
{
    static std::atomic<unsigned> counter{0};
    std::random_device device;
    std::mt19937_64 random((static_cast<std::uint64_t>(device()) << 32) ^ device() ^ counter.fetch_add(1));
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string s;
    for (int i = 0; i < 8; ++i)
        s += letters[random() % (sizeof letters - 1)];
    return s;
}

// A temporary name beside `real`: hidden, and short enough for any file system.
fs::path temporaryBeside(const fs::path &real)
{
    std::string name = real.filename().string();
    if (name.size() > 120) {
        size_t cut = 120;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;  // not inside a UTF-8 character
        name.resize(cut);
    }
    return real.parent_path() / ("." + name + "." + randomSuffix() + ".tmp");
}

// The place an output goes: its folder's links resolved (the file's own link too, so that
// a link is written through, not replaced), `..` taken away.
fs::path realTarget(const fs::path &target)
{
    std::error_code error;
    fs::path absolute = fs::absolute(target, error);
    if (error)
        absolute = target;
    const fs::path real = fs::weakly_canonical(absolute, error);
    return error ? absolute.lexically_normal() : real;
}

bool sameFile(const fs::path &a, const fs::path &b)
{
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}

void syncFolder(const fs::path &folder)
{
#ifndef _WIN32
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
#else
    (void)folder;
#endif
}

// Renames without replacing a file that appeared meanwhile.
int renameNoReplace(const fs::path &from, const fs::path &to)
{
#if defined(__linux__) && defined(RENAME_NOREPLACE)
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
#endif
    std::error_code error;
    if (fs::exists(fs::symlink_status(to, error)))
        return EEXIST;
    fs::rename(from, to, error);
    return error.value();
}

int renameReplacing(const fs::path &from, const fs::path &to)
{
    std::error_code error;
    fs::rename(from, to, error);
    return error.value();
}

}  // namespace

// ---------------------------------------------------------------------------------------

Text outputReason(int error)
{
    switch (error) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return u"磁碟空間不足";
    case EFBIG:
        return u"檔案超過系統允許的大小";
    case EACCES:
    case EPERM:
        return u"沒有寫入的權限";
    case EROFS:
        return u"唯讀的檔案系統";
    case ENOENT:
        return u"資料夾不存在";
    case ENOTDIR:
        return u"路徑中有一段不是資料夾";
    case EISDIR:
        return u"這是一個資料夾";
    case ENAMETOOLONG:
        return u"檔名太長";
    case EEXIST:
        return u"檔案已存在";
    case EIO:
        return u"磁碟讀寫錯誤";
    case EMFILE:
    case ENFILE:
        return u"開啟的檔案太多";
#ifdef ELOOP
    case ELOOP:
        return u"符號連結太多層";
#endif
    default:
        return u"系統錯誤 " + fromAscii(std::to_string(error)) + u"（" + fromUtf8(std::strerror(error)) +
               u"）";
    }
}

OutputError outputError(const fs::path &path, TextView reason, OutputError::Kind kind)
{
    return OutputError("無法寫入 " + path.string() + "：" + toUtf8(reason), kind);
}

OutputError outputError(const fs::path &path, int error)
{
    return outputError(path, outputReason(error),
                       error == EEXIST ? OutputError::Kind::Exists : OutputError::Kind::System);
}

int likelyWriteError(const fs::path &file)
{
#ifndef _WIN32
    struct statvfs space {};
    if (statvfs(file.parent_path().c_str(), &space) == 0 &&
        static_cast<std::uint64_t>(space.f_bavail) * space.f_frsize < (1u << 20))
        return ENOSPC;
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        return EFBIG;
#else
    (void)file;
#endif
    return EIO;
}

std::vector<fs::path> discFolders(TextView folderText)
{
    std::vector<fs::path> folders;
    for (const TextView sub : {TextView(u"stk"), TextView(u"stkidx")})
        folders.push_back(resolvePath(folderPath(folderText, sub), folderText.empty()));
    return folders;
}

void checkOutputTarget(const fs::path &target, const OutputOptions &options)
{
    if (target.empty() || !target.has_filename())
        throw outputError(target, u"這是一個資料夾");
    const fs::path real = realTarget(target);
    std::error_code error;
    const fs::file_status status = fs::status(real, error);
    for (const fs::path &input : options.inputs) {
        if (input.empty())
            continue;
        if (fs::exists(status) && sameFile(real, input))
            throw outputError(target, u"這是輸入的檔案 " + fromUtf8(input.string()) + u"，不能寫在它上面",
                              OutputError::Kind::Input);
        if (!fs::is_directory(input, error))
            continue;
        for (fs::path folder = real.parent_path(); !folder.empty(); folder = folder.parent_path()) {
            if (sameFile(folder, input))
                throw outputError(target,
                                  u"這在光碟的資料夾 " + fromUtf8(input.string()) + u" 內，不能寫在那裡",
                                  OutputError::Kind::Input);
            if (folder == folder.parent_path())
                break;
        }
    }
    if (fs::is_directory(status))
        throw outputError(target, EISDIR);
    const fs::file_status folder = fs::status(real.parent_path(), error);
    if (!fs::exists(folder))
        throw outputError(target, ENOENT);
    if (!fs::is_directory(folder))
        throw outputError(target, ENOTDIR);
    if (fs::exists(status) && !options.replace)
        throw outputError(target, EEXIST);
}

// ---------------------------------------------------------------------------------------

OutputFile::OutputFile(fs::path target, const OutputOptions &options) : target_(std::move(target))
{
    checkOutputTarget(target_, options);
    real_ = realTarget(target_);
    replace_ = options.replace;
#ifndef _WIN32
    struct stat existing {};
    if (stat(real_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        mode_ = static_cast<int>(existing.st_mode & 07777);
    // The name is entered for removal on a signal before the file is made: a signal that
    // comes in between finds it.
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temporary_ = temporaryBeside(real_);
        slot_ = enterTemporary(temporary_, false);
        fd_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0) {
            const int failure = errno;
            forgetTemporary(slot_);
            if (failure != EEXIST)
                throw error(failure);
        }
    }
    if (fd_ < 0)
        throw error(EEXIST);
#else
    temporary_ = temporaryBeside(real_);
    std::FILE *file = std::fopen(temporary_.string().c_str(), "wb");
    if (!file)
        throw error(errno);
    std::fclose(file);
    slot_ = enterTemporary(temporary_, false);
#endif
}

OutputFile::~OutputFile()
{
#ifndef _WIN32
    if (fd_ >= 0)
        close(fd_);
#endif
    if (!committed_) {
        std::error_code ignored;
        fs::remove(temporary_, ignored);
    }
    forgetTemporary(slot_);
}

OutputError OutputFile::error(int error) const
{
    return outputError(target_, error);
}

void OutputFile::complete()
{
    if (fd_ < 0)
        return;
#ifndef _WIN32
    if (mode_ >= 0)
        fchmod(fd_, static_cast<mode_t>(mode_));
    const int fd = fd_;
    fd_ = -1;
    if (fsync(fd) != 0 && errno != EINVAL) {
        const int failure = errno;
        close(fd);
        throw error(failure);
    }
    if (close(fd) != 0)
        throw error(errno);
#else
    fd_ = -1;
#endif
}

void OutputFile::discard()
{
#ifndef _WIN32
    if (fd_ >= 0)
        close(fd_);
#endif
    fd_ = -1;
    std::error_code ignored;
    fs::remove(temporary_, ignored);
}

void OutputFile::commit()
{
    commitTogether({this});
}

void commitTogether(const std::vector<OutputFile *> &files)
{
    for (OutputFile *file : files)
        file->complete();
    CommitGuard guard;
    // What each target held before, kept until every file is in place.
    struct Replaced {
        fs::path backup;
        int slot = -1;
    };
    std::vector<Replaced> replaced(files.size());
    const auto putBack = [&](size_t count) {
        for (size_t i = 0; i < count; ++i) {
            std::error_code ignored;
            if (!replaced[i].backup.empty())
                fs::rename(replaced[i].backup, files[i]->real_, ignored);
            else
                fs::remove(files[i]->real_, ignored);
        }
    };
    const auto dropBackups = [&] {
        for (Replaced &r : replaced) {
            std::error_code ignored;
            if (!r.backup.empty())
                fs::remove(r.backup, ignored);
            forgetTemporary(r.slot);
        }
    };
    if (files.size() > 1) {
        for (size_t i = 0; i < files.size(); ++i) {
            std::error_code error;
            if (!fs::exists(fs::symlink_status(files[i]->real_, error)))
                continue;
            const fs::path backup = temporaryBeside(files[i]->real_);
            fs::create_hard_link(files[i]->real_, backup, error);
            if (!error) {
                replaced[i].backup = backup;
                replaced[i].slot = enterTemporary(backup, false);
            }
        }
    }
    for (size_t i = 0; i < files.size(); ++i) {
        OutputFile &file = *files[i];
        const int failure = file.replace_ ? renameReplacing(file.temporary_, file.real_)
                                          : renameNoReplace(file.temporary_, file.real_);
        if (failure != 0) {
            putBack(i);
            dropBackups();
            throw file.error(failure);
        }
    }
    for (OutputFile *file : files) {
        file->committed_ = true;
        forgetTemporary(file->slot_);
    }
    dropBackups();
    for (OutputFile *file : files)
        syncFolder(file->real_.parent_path());
}

// ---------------------------------------------------------------------------------------

namespace {

// Nothing in the folder but stk and stkidx (whatever their letter case), or nothing at all.
bool holdsOnlyADisc(const fs::path &folder, bool &empty)
{
    std::error_code error;
    empty = true;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder, error)) {
        empty = false;
        std::string name = entry.path().filename().string();
        for (char &c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if ((name != "stk" && name != "stkidx") || !entry.is_directory(error) || entry.is_symlink(error))
            return false;
    }
    return !error;
}

}  // namespace

OutputFolder::OutputFolder(fs::path target, bool replace) : target_(std::move(target)), replace_(replace)
{
    std::error_code error;
    fs::path absolute = fs::absolute(target_, error).lexically_normal();
    if (!absolute.has_filename())
        absolute = absolute.parent_path();
    if (absolute.empty() || absolute == absolute.root_path())
        throw outputError(target_, u"不能寫在根資料夾");
    const fs::path parent = fs::weakly_canonical(absolute.parent_path(), error);
    real_ = (error ? absolute.parent_path() : parent) / absolute.filename();
    const fs::file_status status = fs::symlink_status(real_, error);
    if (fs::is_symlink(status))
        throw outputError(target_, u"這是一個符號連結，不會取代它", OutputError::Kind::Exists);
    if (fs::exists(status)) {
        if (!fs::is_directory(status))
            throw outputError(target_, u"已有同名的檔案", OutputError::Kind::Exists);
        bool empty = false;
        const bool disc = holdsOnlyADisc(real_, empty);
        if (!empty && !(disc && replace_))
            throw outputError(
                target_, disc ? Text(u"資料夾已存在，裡面是一張光碟") : Text(u"資料夾已存在，而且不是空的"),
                disc ? OutputError::Kind::Exists : OutputError::Kind::System);
    }
    fs::create_directories(real_.parent_path(), error);
    if (error)
        throw outputError(target_, error.value());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_ = temporaryBeside(real_);
        slot_ = enterTemporary(temporary_, true);  // before the folder is made, as for files
        if (fs::create_directory(temporary_, error))
            break;
        forgetTemporary(slot_);
        if (error)
            throw outputError(target_, error.value());
        temporary_.clear();
    }
    if (temporary_.empty())
        throw outputError(target_, EEXIST);
}

OutputFolder::~OutputFolder()
{
    if (!committed_) {
        std::error_code ignored;
        fs::remove_all(temporary_, ignored);
    }
    forgetTemporary(slot_);
}

void OutputFolder::commit()
{
#ifndef _WIN32
    const int fd = open(temporary_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
#ifdef __linux__
        if (syncfs(fd) != 0) {
            const int failure = errno;
            close(fd);
            throw outputError(target_, failure);
        }
#else
        sync();
#endif
        close(fd);
    }
#endif
    std::error_code error;
    const fs::file_status status = fs::symlink_status(real_, error);
    bool empty = true;
    const bool disc = fs::is_directory(status) && holdsOnlyADisc(real_, empty);
    fs::path old;  // the folder replaced, removed once the new one is in place
    {
        CommitGuard guard;
        int failure = 0;
        if (!fs::exists(status)) {
            failure = renameNoReplace(temporary_, real_);
        } else if (fs::is_directory(status) && empty) {
            failure = renameReplacing(temporary_, real_);  // an empty folder is replaced at once
        } else if (disc && replace_) {
#if defined(__linux__) && defined(RENAME_EXCHANGE)
            if (renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, real_.c_str(), RENAME_EXCHANGE) == 0) {
                old = temporary_;  // now the old disc, still entered for removal on a signal
            } else
#endif
            {
                old = temporaryBeside(real_);
                failure = renameNoReplace(real_, old);
                if (failure == 0) {
                    failure = renameNoReplace(temporary_, real_);
                    if (failure != 0) {
                        renameNoReplace(old, real_);
                        old.clear();
                    }
                }
            }
        } else {
            failure = EEXIST;
        }
        if (failure != 0)
            throw outputError(target_, failure);
        committed_ = old != temporary_;
        if (committed_)
            forgetTemporary(slot_);
    }
    syncFolder(real_.parent_path());
    if (!old.empty()) {
        fs::remove_all(old, error);
        if (old == temporary_) {
            committed_ = true;
            forgetTemporary(slot_);
        }
    }
}

// ---------------------------------------------------------------------------------------

RemovedOnSignal::RemovedOnSignal(const fs::path &folder) : slot_(enterTemporary(folder, true)) {}

RemovedOnSignal::~RemovedOnSignal()
{
    forgetTemporary(slot_);
}

void endChildOnSignal(long processId)
{
    for (auto &child : children) {
        long expected = 0;
        if (child.compare_exchange_strong(expected, processId))
            return;
    }
}

void forgetChildOnSignal(long processId)
{
    for (auto &child : children) {
        long expected = processId;
        if (child.compare_exchange_strong(expected, 0))
            return;
    }
}

void removeTemporariesOnSignals()
{
#ifndef _WIN32
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        if (sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN)
            continue;  // nohup and the like: an ignored signal stays ignored
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        sigaction(signal, &action, nullptr);
    }
#endif
}

}  // namespace regdisc
