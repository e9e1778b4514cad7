#include "tools/batch.h"

#include "platform/codepage.h"
#include "platform/paths.h"
#include "tools/columns.h"
#include "tools/record_scan.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace regdisc {

namespace {

// A list of a million IDs is a dozen megabytes; a value is a key of a few dozen characters.
constexpr std::size_t kMaxListBytes = 64u << 20;
constexpr std::size_t kMaxValueLength = 200;

// The length of the valid UTF-8 sequence at the start of `bytes`, or 0.
size_t utf8Sequence(std::string_view bytes)
{
    const auto c = static_cast<unsigned char>(bytes[0]);
    const size_t more = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 9;
    if (more > 3 || more >= bytes.size() + (more == 0 ? 1 : 0))
        return 0;
    for (size_t k = 1; k <= more; ++k)
        if ((static_cast<unsigned char>(bytes[k]) >> 6) != 2)
            return 0;
    return more + 1;
}

bool isUtf8(std::string_view bytes)
{
    for (size_t i = 0; i < bytes.size();) {
        const size_t n = utf8Sequence(bytes.substr(i));
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

// Code page 950: bytes below 0x80, and pairs of a lead byte 0x81-0xFE and a trail byte
// 0x40-0x7E or 0xA1-0xFE.
bool isBig5(std::string_view bytes)
{
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    for (size_t i = 0; i < bytes.size();) {
        if (b[i] < 0x80) {
            ++i;
            continue;
        }
        if (b[i] < 0x81 || b[i] > 0xFE || i + 1 >= bytes.size() ||
            !((b[i + 1] >= 0x40 && b[i + 1] <= 0x7E) || (b[i + 1] >= 0xA1 && b[i + 1] <= 0xFE)))
            return false;
        i += 2;
    }
    return true;
}

// The lines of a file's bytes (LF, CR LF or CR).
std::vector<std::string_view> linesOf(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i <= bytes.size(); ++i)
        if (i == bytes.size() || bytes[i] == '\n' || bytes[i] == '\r') {
            lines.push_back(bytes.substr(start, i - start));
            if (i + 1 < bytes.size() && bytes[i] == '\r' && bytes[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    return lines;
}

// Where the bytes of a list break its encoding: UTF-8 when a line with more than ASCII is
// UTF-8, else code page 950. The first line that breaks it is named.
Text encodingError(std::string_view raw)
{
    const std::vector<std::string_view> lines = linesOf(raw);
    bool utf8 = false;
    for (std::string_view line : lines)
        utf8 =
            utf8 || (isUtf8(line) && std::any_of(line.begin(), line.end(), [](char c) { return c & 0x80; }));
    for (size_t n = 0; n < lines.size(); ++n)
        if (utf8 ? !isUtf8(lines[n]) : !isBig5(lines[n]))
            return u"名單第 " + fromAscii(std::to_string(n + 1)) + u" 行無法讀取：" +
                   (utf8 ? Text(u"不是 UTF-8 文字") : Text(u"不是 UTF-8 也不是 Big5 文字"));
    return u"名單無法讀取：不是 UTF-8 也不是 Big5 文字";
}

// A value of the list: the field's bytes decoded, blanks around it dropped.
Text listValue(std::string_view bytes, bool utf8)
{
    return Text(trimBoth(utf8 ? fromUtf8(bytes) : decodeCp950(bytes)));
}

// The rows of a CSV file (RFC 4180) as fields of bytes, the quotes of a quoted field taken
// away. Parsed on the bytes: a quote, a comma and a line break are single bytes below 0x40
// in UTF-8 and in code page 950, never part of another character.
void parseCsvBytes(std::string_view bytes, const std::function<bool(const std::vector<std::string> &)> &row)
{
    std::vector<std::string> fields;
    std::string value;
    bool quoted = false;
    bool any = false;  // the row has begun
    const auto endRow = [&] {
        fields.push_back(std::move(value));
        value.clear();
        const bool more = row(fields);
        fields.clear();
        any = false;
        return more;
    };
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (quoted) {
            if (c == '"' && i + 1 < bytes.size() && bytes[i + 1] == '"') {
                value += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                value += c;
            }
            continue;
        }
        if (c == '"') {
            quoted = true;
            any = true;
        } else if (c == ',') {
            fields.push_back(std::move(value));
            value.clear();
            any = true;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            if ((any || !value.empty()) && !endRow())
                return;
            value.clear();
        } else {
            value += c;
            any = true;
        }
    }
    if (any || !value.empty())
        endRow();
}

Text listOfHeadings(const std::vector<Text> &headings)
{
    Text out;
    for (const Text &h : headings) {
        if (!out.empty())
            out += u"、";
        out += u"「" + Text(trimBoth(h)) + u"」";
    }
    return out;
}

int quantityCount(const DataSetSpec &spec)
{
    return static_cast<int>(std::count_if(spec.fields.begin(), spec.fields.end(), [](const FieldSpec &f) {
        return !f.box.empty() && isQuantity(f);
    }));
}

void setText(Cell &cell, Text text)
{
    cell.text = std::move(text);
    cell.isNumber = false;
    cell.decimals = -1;
}

void setWhole(Cell &cell, std::int64_t value)
{
    cell.text = fromAscii(std::to_string(value));
    cell.isNumber = true;
    cell.number = static_cast<double>(value);
    cell.whole = value;
    cell.decimals = 0;
}

// A quantity as the screen shows it and, when it is a whole number under its rule, as a
// number with the field's own decimals.
void setQuantity(Cell &cell, const LabelledValue &value)
{
    cell.text = value.value;
    cell.isNumber = value.quantity.wellFormed;
    cell.number = value.quantity.shown();
    cell.whole = value.quantity.scale == 0 ? value.quantity.units : 0;
    cell.decimals = value.quantity.scale;
}

// What is wrong with a found record, for the note column.
Text recordNote(const HolderMatch &m)
{
    if (!m.followsLayout)
        return u"記錄損壞：位元組與欄位配置不符，欄位可能錯位";
    Text note;
    for (const LabelledValue &q : m.quantities)
        if (!q.quantity.wellFormed) {
            if (!note.empty())
                note += u"；";
            note += q.label + u"不是整數";
        }
    return note;
}

constexpr size_t kFixedColumns = 9;

}  // namespace

std::optional<std::vector<Text>> readInputList(const std::filesystem::path &path, const ListOptions &options,
                                               Text &error)
{
    const FileContent list = readBoundedFile(path, kMaxListBytes);
    if (list.status != FileContent::Read) {
        std::error_code code;
        const bool exists = std::filesystem::exists(path, code);
        error = u"無法讀取名單 " + fromUtf8(path.string()) +
                (!exists                                ? Text(u"：檔案不存在")
                 : list.status == FileContent::TooLarge ? Text(u"：檔案超過 64 MB")
                                                        : Text(u"：無法開啟"));
        return std::nullopt;
    }
    std::string_view raw = list.bytes;
    if (raw.substr(0, 3) == "\xEF\xBB\xBF")
        raw.remove_prefix(3);
    // UTF-8 or code page 950, decided for the whole file, so that one bad byte cannot turn
    // a UTF-8 list into code page 950 text.
    const bool utf8 = isUtf8(raw);
    if (!utf8 && !isBig5(raw)) {
        error = encodingError(raw);
        return std::nullopt;
    }

    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    std::vector<Text> values;
    const auto keep = [&](std::string_view field, size_t line) {
        Text v = listValue(field, utf8);
        if (v.size() > kMaxValueLength) {
            error = u"名單第 " + fromAscii(std::to_string(line)) + u" 行的值超過 " +
                    fromAscii(std::to_string(kMaxValueLength)) + u" 個字，不是統一編號、帳號或戶名";
            return false;
        }
        if (!v.empty())
            values.push_back(std::move(v));
        return true;
    };
    if (ext != ".csv") {
        const std::vector<std::string_view> lines = linesOf(raw);
        for (size_t n = 0; n < lines.size(); ++n)
            if (!keep(lines[n], n + 1))
                return std::nullopt;
        return values;
    }

    size_t index = 0;
    if (options.noHeader && !options.column.empty()) {
        // Without headings the column is named by its number.
        const std::string &c = options.column;
        const bool number = c.size() < 6 && std::all_of(c.begin(), c.end(), ::isdigit) && std::stoi(c) >= 1;
        if (!number) {
            error = u"沒有標題列的名單以欄號（由 1 起）指定欄位，不能用「" + fromUtf8(c) + u"」";
            return std::nullopt;
        }
        index = static_cast<size_t>(std::stoi(c) - 1);
    }
    size_t row = 0;
    bool failed = false;
    parseCsvBytes(raw, [&](const std::vector<std::string> &fields) {
        if (++row == 1 && !options.noHeader) {
            if (options.column.empty())
                return true;
            const Text wanted = fromUtf8(options.column);
            std::vector<Text> headings;
            for (const std::string &f : fields)
                headings.push_back(listValue(f, utf8));
            const auto it = std::find(headings.begin(), headings.end(), Text(trimBoth(wanted)));
            if (it == headings.end()) {
                error = u"名單沒有「" + wanted + u"」欄；第一列的欄位是 " + listOfHeadings(headings);
                failed = true;
                return false;
            }
            index = static_cast<size_t>(it - headings.begin());
            return true;
        }
        if (index < fields.size() && !keep(fields[index], row)) {
            failed = true;
            return false;
        }
        return true;
    });
    if (failed)
        return std::nullopt;
    if (row == 0 && !options.column.empty() && !options.noHeader) {
        error = u"名單沒有「" + fromUtf8(options.column) + u"」欄：名單是空的";
        return std::nullopt;
    }
    return values;
}

bool BatchSummary::whole() const
{
    return std::none_of(registers.begin(), registers.end(),
                        [](const RegisterMatches &r) { return r.state == RegisterState::Unreadable; });
}

std::vector<TableColumn> batchColumns(const std::vector<const DataSetSpec *> &dataSets)
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
        // Each value carries its own field's decimals.
        columns.push_back({u"數量" + fromAscii(n), "quantity_" + n, CellType::Number, 0, false, 16});
    }
    columns.push_back({u"說明", "note", CellType::Text, 0, false, 30});
    return columns;
}

namespace {

// A row's cells: the input and the result, the register's code and name, the rest empty.
std::vector<Cell> startRow(const std::vector<TableColumn> &columns, TextView input, TextView result,
                           const DataSetSpec *spec)
{
    std::vector<Cell> cells(columns.size());
    setText(cells[0], Text(input));
    setText(cells[1], Text(result));
    if (spec) {
        setText(cells[2], fromAscii(spec->ext));
        setText(cells[3], registerName(*spec));
    }
    return cells;
}

}  // namespace

void writeMatchRow(TableWriter &writer, const std::vector<TableColumn> &columns, TextView input,
                   const HolderMatch &m)
{
    std::vector<Cell> cells = startRow(columns, input, outcomeText(RegisterOutcome::Found), m.spec);
    const size_t quantityPairs = (columns.size() - kFixedColumns - 1) / 2;
    setText(cells[4], m.party);
    setWhole(cells[5], m.recordNo);
    setText(cells[6], m.account);
    setText(cells[7], m.name);
    setText(cells[8], m.id);
    for (size_t q = 0; q < m.quantities.size() && q < quantityPairs; ++q) {
        setText(cells[kFixedColumns + 2 * q], m.quantities[q].label);
        setQuantity(cells[kFixedColumns + 2 * q + 1], m.quantities[q]);
        // The fields of a damaged record may be shifted: no number is taken from them.
        if (!m.followsLayout)
            cells[kFixedColumns + 2 * q + 1].isNumber = false;
    }
    setText(cells.back(), recordNote(m));
    writer.writeRow(cells);
}

void writeUnreadableRow(TableWriter &writer, const std::vector<TableColumn> &columns, TextView input,
                        const RegisterMatches &reg)
{
    std::vector<Cell> cells = startRow(columns, input, outcomeText(RegisterOutcome::Unreadable), reg.spec);
    setText(cells.back(), reg.message);
    writer.writeRow(cells);
}

void writeNotFoundRow(TableWriter &writer, const std::vector<TableColumn> &columns, TextView input)
{
    writer.writeRow(startRow(columns, input, outcomeText(RegisterOutcome::None), nullptr));
}

std::int64_t writeMatchRows(TableWriter &writer, const std::vector<TableColumn> &columns, TextView input,
                            const std::vector<HolderMatch> &matches,
                            const std::vector<const RegisterMatches *> &unreadable)
{
    for (const HolderMatch &m : matches)
        writeMatchRow(writer, columns, input, m);
    for (const RegisterMatches *r : unreadable)
        writeUnreadableRow(writer, columns, input, *r);
    if (!matches.empty() || !unreadable.empty())
        return static_cast<std::int64_t>(matches.size() + unreadable.size());
    writeNotFoundRow(writer, columns, input);
    return 1;
}

namespace {

using Registers = std::vector<std::unique_ptr<Register>>;
// The registers of the list as one thread looks them up: each present register's query.
using Queries = std::vector<RegisterQuery *>;

Queries queriesOf(const Registers &registers)
{
    Queries queries;
    for (const auto &reg : registers)
        queries.push_back(reg && reg->state() == RegisterState::Present ? &reg->query() : nullptr);
    return queries;
}

// One input's answer from the registers: its matches in the registers' order, and the
// registers (by index) whose index met damage while it was looked up.
struct InputAnswer {
    std::vector<HolderMatch> matches;
    std::vector<size_t> damaged;
};

InputAnswer answerOf(const std::vector<const DataSetSpec *> &dataSets, const Queries &queries,
                     const HolderQuery &query, const DiscInfo &info)
{
    InputAnswer answer;
    for (size_t s = 0; s < queries.size(); ++s)
        if (queries[s] && !findInRegister(*dataSets[s], *queries[s], query, info,
                                          [&](const HolderMatch &m) { answer.matches.push_back(m); }))
            answer.damaged.push_back(s);
    return answer;
}

// A list looked up on several threads. Each has queries of its own (a query keeps state
// between its reads) over the registers' open files, whose mapped bytes they share, and
// the skip indexes built for the list. Each thread takes the next chunk of inputs; the
// answers are taken in the list's order, and the threads keep at most a few chunks ahead
// of the taker, so that the answers waiting stay few.
class ParallelAnswers {
public:
    ParallelAnswers(const Disc &disc, const std::vector<const DataSetSpec *> &dataSets, Registers &registers,
                    const std::vector<Text> &inputs, const BatchOptions &options, int threads)
        : disc_(disc), dataSets_(dataSets), inputs_(inputs), options_(options),
          chunk_(std::max<std::size_t>(options.chunk, 1)), chunks_((inputs.size() + chunk_ - 1) / chunk_),
          done_(chunks_.size(), false), ahead_(4 * static_cast<std::size_t>(threads))
    {
        std::vector<std::vector<std::unique_ptr<RegisterQuery>>> owned(static_cast<size_t>(threads));
        for (auto &own : owned)
            for (const auto &reg : registers) {
                own.push_back(reg && reg->state() == RegisterState::Present ? reg->anotherQuery() : nullptr);
                // Files read otherwise than through a mapping: one thread looks the list up.
                if (reg && reg->state() == RegisterState::Present && !own.back())
                    return;
            }
        owned_ = std::move(owned);
        for (const auto &own : owned_) {
            Queries queries;
            for (const auto &q : own)
                queries.push_back(q.get());
            threads_.emplace_back([this, queries] { work(queries); });
        }
    }

