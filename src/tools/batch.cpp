#include "tools/batch.h"

#include "platform/codepage.h"
#include "tools/columns.h"
#include "tools/record_scan.h"

#include <algorithm>
#include <cstdlib>

namespace regdisc {

namespace {

constexpr std::size_t kMaxListBytes = 256u << 20;

bool isUtf8(std::string_view bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        int more = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (more < 0 || i + static_cast<size_t>(more) >= bytes.size() + (more == 0 ? 1 : 0))
            return false;
        for (int k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(bytes[i + static_cast<size_t>(k)]) >> 6) != 2)
                return false;
        i += static_cast<size_t>(more) + 1;
    }
    return true;
}

Text trimmed(TextView text)
{
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\u3000'; };
    size_t b = 0;
    size_t e = text.size();
    while (b < e && blank(text[b]))
        ++b;
    while (e > b && blank(text[e - 1]))
        --e;
    return Text(text.substr(b, e - b));
}

int quantityCount(const DataSetSpec &spec)
{
    return static_cast<int>(std::count_if(spec.fields.begin(), spec.fields.end(), [](const FieldSpec &f) {
        return !f.box.empty() && (f.rule == Rule::Quantity || f.rule == Rule::WholeNumber);
    }));
}

void setText(Cell &cell, Text text)
{
    cell.text = std::move(text);
    cell.isNumber = false;
}

void setNumber(Cell &cell, TextView shown, std::int64_t whole)
{
    cell.text = Text(shown);
    cell.isNumber = true;
    std::string digits;
    for (char16_t c : shown)
        if ((c >= u'0' && c <= u'9') || c == u'.' || c == u'-')
            digits.push_back(static_cast<char>(c));
    cell.number = std::strtod(digits.c_str(), nullptr);
    cell.whole = whole != 0 ? whole : static_cast<std::int64_t>(cell.number);
}

}  // namespace

