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

TextView trimEnd(TextView text, bool (*isBlank)(char16_t))
{
    size_t e = text.size();
    while (e > 0 && isBlank(text[e - 1]))
        --e;
    return text.substr(0, e);
}

TextView trimBoth(TextView text, bool (*isBlank)(char16_t))
{
    text = trimEnd(text, isBlank);
    size_t b = 0;
    while (b < text.size() && isBlank(text[b]))
        ++b;
    return text.substr(b);
}

bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

Text escapeControls(TextView text)
{
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    Text out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c == u'\\') {
            out += u"\\\\";
        } else if (isControl(c)) {
            out += u"\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += c;
        }
    }
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
