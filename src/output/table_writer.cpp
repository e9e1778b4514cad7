#include "output/table_writer.h"

#include <algorithm>
#include <cctype>

namespace regdisc {

std::optional<OutputFormat> outputFormatOf(const std::filesystem::path &path)
{
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == ".csv")
        return OutputFormat::Csv;
    if (ext == ".xlsx")
        return OutputFormat::Xlsx;
    if (ext == ".sqlite" || ext == ".sqlite3" || ext == ".db")
        return OutputFormat::Sqlite;
    return std::nullopt;
}

std::unique_ptr<TableWriter> createTableWriter(OutputFormat format, const std::filesystem::path &path,
                                               const std::vector<std::string> &tables,
                                               const OutputOptions &options)
{
    switch (format) {
    case OutputFormat::Csv:
        return createCsvWriter(path, tables, options);
    case OutputFormat::Xlsx:
        return createXlsxWriter(path, options);
    case OutputFormat::Sqlite:
        return createSqliteWriter(path, options);
    }
    return nullptr;
}

std::unique_ptr<TableWriter> createTableWriter(OutputFormat format, const std::filesystem::path &path,
                                               int tableCount, const OutputOptions &options)
{
    if (format == OutputFormat::Csv)
        return createCsvWriter(path, tableCount, options);
    return createTableWriter(format, path, std::vector<std::string>{}, options);
}

}  // namespace regdisc