std::vector<std::vector<Text>> parseCsv(TextView text)
{
    std::vector<std::vector<Text>> rows;
    std::vector<Text> row;
    Text value;
    bool quoted = false;
    bool any = false;  // the row has begun
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                value += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                value += c;
            }
            continue;
        }
        if (c == u'"') {
            quoted = true;
            any = true;
        } else if (c == u',') {
            row.push_back(std::move(value));
            value.clear();
            any = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            if (any || !value.empty()) {
                row.push_back(std::move(value));
                rows.push_back(std::move(row));
            }
            row.clear();
            value.clear();
            any = false;
        } else {
            value += c;
            any = true;
        }
    }
    if (any || !value.empty()) {
        row.push_back(std::move(value));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::optional<std::vector<Text>> readInputList(const std::filesystem::path &path, const std::string &column,
                                               std::string &error)
{
    std::string bytes;
    if (!readWholeFile(path, kMaxListBytes, bytes)) {
        error = "cannot read " + path.string();
        return std::nullopt;
    }
    std::string_view raw = bytes;
    if (raw.substr(0, 3) == "\xEF\xBB\xBF")
        raw.remove_prefix(3);
    const Text text = isUtf8(raw) ? fromUtf8(raw) : decodeCp950(raw);

    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    std::vector<Text> values;
    if (ext == ".csv") {
        const std::vector<std::vector<Text>> rows = parseCsv(text);
        size_t index = 0;
        size_t first = 0;
        if (!column.empty()) {
            if (rows.empty()) {
                error = "the list has no column " + column;
                return std::nullopt;
            }
            const Text wanted = fromUtf8(column);
            const auto it = std::find_if(rows[0].begin(), rows[0].end(),
                                         [&](const Text &h) { return trimmed(h) == wanted; });
            if (it == rows[0].end()) {
                error = "the list has no column " + column;
                return std::nullopt;
            }
            index = static_cast<size_t>(it - rows[0].begin());
            first = 1;
        }
        for (size_t r = first; r < rows.size(); ++r)
            if (index < rows[r].size())
                if (Text v = trimmed(rows[r][index]); !v.empty())
                    values.push_back(std::move(v));
    } else {
        size_t start = 0;
        for (size_t i = 0; i <= text.size(); ++i) {
            if (i == text.size() || text[i] == u'\n' || text[i] == u'\r') {
                if (Text v = trimmed(TextView(text).substr(start, i - start)); !v.empty())
                    values.push_back(std::move(v));
                start = i + 1;
            }
        }
    }
    return values;
}

std::vector<TableColumn> batchColumns(const std::vector<const DataSetSpec *> &dataSets, TextView decimalFlag)
{
    std::vector<TableColumn> columns{
        {u"輸入值", "input", CellType::Text, 0, true, 14},
        {u"結果", "result", CellType::Text, 0, false, 8},
        {u"名冊代碼", "register", CellType::Text, 0, false, 4},
        {u"名冊", "register_name", CellType::Text, 0, false, 24},
        {u"當事人", "party", CellType::Text, 0, false, 12},
        {u"筆號", "record_no", CellType::Number, 0, false, 8},
        {u"帳號", "account", CellType::Text, 0, true, 11},
        {u"戶名", "name", CellType::Text, 0, true, 38},
        {u"統一編號", "id", CellType::Text, 0, true, 10},
    };
    int quantities = 0;
    for (const DataSetSpec *spec : dataSets)
        quantities = std::max(quantities, quantityCount(*spec));
    for (int i = 1; i <= quantities; ++i) {
        const std::string n = std::to_string(i);
        columns.push_back({u"數量名稱" + fromAscii(n), "quantity_label_" + n, CellType::Text, 0, false, 8});
        columns.push_back({u"數量" + fromAscii(n), "quantity_" + n, CellType::Number,
                           decimalFlag == u"Y" ? 2 : 0, false, 16});
    }
    return columns;
}

std::int64_t writeMatchRows(TableWriter &writer, const std::vector<TableColumn> &columns, TextView input,
                            const std::vector<HolderMatch> &matches)
{
    std::vector<Cell> cells(columns.size());
    const auto clear = [&] {
        for (Cell &c : cells)
            setText(c, {});
        setText(cells[0], Text(input));
    };
    for (const HolderMatch &m : matches) {
        clear();
        setText(cells[1], u"符合");
        setText(cells[2], fromAscii(m.spec->ext));
        setText(cells[3], registerName(*m.spec));
        setText(cells[4], m.party);
        setNumber(cells[5], fromAscii(std::to_string(m.recordNo)), m.recordNo);
        setText(cells[6], m.account);
        setText(cells[7], m.name);
        setText(cells[8], m.id);
        for (size_t q = 0; q < m.quantities.size() && 10 + 2 * q < cells.size(); ++q) {
            setText(cells[9 + 2 * q], m.quantities[q].label);
            setNumber(cells[10 + 2 * q], m.quantities[q].value, 0);
        }
        writer.writeRow(cells);
    }
    if (!matches.empty())
        return static_cast<std::int64_t>(matches.size());
    clear();
    setText(cells[1], u"查無資料");
    writer.writeRow(cells);
    return 1;
}

BatchSummary runBatch(Disc &disc, const std::vector<Text> &inputs, const BatchOptions &options,
                      TableWriter &writer, Progress &progress)
{
    BatchSummary summary;
    const std::vector<const DataSetSpec *> dataSets =
        options.dataSets.empty() ? selectDataSets({}) : options.dataSets;
    const std::vector<TableColumn> columns = batchColumns(dataSets, disc.info().decimalFlag);

    // Every register's screen opened once for the whole list.
    std::vector<std::unique_ptr<QueryScreenModel>> screens;
    for (const DataSetSpec *spec : dataSets) {
        RegisterMatches r;
        r.spec = spec;
        if (keyKindsOf(*spec, options.keyClass).empty()) {
            r.state = disc.presence(*spec);
            screens.push_back(nullptr);
        } else {
            Disc::Opened opened = disc.openScreen(*spec);
            r.state = opened.state;
            r.message = opened.message;
            screens.push_back(std::move(opened.screen));
        }
        summary.registers.push_back(std::move(r));
    }

    writer.beginTable("batch", u"批次查詢", columns);
    std::vector<HolderMatch> matches;
    progress.begin(u"批次查詢", static_cast<std::int64_t>(inputs.size()));
    for (const Text &input : inputs) {
        matches.clear();
        for (size_t s = 0; s < screens.size(); ++s) {
            const HolderQuery query{options.keyClass, input, !options.prefix};
            if (screens[s] && !findOnScreen(*screens[s], query, matches))
                summary.registers[s].message = Text(dataSets[s]->damagedMessage);
        }
        if (!matches.empty())
            ++summary.found;
        summary.rows += writeMatchRows(writer, columns, input, matches);
        stepOrStop(progress, ++summary.inputs);
    }
    writer.endTable();
    for (auto &screen : screens)
        if (screen)
            screen->close();
    writer.finish();
    return summary;
}

}  // namespace regdisc
