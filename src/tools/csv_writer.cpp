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
            appendField(toUtf8(columns[i].label));
        }
        endLine();
    }

    void writeRow(const std::vector<Cell> &cells) override
    {
        line_.clear();
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i > 0)
                line_ += ',';
            appendField(toUtf8(cells[i].text));
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
    void appendField(const std::string &value)
    {
        if (value.find_first_of(",\"\r\n") == std::string::npos) {
            line_ += value;
            return;
        }
        line_ += '"';
        for (char c : value) {
            if (c == '"')
                line_ += '"';
            line_ += c;
        }
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
