#include "tools/export.h"

#include "engine/display_rules.h"
#include "engine/index_layout.h"
#include "engine/record_layout.h"
#include "engine/record_text.h"
#include "platform/codepage.h"
#include "tools/record_scan.h"

#include <algorithm>

namespace regdisc {

namespace {

constexpr size_t kExamples = 5;

void note(std::vector<std::int64_t> &first, std::int64_t recordNo)
{
    if (first.size() < kExamples)
        first.push_back(recordNo);
}

}  // namespace

bool ExportSummary::whole() const
{
    return std::none_of(registers.begin(), registers.end(), [](const RegisterExport &r) {
        return r.state == RegisterState::Unreadable || r.beyondIndex > 0;
    });
}

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
    table.push_back({u"說明", "note", CellType::Text, 0, false, 30});
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
        if (result.state == RegisterState::Present && !std::filesystem::is_regular_file(path, error)) {
            result.state = RegisterState::Unreadable;
            result.message = u"無法開啟資料檔 " + fromUtf8(path.string());
        }
        if (result.state != RegisterState::Present) {
            summary.registers.push_back(result);
            continue;
        }
        const std::vector<Column> columns = recordColumns(*spec, info.decimalFlag);
        writer.beginTable(spec->ext, fromAscii(spec->ext) + u" " + registerName(*spec),
                          exportTableColumns(columns));
        const RecordShape shape(spec->fields, spec->dataN);
        std::vector<Cell> cells(columns.size() + 2);
        Cell &noteCell = cells.back();
        Text record;
        progress.begin(registerName(*spec), 0);
        const ScanResult scan =
            scanRecords(path, spec->data.length, addressableRecords(spec->lookupProfile()), progress,
                        [&](std::int64_t recordNo, std::string_view bytes) {
                            recordText(bytes, spec->dataN, record);
                            const auto bad = std::count(record.begin(), record.end(), u'\uFFFD');
                            if (bad > 0) {
                                result.undecodable += bad;
                                ++result.undecodableRecords;
                            }
                            cells[0].isNumber = true;
                            cells[0].whole = recordNo;
                            cells[0].number = static_cast<double>(recordNo);
                            cells[0].text = fromAscii(std::to_string(recordNo));
                            noteCell.text.clear();
                            // A record whose fields would be read from shifted positions is
                            // written as text, its quantities no numbers, and marked.
                            const bool damaged = !shape.follows(bytes);
                            if (damaged) {
                                ++result.damagedRecords;
                                note(result.firstDamaged, recordNo);
                                noteCell.text = u"記錄損壞：位元組與欄位配置不符，欄位可能錯位";
                            }
                            bool malformed = false;
                            for (size_t i = 0; i < columns.size(); ++i) {
                                columnCell(columns[i], record, context, cells[i + 1]);
                                if (damaged) {
                                    cells[i + 1].isNumber = false;
                                    continue;
                                }
                                if (columns[i].type == CellType::Number && !cells[i + 1].isNumber) {
                                    ++result.malformedQuantities;
                                    malformed = true;
                                    if (!noteCell.text.empty())
                                        noteCell.text += u"；";
                                    noteCell.text += columns[i].label + u"不是整數";
                                }
                            }
                            if (malformed)
                                note(result.firstMalformed, recordNo);
                            writer.writeRow(cells);
                        });
        writer.endTable();
        if (!scan.opened) {
            result.state = RegisterState::Unreadable;
            result.message = u"無法讀取資料檔 " + fromUtf8(path.string());
        }
        result.records = scan.records;
        result.trailingBytes = scan.trailingBytes;
        result.beyondIndex = scan.beyond;
        if (scan.beyond > 0)
            result.message = u"資料檔的筆數超過索引所能指向的 " +
                             formatCount(addressableRecords(spec->lookupProfile())) + u" 筆，其後 " +
                             formatCount(scan.beyond) + u" 筆未匯出";
        summary.registers.push_back(result);
    }
    writer.finish();
    summary.files = writer.files();
    return summary;
}

}  // namespace regdisc
