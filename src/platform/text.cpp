#include "platform/text.h"

#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace regdisc {

std::string toUtf8(TextView text)
{
    std::string out;
    icu::UnicodeString(false, text.data(), static_cast<int32_t>(text.size())).toUTF8String(out);
    return out;
}

Text fromUtf8(std::string_view utf8)
{
    const icu::UnicodeString s =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    return Text(s.getBuffer(), static_cast<size_t>(s.length()));
}

Text fromAscii(std::string_view ascii)
{
    return Text(ascii.begin(), ascii.end());
}

Text toUpper(TextView text)
{
    Text out(text);
    for (char16_t &c : out)
        if (!U16_IS_SURROGATE(c))
            c = static_cast<char16_t>(u_toupper(c));
    return out;
}

int printColumns(TextView text)
{
    int columns = 0;
    for (char16_t c : text)
        columns += c < 0x80 ? 1 : 2;
    return columns;
}

}  // namespace regdisc
