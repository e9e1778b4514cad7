#include "platform/text_input.h"

namespace regdisc {

namespace {

bool isLineEnd(char16_t c)
{
    return c == u'\r' || c == u'\n';
}

// Skips one line end (CR LF counts as one) at i.
size_t skipLineEnd(TextView text, size_t i)
{
    if (i < text.size() && text[i] == u'\r')
        ++i;
    if (i < text.size() && text[i] == u'\n')
        ++i;
    return i;
}

}  // namespace

ListValues readListValues(TextView text, int count)
{
    ListValues result;
    std::vector<Text> &values = result.values;
    size_t i = 0;
    bool afterComma = false;  // a comma promises one more value, even at the end
    while (static_cast<int>(values.size()) < count) {
        while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
            ++i;
        if (i >= text.size() && !afterComma)
            return result;
        Text value;
        bool settled = false;
        if (i < text.size() && text[i] == u'"') {
            const size_t close = text.find(u'"', i + 1);
            const size_t end = close == TextView::npos ? text.size() : close;
            value = Text(text.substr(i + 1, end - i - 1));
            settled = close != TextView::npos;
            i = close == TextView::npos ? text.size() : close + 1;
            // Anything between the closing quote and the delimiter is passed over.
            while (i < text.size() && text[i] != u',' && !isLineEnd(text[i]))
                ++i;
        } else {
            const size_t start = i;
            while (i < text.size() && text[i] != u',' && !isLineEnd(text[i]))
                ++i;
            value = Text(text.substr(start, i - start));
            value.resize(trimEnd(value, [](char16_t c) { return c == u' ' || c == u'\t'; }).size());
            settled = i < text.size();
        }
        afterComma = i < text.size() && text[i] == u',';
        if (afterComma)
            ++i;
        else
            i = skipLineEnd(text, i);
        values.push_back(std::move(value));
        result.settled = settled;
    }
    result.complete = true;
    return result;
}

void forEachLine(TextView text, const std::function<void(TextView)> &visit)
{
    size_t i = 0;
    while (i < text.size()) {
        const size_t start = i;
        while (i < text.size() && !isLineEnd(text[i]))
            ++i;
        visit(text.substr(start, i - start));
        i = skipLineEnd(text, i);
    }
}

std::vector<Text> readLines(TextView text)
{
    std::vector<Text> lines;
    forEachLine(text, [&](TextView line) { lines.emplace_back(line); });
    return lines;
}

}  // namespace regdisc
