#include "writer/disc_writer.h"

#include "engine/record_text.h"
#include "platform/codepage.h"
#include "platform/collation.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <vector>

namespace regdisc {

namespace fs = std::filesystem;

namespace {

constexpr char16_t kIdeographicSpace = u'\u3000';

// Whether a character has a code page 950 form; remembered, as a disc has millions of them.
bool encodable(char16_t c)
{
    static std::vector<signed char> known(0x10000, -1);
    signed char &k = known[c];
    if (k < 0) {
        bool exact = false;
        encodeCp950(TextView(&c, 1), &exact);
        k = exact ? 1 : 0;
    }
    return k == 1;
}

Text digits(std::int64_t value, int width)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*lld", width, static_cast<long long>(value));
    if (static_cast<int>(std::char_traits<char>::length(buffer)) != width)
        throw DiscWriteError("number " + std::to_string(value) + " does not fit " + std::to_string(width) +
                             " digits");
    return fromAscii(buffer);
}

}  // namespace

Text fitField(TextView value, int width, bool doubleByte)
{
    Text out;
    for (char16_t c : value) {
        if (static_cast<int>(out.size()) == width)
            break;
        if (doubleByte) {
            if (c == u' ')
                c = kIdeographicSpace;
            else if (c > 0x20 && c < 0x7F)
                c = static_cast<char16_t>(c - 0x20 + 0xFF00);
            else if (c < 0x80 || !encodable(c))
                c = u'？';
        } else if (c >= 0x80 || c < 0x20) {
            c = u'?';
        }
        out.push_back(c);
    }
    out.resize(static_cast<size_t>(width), doubleByte ? kIdeographicSpace : u' ');
    return out;
}

RecordBuilder::RecordBuilder(int characters) : text_(static_cast<size_t>(characters), u' ') {}

RecordBuilder &RecordBuilder::put(int pos, int width, TextView value, bool doubleByte)
{
    const Text fitted = fitField(value, width, doubleByte);
    text_.replace(static_cast<size_t>(pos - 1), static_cast<size_t>(width), fitted);
    text_.resize(std::max(text_.size(), static_cast<size_t>(pos - 1 + width)), u' ');
    return *this;
}

std::string encodeRecord(TextView text, int length)
{
    const std::string bytes = encodeCp950(text);
    if (static_cast<int>(bytes.size()) != length)
        throw DiscWriteError("a record encodes to " + std::to_string(bytes.size()) + " bytes instead of " +
                             std::to_string(length));
    return bytes;
}

Text detailKey(const KeyKindSpec &kind, TextView recordText)
{
    return fitField(field(recordText, kind.sourcePos, kind.keyWidth), kind.keyWidth, kind.doubleByte);
}

void writeFileBytes(const fs::path &path, std::string_view bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::out | std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw DiscWriteError("cannot write " + path.string());
}

namespace {

fs::path filePath(const fs::path &folder, std::string_view sub, TextView name)
{
    const std::string utf8 = toUtf8(name);
    return folder / sub / fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// The order of a chain: ascending keys under the KeyKind's comparison, equal keys in
// record order.
std::vector<std::int64_t> chainOrder(const KeyKindSpec &kind, const std::vector<Text> &keys)
{
    std::vector<std::int64_t> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    if (kind.lookup == Comparison::Binary) {
        std::stable_sort(order.begin(), order.end(), [&](auto a, auto b) {
            return keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)];
        });
    } else {
        std::vector<std::string> sortKeys;
        sortKeys.reserve(keys.size());
        for (const Text &k : keys)
            sortKeys.push_back(textSortKey(k));
        std::stable_sort(order.begin(), order.end(), [&](auto a, auto b) {
            return sortKeys[static_cast<size_t>(a)] < sortKeys[static_cast<size_t>(b)];
        });
    }
    return order;
}

}  // namespace

