// XLSX through libxlsxwriter: a sheet per table, text as text, numbers as numbers in the
// screen's format, the heading row frozen. Rows are streamed to the file (constant memory
// mode), so a register of millions of records takes no more memory than a small one; a
// register longer than a sheet goes on in a second sheet.
//
// The workbook is written into a temporary file beside the target and put in place when
// complete. Compressing it (workbook_close) is one long call: it runs on a thread of its
// own, so that progress goes on and a cancel is answered at once; a cancelled close is left
// to end on its own, and its temporary file is removed. libxlsxwriter's own error texts
// (English, on standard error) are held back: the writer says what failed, and why.
#include "output/table_writer.h"
#include "platform/progress.h"
#include "platform/shared_library.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace regdisc {

namespace {

constexpr lxw_row_t kRowsPerSheet = LXW_ROW_MAX;

// libxlsxwriter's functions, from the library opened when the first XLSX file is written:
// linked, the library and what it needs (minizip, libcrypto) were a third of every
// regdisc-cli command's start-up.
struct XlsxApi {
    decltype(&::workbook_new_opt) workbook_new_opt = nullptr;
    decltype(&::workbook_add_format) workbook_add_format = nullptr;
    decltype(&::workbook_add_worksheet) workbook_add_worksheet = nullptr;
    decltype(&::workbook_close) workbook_close = nullptr;
    decltype(&::format_set_bold) format_set_bold = nullptr;
    decltype(&::format_set_num_format) format_set_num_format = nullptr;
    decltype(&::worksheet_write_number) worksheet_write_number = nullptr;
    decltype(&::worksheet_write_string) worksheet_write_string = nullptr;
    decltype(&::worksheet_set_column) worksheet_set_column = nullptr;
    decltype(&::worksheet_freeze_panes) worksheet_freeze_panes = nullptr;
    decltype(&::lxw_strerror) lxw_strerror = nullptr;
    decltype(&::lxw_workbook_free) lxw_workbook_free = nullptr;  // optional
};

template <typename Function> bool resolve(const SharedLibrary &library, Function &function, const char *name)
{
    function = reinterpret_cast<Function>(library.symbol(name));
    return function != nullptr;
}

// The functions, or an OutputError naming the library that could not be used.
const XlsxApi &xlsxApi()
{
    // Never closed: a cancelled close may still be running in it when the program ends.
    static const SharedLibrary &library = *new SharedLibrary(REGDISC_XLSXWRITER_LIBRARY);
    static const XlsxApi api = [] {
        XlsxApi a;
        const bool complete = library.isOpen() && resolve(library, a.workbook_new_opt, "workbook_new_opt") &&
                              resolve(library, a.workbook_add_format, "workbook_add_format") &&
                              resolve(library, a.workbook_add_worksheet, "workbook_add_worksheet") &&
                              resolve(library, a.workbook_close, "workbook_close") &&
                              resolve(library, a.format_set_bold, "format_set_bold") &&
                              resolve(library, a.format_set_num_format, "format_set_num_format") &&
                              resolve(library, a.worksheet_write_number, "worksheet_write_number") &&
                              resolve(library, a.worksheet_write_string, "worksheet_write_string") &&
                              resolve(library, a.worksheet_set_column, "worksheet_set_column") &&
                              resolve(library, a.worksheet_freeze_panes, "worksheet_freeze_panes") &&
                              resolve(library, a.lxw_strerror, "lxw_strerror");
        if (!complete)
            a.workbook_new_opt = nullptr;
        else
            resolve(library, a.lxw_workbook_free, "lxw_workbook_free");
        return a;
    }();
    if (!api.workbook_new_opt)
        throw OutputError("XLSX files need " + library.fileName() +
                          " (libxlsxwriter), which cannot be loaded");
    return api;
}

// Standard error held back while libxlsxwriter may write to it: what it writes there is
// dropped when it is its own error or warning text, and passed on otherwise (a message of
// another thread meanwhile).
class QuietStandardError {
public:
    QuietStandardError()
    {
#ifndef _WIN32
        std::lock_guard lock(mutex_);
        if (depth_++ > 0)
            return;
        std::fflush(stderr);
        capture_ = std::tmpfile();
        saved_ = dup(2);
        if (!capture_ || saved_ < 0 || dup2(fileno(capture_), 2) < 0) {
            if (saved_ >= 0)
                close(saved_);
            if (capture_)
                std::fclose(capture_);
            capture_ = nullptr;
            saved_ = -1;
        }
#endif
    }
    ~QuietStandardError()
    {
#ifndef _WIN32
        std::lock_guard lock(mutex_);
        if (--depth_ > 0 || !capture_)
            return;
        std::fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
        std::rewind(capture_);
        char line[4096];
        while (std::fgets(line, sizeof line, capture_))
            if (std::string_view(line).substr(0, 7) != "[ERROR]" &&
                std::string_view(line).substr(0, 9) != "[WARNING]")
                std::fputs(line, stderr);
        std::fclose(capture_);
        capture_ = nullptr;
#endif
    }
    QuietStandardError(const QuietStandardError &) = delete;
    QuietStandardError &operator=(const QuietStandardError &) = delete;

private:
    static inline std::mutex mutex_;
    static inline int depth_ = 0;
    static inline std::FILE *capture_ = nullptr;
    static inline int saved_ = -1;
};

// The close of a workbook on its own thread.
struct Closing {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    bool abandoned = false;
    lxw_error result = LXW_NO_ERROR;
    int error = 0;  // errno after the close
    std::unique_ptr<OutputFile> file;  // an abandoned close's file, removed when it ends
};

std::int64_t fileSize(const std::filesystem::path &path)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0 : static_cast<std::int64_t>(size);
}