    ~ParallelAnswers()
    {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        for (std::thread &t : threads_)
            t.join();
    }

    // Whether the threads run: otherwise the list is looked up on the caller's thread.
    bool running() const { return !threads_.empty(); }

    // Input i's answer, once its chunk is done; inputs are taken in order. Rethrows what
    // stopped a thread.
    InputAnswer take(std::size_t i)
    {
        const std::size_t c = i / chunk_;
        std::unique_lock lock(mutex_);
        if (c != taking_) {
            chunks_[taking_] = {};  // its answers are written
            taking_ = c;
            changed_.notify_all();
        }
        changed_.wait(lock, [&] { return done_[c] || failure_; });
        if (failure_)
            std::rethrow_exception(failure_);
        return std::move(chunks_[c][i - c * chunk_]);
    }

private:
    void work(const Queries &queries)
    {
        try {
            for (;;) {
                std::size_t c = 0;
                {
                    std::unique_lock lock(mutex_);
                    changed_.wait(
                        lock, [&] { return stop_ || next_ >= chunks_.size() || next_ < taking_ + ahead_; });
                    if (stop_ || next_ >= chunks_.size())
                        return;
                    c = next_++;
                }
                std::vector<InputAnswer> answers;
                const std::size_t end = std::min(inputs_.size(), (c + 1) * chunk_);
                for (std::size_t i = c * chunk_; i < end; ++i)
                    answers.push_back(answerOf(
                        dataSets_, queries, {options_.keyClass, inputs_[i], !options_.prefix}, disc_.info()));
                std::lock_guard lock(mutex_);
                chunks_[c] = std::move(answers);
                done_[c] = true;
                changed_.notify_all();
            }
        } catch (...) {
            std::lock_guard lock(mutex_);
            if (!failure_)
                failure_ = std::current_exception();
            changed_.notify_all();
        }
    }

