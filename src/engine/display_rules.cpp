#include "engine/display_rules.h"

#include "engine/record_text.h"

#include <cstdio>
#include <string>

namespace regdisc {

namespace {

Text grouped(const Decimal &d, int places)
{
    const Decimal r = d.rounded(places);
    std::string out;
    const std::string &w = r.whole;
    for (size_t i = 0; i < w.size(); ++i) {
        if (i > 0 && (w.size() - i) % 3 == 0)
            out.push_back(',');
        out.push_back(w[i]);
    }
    if (places > 0)
        out += "." + r.fraction;
    if (r.negative && !r.isZero())
        out.insert(0, 1, '-');
    return fromAscii(out);
}

bool allBlanks(TextView text)
{
    return text.find_first_not_of(u' ') == TextView::npos;
}

}  // namespace

Text formatQuantity(TextView field, TextView decimalFlag)
{
    const Decimal value = parseNumber(field);
    if (decimalFlag == u"Y")
        return grouped(value.shiftedRight(2), 2);
    return grouped(value, 0);
}

Text formatWholeNumber(TextView field)
{
    return grouped(parseNumber(field), 0);
}

Text formatCount(std::int64_t n)
{
    return formatWholeNumber(fromAscii(std::to_string(n)));
}

Text formatSecurity(TextView code, TextView securityName)
{
    return Text(code) + u"  " + Text(securityName);
}

Text formatDate(TextView f)
{
    if (allBlanks(f))
        return {};
    return field(f, 1, 4) + u"/" + field(f, 5, 2) + u"/" + field(f, 7, 2);
}

Text formatBirthDate(TextView flagAndDate)
{
    const Text flag = field(flagAndDate, 1, 1);
    const Text date = field(flagAndDate, 2, 7);
    Text out;
    if (!allBlanks(date))
        out = field(date, 1, 3) + u"/" + field(date, 4, 2) + u"/" + field(date, 6, 2);
    if (flag == u"1")
        out = u"民前" + out;
    return out;
}

Text formatCounters(int oldest, int current, int newest)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d %04d %04d ", oldest, current, newest);
    return fromAscii(buffer);
}

Text applyRule(Rule rule, TextView f, const DisplayContext &context)
{
    switch (rule) {
    case Rule::Text:
        return Text(f);
    case Rule::Quantity:
        return formatQuantity(f, context.decimalFlag);
    case Rule::WholeNumber:
        return formatWholeNumber(f);
    case Rule::Security:
        return formatSecurity(f, context.securityName);
    case Rule::Date:
        return formatDate(f);
    case Rule::BirthDate:
        return formatBirthDate(f);
    }
    return Text(f);
}

}  // namespace regdisc
