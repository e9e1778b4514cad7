#include "tools/export.h"

#include "engine/record_text.h"
#include "platform/codepage.h"
#include "tools/record_scan.h"

#include <algorithm>

namespace regdisc {

std::vector<TableColumn> exportTableColumns(const std::vector<Column> &columns)
{
    std::vector<TableColumn> table;
    table.push_back({u"筆號", "record_no", CellType::Number, 0, false, 8});
    for (const Column &c : columns) {
        int width = 0;
        for (const FieldSpec *f : c.parts)
            width += f->doubleByte ? 2 * f->width : f->width;
        table.push_back({c.label, c.name, c.type, c.decimals, c.indexed, width});
    }
    return table;
}

ExportSummary exportRegisters(const Disc &disc, const std::vector<const DataSetSpec *> &dataSets,
                              TableWriter &writer, Progress &progress)
{
    ExportSummary summary;
    const DiscInfo &info = disc.info();
    const DisplayContext context{info.decimalFlag, info.securityName};
    for (const DataSetSpec *spec : dataSets) {
        RegisterExport result;
        result.spec = spec;
        result.state = disc.presence(*spec);
        const std::filesystem::path path = disc.dataFilePath(*spec);
        std::error_code error;
        if (result.state == RegisterState::Present && !std::filesystem::is_regular_file(path, error))
            result.state = RegisterState::Unreadable;
        if (result.state != RegisterState::Present) {
            summary.registers.push_back(result);
            continue;
        }
        const std::vector<Column> columns = recordColumns(*spec, info.decimalFlag);
        writer.beginTable(spec->ext, fromAscii(spec->ext) + u" " + registerName(*spec),
                          exportTableColumns(columns));
        std::vector<Cell> cells(columns.size() + 1);
        progress.begin(registerName(*spec), 0);
        const ScanResult scan = scanRecords(
            path, spec->data.length, progress, [&](std::int64_t recordNo, std::string_view bytes) {
                const Text record = recordText(bytes, spec->dataN);
                const auto bad = std::count(record.begin(), record.end(), u'\uFFFD');
                if (bad > 0) {
                    result.undecodable += bad;
                    ++result.undecodableRecords;
                }
                cells[0].isNumber = true;
                cells[0].whole = recordNo;
                cells[0].number = static_cast<double>(recordNo);
                cells[0].text = fromAscii(std::to_string(recordNo));
                for (size_t i = 0; i < columns.size(); ++i)
                    columnCell(columns[i], record, context, cells[i + 1]);
                writer.writeRow(cells);
            });
        writer.endTable();
        if (!scan.opened)
            result.state = RegisterState::Unreadable;
        result.records = scan.records;
        result.trailingBytes = scan.trailingBytes;
        summary.registers.push_back(result);
    }
    writer.finish();
    summary.files = writer.files();
    return summary;
}

}  // namespace regdisc