    const Disc &disc_;
    const std::vector<const DataSetSpec *> &dataSets_;
    const std::vector<Text> &inputs_;
    const BatchOptions &options_;
    const std::size_t chunk_;
    std::vector<std::vector<std::unique_ptr<RegisterQuery>>> owned_;  // each thread's queries
    std::vector<std::vector<InputAnswer>> chunks_;
    std::vector<bool> done_;
    const std::size_t ahead_;  // chunks a thread may start beyond the one being taken
    std::size_t next_ = 0;  // the chunk a thread takes next
    std::size_t taking_ = 0;  // the chunk whose answers are being taken
    bool stop_ = false;
    std::exception_ptr failure_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::thread> threads_;
};

int threadsFor(const BatchOptions &options, std::size_t inputs)
{
    if (inputs < options.threadsFrom)
        return 1;
    if (options.threads > 0)
        return options.threads;
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
}

}  // namespace

BatchSummary runBatch(const Disc &disc, const std::vector<Text> &inputs, const BatchOptions &options,
                      TableWriter &writer, Progress &progress)
{
    BatchSummary summary;
    const std::vector<const DataSetSpec *> dataSets =
        options.dataSets.empty() ? selectDataSets({}) : options.dataSets;
    const std::vector<TableColumn> columns = batchColumns(dataSets);
    writer.beginTable("batch", u"批次查詢", columns);

    // Every register opened once for the whole list.
    Registers registers;
    for (const DataSetSpec *spec : dataSets) {
        RegisterMatches r;
        r.spec = spec;
        if (keyKindsOf(*spec, options.keyClass).empty()) {
            r.state = disc.presence(*spec);
            registers.push_back(nullptr);
        } else {
            registers.push_back(disc.openRegister(*spec));
            r.state = registers.back()->state();
            r.message = registers.back()->message();
        }
        summary.registers.push_back(std::move(r));
    }

    if (inputs.size() >= options.skipIndexFrom)
        for (const auto &reg : registers)
            if (reg && reg->state() == RegisterState::Present) {
                std::vector<int> kinds;
                for (const KeyKindSpec *k : keyKindsOf(reg->spec(), options.keyClass))
                    kinds.push_back(k->number);
                progress.begin(u"建立索引 " + registerName(reg->spec()), 0);
                reg->query().buildSkipIndex(kinds, options.skipSpacing);
            }

    std::vector<RegisterMatches> damaged(dataSets.size());  // this input's damaged lookups
    std::vector<const RegisterMatches *> unreadable;
    progress.begin(u"批次查詢", static_cast<std::int64_t>(inputs.size()));
    const int threads = threadsFor(options, inputs.size());
    std::unique_ptr<ParallelAnswers> parallel;
    if (threads > 1)
        parallel = std::make_unique<ParallelAnswers>(disc, dataSets, registers, inputs, options, threads);
    const Queries queries = queriesOf(registers);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const Text &input = inputs[i];
        const InputAnswer answer =
            parallel && parallel->running()
                ? parallel->take(i)
                : answerOf(dataSets, queries, {options.keyClass, input, !options.prefix}, disc.info());
        // A register that could not be opened, or whose index met damage for this input,
        // answers 無法讀取, in the registers' order.
        unreadable.clear();
        for (size_t s = 0; s < registers.size(); ++s) {
            RegisterMatches &state = summary.registers[s];
            if (registers[s] && registers[s]->state() == RegisterState::Unreadable) {
                unreadable.push_back(&state);
            } else if (std::find(answer.damaged.begin(), answer.damaged.end(), s) != answer.damaged.end()) {
                state.state = RegisterState::Unreadable;
                state.message = Text(dataSets[s]->damagedMessage);
                damaged[s] = state;
                damaged[s].message =
                    Text(dataSets[s]->damagedMessage) + u"（查詢此值時索引損壞，結果不完整）";
                unreadable.push_back(&damaged[s]);
            }
        }
        if (!answer.matches.empty())
            ++summary.found;
        else if (!unreadable.empty())
            ++summary.unknown;
        summary.rows += writeMatchRows(writer, columns, input, answer.matches, unreadable);
        stepOrStop(progress, ++summary.inputs);
    }
    writer.endTable();
    writer.finish();
    return summary;
}

}  // namespace regdisc