WrittenIndex writeDataSet(const fs::path &folder, TextView baseName, const DataSetSpec &spec,
                          const std::vector<Text> &records, const IndexOptions &options)
{
    const auto count = static_cast<std::int64_t>(records.size());
    const int pw = spec.pointerWidth;
    const std::int64_t chainEnd = spec.lookupProfile().chainEnd();
    if (count >= chainEnd)
        throw DiscWriteError("too many records for " + std::to_string(pw) + "-digit pointers");
    if (options.blockSize < 1 || options.blockSize > 100 || options.topEntries < 1 ||
        options.topEntries > 100 || options.sectionSize < 0)
        throw DiscWriteError("index sizes out of range");
    const Text ext = fromAscii(spec.ext);

    // DataFile.
    std::string data;
    data.reserve(records.size() * static_cast<size_t>(spec.data.length));
    for (const Text &record : records)
        data += encodeRecord(record, spec.data.length);
    writeFileBytes(filePath(folder, "stk", Text(baseName) + u"." + ext), data);

    const size_t kinds = spec.keyKinds.size();
    std::vector<std::vector<Text>> keys(kinds);
    std::vector<std::vector<std::int64_t>> next(kinds, std::vector<std::int64_t>(records.size(), chainEnd));
    WrittenIndex written;
    for (size_t k = 0; k < kinds; ++k) {
        keys[k].reserve(records.size());
        for (const Text &record : records)
            keys[k].push_back(detailKey(spec.keyKinds[k], record));
        std::vector<std::int64_t> order = chainOrder(spec.keyKinds[k], keys[k]);
        for (size_t i = 0; i + 1 < order.size(); ++i)
            next[k][static_cast<size_t>(order[i])] = order[i + 1] + 1;
        for (auto &entry : order)
            ++entry;  // DetailEntry numbers count from 1
        written.chains.push_back(std::move(order));
    }

    // DetailIndexFile: the keys in KeyKind order, the record number, the next-pointers.
    std::string detail;
    detail.reserve(records.size() * static_cast<size_t>(spec.detail.length));
    for (size_t i = 0; i < records.size(); ++i) {
        RecordBuilder entry(spec.detailN);
        for (size_t k = 0; k < kinds; ++k)
            entry.put(spec.keyKinds[k].keyPos, spec.keyKinds[k].keyWidth, keys[k][i],
                      spec.keyKinds[k].doubleByte);
        entry.put(spec.recordNoPos, pw, digits(static_cast<std::int64_t>(i) + 1, pw));
        for (size_t k = 0; k < kinds; ++k)
            entry.put(spec.keyKinds[k].nextPos, pw, digits(next[k][i], pw));
        detail += encodeRecord(entry.text(), spec.detail.length);
    }
    writeFileBytes(filePath(folder, "stkidx", Text(baseName) + u"idxd." + ext), detail);

    // TopIndexFile: K top records, then the blocks of each KeyKind.
    std::vector<Text> topRecords(kinds);
    std::vector<Text> blocks;
    std::int64_t nextBlockNo = static_cast<std::int64_t>(kinds) + 1;
    for (size_t k = 0; k < kinds; ++k) {
        const KeyKindSpec &kind = spec.keyKinds[k];
        const int kw = kind.topKeyWidth;
        const int w = kw + pw;
        const auto entryText = [&](TextView key, std::int64_t number) {
            return fitField(key, kw, kind.doubleByte) + digits(number, pw);
        };
        const Text unused = fitField(u"", kw, kind.doubleByte) + spec.lookupProfile().emptyMarker();
        const std::vector<std::int64_t> &order = written.chains[k];
        const std::int64_t perBlock = options.blockSize;
        const std::int64_t capacity = perBlock * options.topEntries;
        std::int64_t section = options.sectionSize;
        if (section == 0)
            section = std::max<std::int64_t>(1, (count + capacity - 1) / capacity);
        const std::int64_t sections = (count + section - 1) / section;
        if (sections > capacity)
            throw DiscWriteError("the index cannot hold " + std::to_string(count) + " records");

        written.firstBlock.push_back(nextBlockNo);
        Text top;
        Text block;
        int blockEntries = 0;
        Text lastKey;
        const auto finishBlock = [&] {
            while (blockEntries < 100) {
                block += unused;
                ++blockEntries;
            }
            blocks.push_back(block);
            top += entryText(lastKey, nextBlockNo++);
            block.clear();
            blockEntries = 0;
        };
        for (std::int64_t s = 0; s < sections; ++s) {
            const std::int64_t first = s * section;
            const std::int64_t last = std::min(count, first + section) - 1;
            // The BlockEntry carries the section's greatest key and names its first entry.
            lastKey = keys[k][static_cast<size_t>(order[static_cast<size_t>(last)] - 1)];
            block += entryText(lastKey, order[static_cast<size_t>(first)]);
            if (++blockEntries == perBlock)
                finishBlock();
        }
        if (blockEntries > 0)
            finishBlock();
        while (static_cast<int>(top.size()) < 100 * w)
            top += unused;
        topRecords[k] = top;
    }
    std::string topFile;
    for (const Text &record : topRecords)
        topFile += encodeRecord(record, spec.top.length);
    for (const Text &block : blocks)
        topFile += encodeRecord(block, spec.top.length);
    writeFileBytes(filePath(folder, "stkidx", Text(baseName) + u"idxp." + ext), topFile);
    return written;
}

void writeDiscInfo(const fs::path &folder, const DiscInfo &info)
{
    Text text;
    for (const Text *value :
         {&info.baseName, &info.securityName, &info.dataDate, &info.decimalFlag, &info.productionDate})
        text += *value + u"\r\n";
    writeFileBytes(folder / "stkidx" / "security.txt", encodeCp950(text));
}

void writeListing(const fs::path &folder, TextView baseName, std::string_view ext,
                  const std::vector<Text> &lines)
{
    Text text;
    for (const Text &line : lines)
        text += line + u"\r\n";
    writeFileBytes(filePath(folder, "stk", Text(baseName) + u"." + fromAscii(ext)), encodeCp950(text));
}

}  // namespace regdisc
