// CSV as RFC 4180 describes it (comma, CR LF, fields with a comma, quote or line break in
// double quotes, quotes doubled), in UTF-8 with a byte-order mark so that spreadsheet
// programs open the Chinese text as Chinese. Files are written under temporary names and
// put in place together when the last table is complete.
#include "output/table_writer.h"
#include "platform/progress.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define write _write
#else
#include <unistd.h>
#endif

namespace regdisc {

namespace {

constexpr size_t kBufferSize = 1 << 20;

class CsvWriter : public TableWriter {
public:
    CsvWriter(std::filesystem::path path, const std::vector<std::string> &tables, int tableCount,
              const OutputOptions &options)
        : path_(std::move(path)), many_(tableCount > 1), options_(options)
    {
        if (!many_) {
            tables_.push_back({std::string(), std::make_unique<OutputFile>(path_, options_)});
        } else if (!tables.empty()) {
            for (const std::string &name : tables)
                tables_.push_back({name, std::make_unique<OutputFile>(tableTarget(name), options_)});
        } else {
            // The files' names come with their tables: the folder is checked now.
            OutputOptions probe = options_;
            probe.replace = true;
            OutputFile(path_, probe);
        }
    }
    explicit CsvWriter(std::FILE *stream) : stream_(stream) {}

    void beginTable(std::string_view name, TextView, const std::vector<TableColumn> &columns) override
    {
        line_.clear();
        if (!stream_) {
            endTable();
            TableFile *table = nullptr;
            for (TableFile &t : tables_)
                if (!t.begun && (!many_ || t.name == name))
                    table = &t;
            if (!table && !many_ && !tables_.empty())
                table = &tables_.front();  // a second table in one file goes on after the first
            if (!table) {
                tables_.push_back({std::string(name),
                                   std::make_unique<OutputFile>(tableTarget(std::string(name)), options_)});
                table = &tables_.back();
            }
            if (!table->begun) {
                table->begun = true;
                line_ = "\xEF\xBB\xBF";
            }
            current_ = table->file.get();
        }
        for (size_t i = 0; i < columns.size(); ++i) {
            if (i > 0)
                line_ += ',';
            appendField(columns[i].label);
        }
        endLine();
    }

    void writeRow(const std::vector<Cell> &cells) override
    {
        line_.clear();
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i > 0)
                line_ += ',';
            appendField(cells[i].text);
        }
        endLine();
    }

    void endTable() override
    {
        if (stream_)
            return;
        flush();
        current_ = nullptr;
    }

    void finish() override
    {
        if (stream_) {
            if (std::fflush(stream_) != 0)
                throw OutputError(std::string("無法寫入標準輸出：") + toUtf8(outputReason(errno)));
            return;
        }
        endTable();
        NoProgress nobody;
        Progress &progress = options_.progress ? *options_.progress : nobody;
        progress.begin(u"寫入檔案…", 0);
        std::vector<OutputFile *> files;
        for (TableFile &t : tables_)
            if (t.begun) {
                t.file->complete();
                files.push_back(t.file.get());
            }
        if (progress.cancelled())
            throw WorkCancelled();  // cancelled before the files were in place: none is
        commitTogether(files);
    }

    std::vector<std::filesystem::path> files() const override
    {
        std::vector<std::filesystem::path> paths;
        for (const TableFile &t : tables_)
            if (t.begun)
                paths.push_back(t.file->target());
        return paths;
    }

private:
    struct TableFile {
        std::string name;
        std::unique_ptr<OutputFile> file;
        bool begun = false;
    };

    std::filesystem::path tableTarget(const std::string &name) const
    {
        if (!many_)
            return path_;
        return path_.parent_path() / (path_.stem().string() + "_" + name + ".csv");
    }

    // The value in UTF-8, in double quotes when it holds a comma, a quote or a line break.
    void appendField(TextView value)
    {
        bool quote = false;
        for (char16_t c : value)
            quote = quote || c == u',' || c == u'"' || c == u'\r' || c == u'\n';
        if (quote)
            line_ += '"';
        for (size_t i = 0; i < value.size(); ++i) {
            char32_t c = value[i];
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < value.size() && value[i + 1] >= 0xDC00 &&
                value[i + 1] < 0xE000)
                c = 0x10000 + ((c - 0xD800) << 10) + (value[++i] - 0xDC00);
            else if (c >= 0xD800 && c < 0xE000)
                c = 0xFFFD;  // a lone surrogate
            if (c == U'"' && quote)
                line_ += '"';
            if (c < 0x80) {
                line_ += static_cast<char>(c);
            } else if (c < 0x800) {
                line_ += static_cast<char>(0xC0 | (c >> 6));
                line_ += static_cast<char>(0x80 | (c & 0x3F));
            } else if (c < 0x10000) {
                line_ += static_cast<char>(0xE0 | (c >> 12));
                line_ += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                line_ += static_cast<char>(0x80 | (c & 0x3F));
            } else {
                line_ += static_cast<char>(0xF0 | (c >> 18));
                line_ += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
                line_ += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                line_ += static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        if (quote)
            line_ += '"';
    }

    void endLine()
    {
        line_ += "\r\n";
        if (stream_) {
            if (std::fwrite(line_.data(), 1, line_.size(), stream_) != line_.size())
                throw OutputError(std::string("無法寫入標準輸出：") + toUtf8(outputReason(errno)));
            return;
        }
        buffer_ += line_;
        if (buffer_.size() >= kBufferSize)
            flush();
    }

    // The buffer written to the current table's temporary file.
    void flush()
    {
        if (!current_ || buffer_.empty())
            return;
        const char *data = buffer_.data();
        size_t left = buffer_.size();
        while (left > 0) {
            const auto n =
                write(current_->descriptor(), data, static_cast<unsigned>(std::min(left, kBufferSize)));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                throw current_->error(n < 0 ? errno : likelyWriteError(current_->temporaryPath()));
            data += n;
            left -= static_cast<size_t>(n);
        }
        buffer_.clear();
    }

    std::filesystem::path path_;
    bool many_ = false;
    OutputOptions options_;
    std::vector<TableFile> tables_;  // std::vector of unique_ptr: stable OutputFile addresses
    OutputFile *current_ = nullptr;
    std::FILE *stream_ = nullptr;
    std::string line_;
    std::string buffer_;
};

}  // namespace

std::unique_ptr<TableWriter> createCsvWriter(const std::filesystem::path &path,
                                             const std::vector<std::string> &tables,
                                             const OutputOptions &options)
{
    return std::make_unique<CsvWriter>(path, tables, static_cast<int>(tables.size()), options);
}

std::unique_ptr<TableWriter> createCsvWriter(const std::filesystem::path &path, int tableCount,
                                             const OutputOptions &options)
{
    return std::make_unique<CsvWriter>(path, std::vector<std::string>{}, tableCount, options);
}

std::unique_ptr<TableWriter> createCsvWriter(std::FILE *stream)
{
    return std::make_unique<CsvWriter>(stream);
}

}  // namespace regdisc
