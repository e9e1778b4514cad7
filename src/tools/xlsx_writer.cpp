// XLSX through libxlsxwriter: a sheet per table, text as text, numbers as numbers in the
// screen's format, the heading row frozen. Rows are streamed to the file (constant memory
// mode), so a register of millions of records takes no more memory than a small one; a
// register longer than a sheet goes on in a second sheet.
#include "platform/shared_library.h"
#include "tools/table_writer.h"

#include <xlsxwriter.h>

#include <algorithm>

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
};

template <typename Function> bool resolve(const SharedLibrary &library, Function &function, const char *name)
{
    function = reinterpret_cast<Function>(library.symbol(name));
    return function != nullptr;
}

// The functions, or an OutputError naming the library that could not be used.
const XlsxApi &xlsxApi()
{
    static const SharedLibrary library(REGDISC_XLSXWRITER_LIBRARY);
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
        return a;
    }();
    if (!api.workbook_new_opt)
        throw OutputError("XLSX files need " + library.fileName() +
                          " (libxlsxwriter), which cannot be loaded");
    return api;
}

class XlsxWriter : public TableWriter {
public:
    explicit XlsxWriter(std::filesystem::path path) : api_(xlsxApi()), path_(std::move(path))
    {
        std::error_code error;
        std::filesystem::remove(path_, error);
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.use_zip64 = LXW_TRUE;
        workbook_ = api_.workbook_new_opt(path_.string().c_str(), &options);
        if (!workbook_)
            throw OutputError("cannot write " + path_.string());
        heading_ = api_.workbook_add_format(workbook_);
        api_.format_set_bold(heading_);
        whole_ = api_.workbook_add_format(workbook_);
        api_.format_set_num_format(whole_, "#,##0");
        decimal_ = api_.workbook_add_format(workbook_);
        api_.format_set_num_format(decimal_, "#,##0.00");
        text_ = api_.workbook_add_format(workbook_);
        api_.format_set_num_format(text_, "@");
    }

    ~XlsxWriter() override
    {
        if (workbook_)
            api_.workbook_close(workbook_);
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
                error = api_.worksheet_write_number(sheet_, row_, col, cell.number,
                                                    columns_[i].decimals > 0 ? decimal_ : whole_);
            else if (cell.text.empty())
                continue;
            else {
                utf8_ = toUtf8(cell.text);
                error = api_.worksheet_write_string(sheet_, row_, col, utf8_.c_str(), nullptr);
            }
            if (error != LXW_NO_ERROR)
                throw OutputError(std::string("XLSX: ") + api_.lxw_strerror(error));
        }
        ++row_;
    }

    void endTable() override {}

    void finish() override
    {
        lxw_workbook *workbook = workbook_;
        workbook_ = nullptr;
        const lxw_error error = api_.workbook_close(workbook);
        if (error != LXW_NO_ERROR)
            throw OutputError("cannot write " + path_.string() + ": " + api_.lxw_strerror(error));
    }

    std::vector<std::filesystem::path> files() const override { return {path_}; }

private:
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
        sheet_ = api_.workbook_add_worksheet(workbook_, toUtf8(name).c_str());
        if (!sheet_)
            throw OutputError("XLSX: cannot add the sheet " + toUtf8(name));
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
    std::filesystem::path path_;
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

std::unique_ptr<TableWriter> createXlsxWriter(const std::filesystem::path &path)
{
    return std::make_unique<XlsxWriter>(path);
}

}  // namespace regdisc
