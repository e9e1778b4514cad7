// CSV as RFC 4180 describes it (comma, CR LF, fields with a comma, quote or line break in
// double quotes, quotes doubled), in UTF-8 with a byte-order mark so that spreadsheet
// programs open the Chinese text as Chinese.
#include "tools/table_writer.h"

#include <cstdio>

namespace regdisc {

namespace {

class CsvWriter : public TableWriter {
public:
    CsvWriter(std::filesystem::path path, int tableCount) : path_(std::move(path)), many_(tableCount > 1) {}
    explicit CsvWriter(std::FILE *stream) : file_(stream), stream_(true) {}
    ~CsvWriter() override { closeFile(); }

    void beginTable(std::string_view name, TextView, const std::vector<TableColumn> &columns) override
    {
        line_.clear();
        if (!stream_) {
            closeFile();
            std::filesystem::path target = path_;
            if (many_)
                target = path_.parent_path() / (path_.stem().string() + "_" + std::string(name) + ".csv");
            file_ = std::fopen(target.string().c_str(), "wb");
            if (!file_)
                throw OutputError("cannot write " + target.string());
            std::setvbuf(file_, nullptr, _IOFBF, 1 << 20);
            files_.push_back(target);
            line_ = "\xEF\xBB\xBF";
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

    void endTable() override { closeFile(); }

    void finish() override
    {
        closeFile();
        if (failed_)
            throw OutputError("cannot write " + path_.string());
    }

    std::vector<std::filesystem::path> files() const override { return files_; }

private:
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
        if (std::fwrite(line_.data(), 1, line_.size(), file_) != line_.size())
            throw OutputError("cannot write " +
                              (stream_ ? std::string("the output") : files_.back().string()));
    }

    void closeFile()
    {
        if (stream_) {
            if (file_ && std::fflush(file_) != 0)
                failed_ = true;
            return;
        }
        if (file_ && std::fclose(file_) != 0)
            failed_ = true;
        file_ = nullptr;
    }

    std::filesystem::path path_;
    bool many_;
    std::FILE *file_ = nullptr;
    bool stream_ = false;
    std::string line_;
    std::vector<std::filesystem::path> files_;
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<TableWriter> createCsvWriter(const std::filesystem::path &path, int tableCount)
{
    return std::make_unique<CsvWriter>(path, tableCount);
}

std::unique_ptr<TableWriter> createCsvWriter(std::FILE *stream)
{
    return std::make_unique<CsvWriter>(stream);
}

}  // namespace regdisc
