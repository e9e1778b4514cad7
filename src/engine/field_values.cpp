#include "engine/field_values.h"

#include "engine/record_text.h"

#include <cmath>
#include <limits>

namespace regdisc {

double Quantity::shown() const
{
    return scale == 0 ? static_cast<double>(units) : static_cast<double>(units) / std::pow(10.0, scale);
}

TextView textOf(const FieldSpec &field, TextView record)
{
    return fieldView(record, field.pos, field.width);
}

Quantity quantityOfText(TextView text, Rule rule, TextView decimalFlag)
{
    Quantity q;
    q.scale = rule == Rule::Quantity && decimalFlag == u"Y" ? 2 : 0;
    // The number between the blanks around it.
    text = trimBoth(text, isHalfWidthBlank);
    size_t from = 0;
    const size_t to = text.size();
    if (from == to)
        return q;  // only blanks: zero
    const bool negative = text[from] == u'-';
    if (text[from] == u'-' || text[from] == u'+')
        ++from;
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    q.wellFormed = from < to;
    for (size_t i = from; i < to && q.wellFormed; ++i) {
        const int d = text[i] - u'0';
        q.wellFormed = d >= 0 && d <= 9 && value <= (kMax - d) / 10;
        if (q.wellFormed)
            value = value * 10 + d;
    }
    q.units = q.wellFormed ? (negative ? -value : value) : wholeNumber(text);
    return q;
}

Quantity quantityOf(const FieldSpec &field, TextView record, TextView decimalFlag)
{
    return quantityOfText(textOf(field, record), field.rule, decimalFlag);
}

}  // namespace regdisc
