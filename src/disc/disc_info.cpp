#include "disc/disc_info.h"

#include "platform/codepage.h"
#include "platform/paths.h"

#include <algorithm>
#include <array>

namespace regdisc {

namespace {

constexpr int kValues = 5;
// A disc information file is a few hundred bytes. Blanks may stand between its values, so
// it is read in growing pieces until the five values are settled; a file whose first
// 4 MiB do not hold them is not disc information.
constexpr std::size_t kMaxDiscInfoBytes = 4u << 20;
constexpr std::size_t kFirstPiece = 4u << 10;
constexpr std::size_t kMaxStemLength = 64;

bool isDeviceName(TextView text)
{
    if (text.size() != 3 && text.size() != 4)
        return false;
    Text upper = toUpper(text);
    static constexpr std::array<std::u16string_view, 4> kNames = {u"CON", u"PRN", u"AUX", u"NUL"};
    if (std::find(kNames.begin(), kNames.end(), upper) != kNames.end())
        return true;
    return upper.size() == 4 && (upper.starts_with(u"COM") || upper.starts_with(u"LPT")) &&
           upper[3] >= u'0' && upper[3] <= u'9';
}

}  // namespace

bool isFileNameStem(TextView text)
{
    if (text.empty() || text.size() > kMaxStemLength || isDeviceName(text))
        return false;
    return std::all_of(text.begin(), text.end(), [](char16_t c) {
        if (c < 0x80)
            return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
                   c == u'_' || c == u'-';
        return c >= 0xA0 && c != u'\uFFFD' && !(c >= 0xD800 && c <= 0xDFFF);
    });
}

std::optional<ListValues> discInfoValues(std::string_view bytes, bool atEnd)
{
    ListValues list = readListValues(decodeCp950(bytes), kValues);
    if (!atEnd && !(list.complete && list.settled))
        return std::nullopt;
    return list;
}

bool readDiscInfoFile(const std::filesystem::path &path, DiscInfo &info)
{
    SequentialFile file;
    if (!file.open(path))
        return false;
    std::string bytes;
    std::optional<ListValues> list;
    for (std::size_t piece = kFirstPiece; !list; piece *= 2) {
        const std::size_t want = std::min(piece, kMaxDiscInfoBytes - bytes.size());
        const std::size_t got = file.readMore(bytes, want);
        if (file.failed())
            return false;
        const bool atEnd = got < want;
        list = discInfoValues(bytes, atEnd);
        if (!list && bytes.size() >= kMaxDiscInfoBytes)
            return false;
    }
    if (!list->values.empty() && !isFileNameStem(list->values[0]))
        return false;
    Text *targets[] = {&info.baseName, &info.securityName, &info.dataDate, &info.decimalFlag,
                       &info.productionDate};
    for (size_t i = 0; i < list->values.size(); ++i)
        *targets[i] = list->values[i];
    return list->complete;
}

}  // namespace regdisc