class XlsxWriter : public TableWriter {
public:
    XlsxWriter(const std::filesystem::path &path, const OutputOptions &options)
        : api_(xlsxApi()), file_(std::make_unique<OutputFile>(path, options)), progress_(options.progress)
    {
        // libxlsxwriter keeps each sheet's rows in a file of its own until the close: beside
        // the target, so that the space it needs is the target's and a failure shows there.
        folder_ = file_->temporaryPath().parent_path().string();
        lxw_workbook_options workbookOptions{};
        workbookOptions.constant_memory = LXW_TRUE;
        workbookOptions.use_zip64 = LXW_TRUE;
        workbookOptions.tmpdir = folder_.data();
        {
            QuietStandardError quiet;
            workbook_ = api_.workbook_new_opt(file_->temporaryPath().string().c_str(), &workbookOptions);
        }
        if (!workbook_)
            throw file_->error(ENOMEM);
        heading_ = api_.workbook_add_format(workbook_);
        api_.format_set_bold(heading_);
        whole_ = api_.workbook_add_format(workbook_);
        api_.format_set_num_format(whole_, "#,##0");
        decimal_ = api_.workbook_add_format(workbook_);
        api_.format_set_num_format(decimal_, "#,##0.00");
        text_ = api_.workbook_add_format(workbook_);
        api_.format_set_num_format(text_, "@");
    }

    // Destroyed before finish(): nothing is written, the temporary file goes.
    ~XlsxWriter() override
    {
        if (workbook_ && api_.lxw_workbook_free) {
            QuietStandardError quiet;
            api_.lxw_workbook_free(workbook_);
        }
    }

    void beginTable(std::string_view, TextView title, const std::vector<TableColumn> &columns) override
    {
        columns_ = columns;
        title_ = Text(title);
        part_ = 0;
        newSheet();
    }

    void writeRow(const std::vector<Cell> &cells) override
    {
        if (row_ == kRowsPerSheet)
            newSheet();
        for (size_t i = 0; i < cells.size() && i < columns_.size(); ++i) {
            const auto col = static_cast<lxw_col_t>(i);
            const Cell &cell = cells[i];
            lxw_error error;
            if (cell.isNumber)
                // A value's own decimals where they differ from its column's (a batch's
                // quantities come from fields of different rules).
                error = api_.worksheet_write_number(
                    sheet_, row_, col, cell.number,
                    (cell.decimals >= 0 ? cell.decimals : columns_[i].decimals) > 0 ? decimal_ : whole_);
            else if (cell.text.empty())
                continue;
            else {
                utf8_ = toUtf8(cell.text);
                error = api_.worksheet_write_string(sheet_, row_, col, utf8_.c_str(), nullptr);
            }
            if (error != LXW_NO_ERROR)
                throw outputError(file_->target(), u"XLSX：" + fromUtf8(api_.lxw_strerror(error)));
        }
        ++row_;
        checkRows();
    }

    void endTable() override { checkRows(); }

