#include "engine/record_text.h"

#include "platform/codepage.h"

#include <algorithm>
#include <limits>

namespace regdisc {

Text recordText(std::string_view bytes, int characters)
{
    Text text;
    recordText(bytes, characters, text);
    return text;
}

void recordText(std::string_view bytes, int characters, Text &out)
{
    decodeCp950(bytes, out);
    out.resize(static_cast<size_t>(characters), u' ');
}

Text readRecordText(RecordSource &source, std::int64_t n, int characters)
{
    return recordText(source.readRecord(n), characters);
}

TextView fieldView(TextView text, int pos, int width)
{
    if (pos < 1 || width <= 0 || static_cast<size_t>(pos) > text.size())
        return {};
    return text.substr(static_cast<size_t>(pos - 1), static_cast<size_t>(width));
}

Text field(TextView text, int pos, int width)
{
    return Text(fieldView(text, pos, width));
}

bool Decimal::isZero() const
{
    return whole.find_first_not_of('0') == std::string::npos &&
           fraction.find_first_not_of('0') == std::string::npos;
}

Decimal Decimal::shiftedRight(int places) const
{
    Decimal d = *this;
    std::string w = whole;
    if (static_cast<int>(w.size()) < places + 1)
        w.insert(0, static_cast<size_t>(places + 1) - w.size(), '0');
    d.whole = w.substr(0, w.size() - static_cast<size_t>(places));
    d.fraction = w.substr(w.size() - static_cast<size_t>(places)) + fraction;
    d.whole.erase(0, std::min(d.whole.find_first_not_of('0'), d.whole.size() - 1));
    return d;
}

Decimal Decimal::rounded(int places) const
{
    Decimal d = *this;
    std::string frac = fraction;
    if (static_cast<int>(frac.size()) <= places) {
        frac.append(static_cast<size_t>(places) - frac.size(), '0');
        d.fraction = frac;
        return d;
    }
    const bool up = frac[static_cast<size_t>(places)] >= '5';
    std::string digits = whole + frac.substr(0, static_cast<size_t>(places));
    if (up) {
        int i = static_cast<int>(digits.size()) - 1;
        for (; i >= 0 && digits[static_cast<size_t>(i)] == '9'; --i)
            digits[static_cast<size_t>(i)] = '0';
        if (i < 0)
            digits.insert(0, 1, '1');
        else
            ++digits[static_cast<size_t>(i)];
    }
    d.whole = digits.substr(0, digits.size() - static_cast<size_t>(places));
    d.fraction = digits.substr(digits.size() - static_cast<size_t>(places));
    d.whole.erase(0, std::min(d.whole.find_first_not_of('0'), d.whole.size() - 1));
    return d;
}

Decimal parseNumber(TextView text)
{
    Decimal d;
    std::string whole, fraction;
    bool sign = false, point = false, digit = false;
    for (char16_t c : text) {
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r')
            continue;
        if ((c == u'+' || c == u'-') && !sign && !digit && !point) {
            sign = true;
            d.negative = c == u'-';
        } else if (c >= u'0' && c <= u'9') {
            digit = true;
            (point ? fraction : whole).push_back(static_cast<char>(c));
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    whole.erase(0, whole.find_first_not_of('0'));
    d.whole = whole.empty() ? "0" : whole;
    d.fraction = fraction;
    if (!digit)
        d.negative = false;
    return d;
}

std::int64_t wholeNumber(TextView text)
{
    // Pointers and counts are digits and blanks only: read them directly. Anything else
    // (a sign, a point, another character, more than 18 digits) takes the whole rule.
    std::int64_t plainValue = 0;
    int digits = 0;
    bool plain = true;
    for (char16_t c : text) {
        if (c >= u'0' && c <= u'9') {
            if (++digits > 18) {  // a 19th digit may not fit: the whole rule saturates
                plain = false;
                break;
            }
            plainValue = plainValue * 10 + (c - u'0');
        } else if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r') {
            plain = false;
            break;
        }
    }
    if (plain)
        return plainValue;

    const Decimal d = parseNumber(text).rounded(0);
    if (d.whole.size() > 18)
        return d.negative ? std::numeric_limits<std::int64_t>::min()
                          : std::numeric_limits<std::int64_t>::max();
    const std::int64_t value = std::stoll(d.whole);
    return d.negative ? -value : value;
}

}  // namespace regdisc
