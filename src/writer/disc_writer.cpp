#include "writer/disc_writer.h"

#include "engine/record_text.h"
#include "platform/codepage.h"

#include <algorithm>
#include <fstream>
#include <vector>

namespace regdisc {

namespace fs = std::filesystem;

namespace {

constexpr char16_t kIdeographicSpace = u'\u3000';

// The value laid out in `width` characters at `out`, as fitField() describes.
void fitInto(char16_t *out, int width, TextView value, bool doubleByte)
{
    int n = 0;
    for (char16_t c : value) {
        if (n == width)
            break;
        if (doubleByte) {
            if (c == u' ')
                c = kIdeographicSpace;
            else if (c > 0x20 && c < 0x7F)
                c = static_cast<char16_t>(c - 0x20 + 0xFF00);
            else if (c < 0x80 || !hasCp950Form(c))
                c = u'？';
        } else if (c >= 0x80 || c < 0x20) {
            c = u'?';
        }
        out[n++] = c;
    }
    for (; n < width; ++n)
        out[n] = doubleByte ? kIdeographicSpace : u' ';
}

}  // namespace

Text fitField(TextView value, int width, bool doubleByte)
{
    Text out(static_cast<size_t>(std::max(width, 0)), u' ');
    fitInto(out.data(), width, value, doubleByte);
    return out;
}

RecordBuilder::RecordBuilder(int characters) : text_(static_cast<size_t>(characters), u' ') {}

RecordBuilder::RecordBuilder(int characters, Text &&reused) : text_(std::move(reused))
{
    text_.assign(static_cast<size_t>(characters), u' ');
}

RecordBuilder &RecordBuilder::put(int pos, int width, TextView value, bool doubleByte)
{
    const auto end = static_cast<size_t>(pos - 1 + std::max(width, 0));
    if (text_.size() < end)
        text_.resize(end, u' ');
    fitInto(text_.data() + (pos - 1), width, value, doubleByte);
    return *this;
}

std::string encodeRecord(TextView text, int length)
{
    std::string bytes;
    encodeRecord(text, length, bytes);
    return bytes;
}

void encodeRecord(TextView text, int length, std::string &bytes)
{
    encodeCp950(text, bytes);
    if (static_cast<int>(bytes.size()) != length)
        throw DiscWriteError("a record encodes to " + std::to_string(bytes.size()) + " bytes instead of " +
                             std::to_string(length));
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
    Text out(static_cast<size_t>(std::max(width, 0)), u'0');
    std::int64_t rest = value;
    for (int i = width - 1; i >= 0 && rest > 0; --i, rest /= 10)
        out[static_cast<size_t>(i)] = static_cast<char16_t>(u'0' + rest % 10);
    if (rest != 0 || value < 0)
        throw DiscWriteError("number " + std::to_string(value) + " does not fit " + std::to_string(width) +
                             " digits");
    return out;
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