    void finish() override
    {
        checkRows();
        NoProgress nobody;
        Progress &progress = progress_ ? *progress_ : nobody;
        progress.begin(u"寫入檔案…", 0);
        auto closing = std::make_shared<Closing>();
        lxw_workbook *workbook = workbook_;
        workbook_ = nullptr;
        std::thread([closing, workbook, &api = api_] {
            lxw_error result;
            int error;
            {
                QuietStandardError quiet;
                errno = 0;
                result = api.workbook_close(workbook);
                error = errno;
            }
            std::unique_ptr<OutputFile> abandoned;
            {
                std::lock_guard lock(closing->mutex);
                closing->result = result;
                closing->error = error;
                closing->done = true;
                abandoned = std::move(closing->file);
            }
            closing->ended.notify_all();
        }).detach();

        const std::filesystem::path temporary = file_->temporaryPath();
        std::unique_lock lock(closing->mutex);
        while (
            !closing->ended.wait_for(lock, std::chrono::milliseconds(100), [&] { return closing->done; })) {
            const std::int64_t written = fileSize(temporary);
            progress.step(written);
            // The close has opened the file once it holds anything: removed now, it is not
            // made again.
            if (progress.cancelled() && written > 0) {
                closing->abandoned = true;
                file_->discard();
                closing->file = std::move(file_);
                throw WorkCancelled();
            }
        }
        lock.unlock();
        if (closing->result != LXW_NO_ERROR)
            throw closeError(closing->result, closing->error);
        if (progress.cancelled())
            throw WorkCancelled();
        file_->commit();
    }

    std::vector<std::filesystem::path> files() const override { return {file_->target()}; }

private:
    // A sheet's rows go to a file of libxlsxwriter's that it never checks: a row it could
    // not write (no space) is found here, before the rows that would follow.
    void checkRows()
    {
        if (sheet_ && sheet_->optimize_tmpfile && std::ferror(sheet_->optimize_tmpfile)) {
            const int error = errno;
            throw file_->error(error == 0 ? likelyWriteError(file_->temporaryPath()) : error);
        }
    }

    OutputError closeError(lxw_error result, int error) const
    {
        if (result == LXW_ERROR_MEMORY_MALLOC_FAILED)
            return outputError(file_->target(), u"記憶體不足");
        if (error != 0)
            return file_->error(error);
        if (result == LXW_ERROR_CREATING_XLSX_FILE || result == LXW_ERROR_CREATING_TMPFILE ||
            result == LXW_ERROR_ZIP_FILE_OPERATION || result == LXW_ERROR_ZIP_FILE_ADD ||
            result == LXW_ERROR_ZIP_CLOSE)
            return file_->error(likelyWriteError(file_->temporaryPath()));
        return outputError(file_->target(), u"XLSX：" + fromUtf8(api_.lxw_strerror(result)));
    }

    void newSheet()
    {
        // A sheet name has at most 31 characters and none of []:*?/\ .
        Text name = title_;
        for (char16_t &c : name)
            if (std::u16string_view(u"[]:*?/\\").find(c) != std::u16string_view::npos)
                c = u'_';
        ++part_;
        const Text suffix = part_ > 1 ? u" (" + fromAscii(std::to_string(part_)) + u")" : Text();
        name = name.substr(0, static_cast<size_t>(LXW_SHEETNAME_MAX) - suffix.size()) + suffix;
        checkRows();
        {
            QuietStandardError quiet;
            errno = 0;
            sheet_ = api_.workbook_add_worksheet(workbook_, toUtf8(name).c_str());
        }
        if (!sheet_)
            throw file_->error(errno != 0 ? errno : ENOMEM);
        for (size_t i = 0; i < columns_.size(); ++i) {
            const TableColumn &c = columns_[i];
            const double width =
                std::clamp(std::max<int>(c.width, 2 * static_cast<int>(c.label.size())) + 2, 6, 60);
            api_.worksheet_set_column(sheet_, static_cast<lxw_col_t>(i), static_cast<lxw_col_t>(i), width,
                                      c.type == CellType::Text ? text_ : nullptr);
        }
        api_.worksheet_freeze_panes(sheet_, 1, 0);
        for (size_t i = 0; i < columns_.size(); ++i)
            api_.worksheet_write_string(sheet_, 0, static_cast<lxw_col_t>(i),
                                        toUtf8(columns_[i].label).c_str(), heading_);
        row_ = 1;
    }

    const XlsxApi &api_;
    std::unique_ptr<OutputFile> file_;
    Progress *progress_ = nullptr;
    std::string folder_;
    lxw_workbook *workbook_ = nullptr;
    lxw_worksheet *sheet_ = nullptr;
    lxw_format *heading_ = nullptr;
    lxw_format *whole_ = nullptr;
    lxw_format *decimal_ = nullptr;
    lxw_format *text_ = nullptr;
    std::vector<TableColumn> columns_;
    Text title_;
    int part_ = 0;
    lxw_row_t row_ = 0;
    std::string utf8_;
};

}  // namespace

std::unique_ptr<TableWriter> createXlsxWriter(const std::filesystem::path &path, const OutputOptions &options)
{
    return std::make_unique<XlsxWriter>(path, options);
}

}  // namespace regdisc
