// Files the tools write, never lost and never half-written: every file is written under a
// temporary name beside its target (the same folder, so that the rename is atomic), flushed
// to the disk and only then renamed into place. An error, a cancel or a signal (SIGINT,
// SIGTERM, SIGHUP) removes the temporary file and leaves a file that was there as it was.
// An output never replaces one of the run's inputs, nor an existing file unless the user
// said so; what cannot be written is said with its reason, in the words the windows show.
#pragma once

#include "platform/text.h"

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace regdisc {

class Progress;

// An output that cannot be written; what() is the whole message in UTF-8, such as
// "無法寫入 /x/y.csv：磁碟空間不足".
struct OutputError : std::runtime_error {
    enum class Kind {
        System,  // the file system refused (no space, no permission, no such folder, …)
        Exists,  // the file is there and may not be replaced
        Input,  // the output is one of the run's inputs, or lies in the disc's folders
    };
    explicit OutputError(const std::string &message, Kind kind = Kind::System)
        : std::runtime_error(message), kind(kind)
    {
    }
    Kind kind;
};

// The reason of a system error number as the clerk reads it: 磁碟空間不足, 沒有寫入的權限,
// 資料夾不存在, 唯讀的檔案系統, …
Text outputReason(int error);
// "無法寫入 <path>：<reason>".
OutputError outputError(const std::filesystem::path &path, TextView reason,
                        OutputError::Kind kind = OutputError::Kind::System);
OutputError outputError(const std::filesystem::path &path, int error);

// The likely cause of a write that failed without saying why (a library that keeps the
// system's error to itself): no space left where the file goes, a limit on file sizes, or
// else an input/output error.
int likelyWriteError(const std::filesystem::path &file);

// What an output must respect.
struct OutputOptions {
    // An existing file may be replaced. The command line sets it from --force, a window
    // from its save dialog's consent; a caller that says nothing replaces, as writers
    // always have.
    bool replace = true;
    // The run's inputs: files the output must not be, and folders it must not lie in (the
    // list of a batch lookup, the disc's stk and stkidx folders).
    std::vector<std::filesystem::path> inputs;
    // The last phase of a writer (flushing, indexing, compressing) reports here, and stops
    // when it is cancelled. Null: nobody watches.
    Progress *progress = nullptr;
};

// The folders of the disc under a folder box text, inputs of every tool: stk and stkidx.
std::vector<std::filesystem::path> discFolders(TextView folderText);

// Checks a target before any work: OutputError when it is an input or lies in an input
// folder, is a folder, lies in a folder that does not exist, or exists and may not be
// replaced.
void checkOutputTarget(const std::filesystem::path &target, const OutputOptions &options);

// One file written under a temporary name beside its target. The constructor checks the
// target (checkOutputTarget) and creates the temporary file, so that a target that cannot
// be written is known before the work starts; the destructor removes the temporary file
// unless it was put in place.
class OutputFile {
public:
    OutputFile(std::filesystem::path target, const OutputOptions &options);
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    const std::filesystem::path &target() const { return target_; }
    const std::filesystem::path &temporaryPath() const { return temporary_; }
    // The descriptor of the temporary file, open for writing; -1 once completed.
    int descriptor() const { return fd_; }

    // The data on the disk (fsync) and the descriptor closed. OutputError.
    void complete();
    // complete(), then the rename into place. OutputError.
    void commit();

    // The temporary file removed now (a cancelled writer), or left for a writer that may
    // still be writing it: it is removed by the destructor.
    void discard();

    // "無法寫入 <target>：<reason of error>".
    OutputError error(int error) const;

private:
    friend void commitTogether(const std::vector<OutputFile *> &files);
    std::filesystem::path target_;  // the file as the user named it, for messages
    std::filesystem::path real_;  // where it goes: symbolic links of its folder resolved
    std::filesystem::path temporary_;
    int fd_ = -1;
    int mode_ = -1;  // the permissions of the file it replaces
    bool replace_ = false;
    bool committed_ = false;
    int slot_ = -1;  // its entry among the files removed on a signal
};

// Completed files put in place together: all or none. A file that is replaced is kept
// under a temporary name until every file is in place, and put back when one cannot be.
void commitTogether(const std::vector<OutputFile *> &files);

// A folder written under a temporary name beside its target and renamed into place when
// whole (the sample disc). The target may be missing or an empty folder; with `replace`
// also a disc folder (nothing in it but stk and stkidx), which is removed once the new
// folder is in place.
class OutputFolder {
public:
    OutputFolder(std::filesystem::path target, bool replace);
    ~OutputFolder();
    OutputFolder(const OutputFolder &) = delete;
    OutputFolder &operator=(const OutputFolder &) = delete;

    const std::filesystem::path &target() const { return target_; }
    const std::filesystem::path &temporaryPath() const { return temporary_; }
    // Everything in the folder on the disk, then the rename into place. OutputError.
    void commit();

private:
    std::filesystem::path target_;
    std::filesystem::path real_;
    std::filesystem::path temporary_;
    bool replace_ = false;
    bool committed_ = false;
    int slot_ = -1;
};

// A temporary folder of the program's own (not an output) removed when a signal ends the
// program, as long as the object lives.
class RemovedOnSignal {
public:
    explicit RemovedOnSignal(const std::filesystem::path &folder);
    ~RemovedOnSignal();
    RemovedOnSignal(const RemovedOnSignal &) = delete;
    RemovedOnSignal &operator=(const RemovedOnSignal &) = delete;

private:
    int slot_ = -1;
};

// A child process (one that writes into a temporary folder) ended when a signal ends the
// program. The id is forgotten again with forgetChildOnSignal.
void endChildOnSignal(long processId);
void forgetChildOnSignal(long processId);

// On SIGINT, SIGTERM and SIGHUP (where they are not ignored): every temporary file and
// folder still open is removed, the child processes named above are ended, and the program
// ends by the signal as it would have without this. Called once, early in main.
void removeTemporariesOnSignals();

}  // namespace regdisc
