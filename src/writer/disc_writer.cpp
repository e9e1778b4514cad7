#include "writer/disc_writer.h"

#include "engine/record_text.h"
#include "platform/codepage.h"
#include "writer/writer_support.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
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

Text pointerDigits(std::int64_t value, int width)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*lld", width, static_cast<long long>(value));
    if (static_cast<int>(std::char_traits<char>::length(buffer)) != width)
        throw DiscWriteError("number " + std::to_string(value) + " does not fit " + std::to_string(width) +
                             " digits");
    return fromAscii(buffer);
}

fs::path discFilePath(const fs::path &folder, std::string_view sub, TextView name)
{
    const std::string utf8 = toUtf8(name);
    return folder / sub / fs::path(std::u8string(utf8.begin(), utf8.end()));
}

WrittenIndex writeDataSet(const fs::path &folder, TextView baseName, const DataSetSpec &spec,
                          const std::vector<Text> &records, const IndexOptions &options)
{
    DataSetWriter writer(folder, baseName, spec, options);
    for (const Text &record : records)
        writer.add(record);
    return writer.finish(true);
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
    writeFileBytes(discFilePath(folder, "stk", Text(baseName) + u"." + fromAscii(ext)), encodeCp950(text));
}

}  // namespace regdisc
