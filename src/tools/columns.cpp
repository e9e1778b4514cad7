#include "tools/columns.h"

#include "engine/field_values.h"
#include "engine/record_text.h"

#include <algorithm>
#include <map>
#include <set>

namespace regdisc {

namespace {

const FieldSpec *fieldOfBox(const DataSetSpec &spec, std::string_view box)
{
    for (const FieldSpec &f : spec.fields)
        if (f.box == box)
            return &f;
    return nullptr;
}

}  // namespace

std::string snakeCase(std::string_view meaning)
{
    std::string out;
    for (char c : meaning) {
        if (c >= 'A' && c <= 'Z') {
            if (!out.empty() && out.back() != '_')
                out.push_back('_');
            out.push_back(static_cast<char>(c - 'A' + 'a'));
        } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            out.push_back(c);
        } else if (!out.empty() && out.back() != '_') {
            out.push_back('_');
        }
    }
    return out;
}

Text boxCaption(const DataSetSpec &spec, std::string_view box)
{
    for (const RowSpec &row : spec.rows)
        for (const CellSpec &cell : row)
            for (const BoxSpec &b : cell.boxes)
                if (b.name == box)
                    return Text(trimBoth(cell.caption));
    return {};
}

std::vector<Column> recordColumns(const DataSetSpec &spec, TextView decimalFlag)
{
    // Label captions as the screen shows them.
    std::map<std::string, Text, std::less<>> captions;
    for (const RowSpec &row : spec.rows)
        for (const CellSpec &cell : row)
            if (!cell.label.empty())
                captions.emplace(std::string(cell.label), Text(trimBoth(cell.caption)));

    struct Draft {
        Column column;
        Text heading;  // the printout's heading above it (a party), if any
    };
    std::vector<Draft> drafts;
    std::set<std::string, std::less<>> covered;
    Text heading;
    const auto add = [&](Text label, std::initializer_list<std::string_view> boxes) {
        Draft d;
        d.column.label = std::move(label);
        d.heading = heading;
        for (std::string_view box : boxes)
            if (const FieldSpec *f = fieldOfBox(spec, box)) {
                d.column.parts.push_back(f);
                covered.insert(std::string(box));
            }
        if (!d.column.parts.empty())
            drafts.push_back(std::move(d));
    };
    const auto captionOf = [&](const PrintLineSpec &line) {
        if (!line.text.empty())
            return Text(trimBoth(line.text));
        const auto it = captions.find(line.label);
        return it == captions.end() ? Text() : it->second;
    };

    for (const PrintLineSpec &line : spec.print.lines) {
        switch (line.kind) {
        case PrintLineKind::Blank:
            break;
        case PrintLineKind::Caption:
            heading = Text(trimBoth(line.text));
            break;
        case PrintLineKind::Label:
        case PrintLineKind::OwnWidth:
            add(captionOf(line), {line.box});
            break;
        case PrintLineKind::TwoBoxes:
            add(captionOf(line), {line.box, line.box2});
            break;
        case PrintLineKind::Continuation:
            // The rest of the value above it.
            if (const FieldSpec *f = fieldOfBox(spec, line.box); f && !drafts.empty()) {
                drafts.back().column.parts.push_back(f);
                covered.insert(std::string(line.box));
            }
            break;
        }
    }
    // Shown fields the printout leaves out keep their screen label.
    for (const FieldSpec &f : spec.fields)
        if (!f.box.empty() && !covered.count(f.box))
            add(boxCaption(spec, f.box), {f.box});

    // A label that repeats (帳號 of both parties) takes its party's heading in front.
    std::map<Text, int> uses;
    for (const Draft &d : drafts)
        ++uses[d.column.label];
    std::vector<Column> columns;
    std::set<Text> labels;
    std::set<std::string> names;
    for (Draft &d : drafts) {
        Column &c = d.column;
        if (uses[c.label] > 1 && !d.heading.empty())
            c.label = d.heading + c.label;
        for (int n = 2; labels.count(c.label); ++n)
            c.label += u"(" + fromAscii(std::to_string(n)) + u")";
        labels.insert(c.label);

        // The widest part names the column (the pledge number, not its one-character mark).
        const FieldSpec *main = *std::max_element(c.parts.begin(), c.parts.end(),
                                                  [](auto *a, auto *b) { return a->width < b->width; });
        FieldSpec whole = *main;  // a name laid out in parts is one column
        whole.part = 0;
        std::string name = snakeCase(fieldName(whole));
        if (name.empty())
            name = std::string(main->box);
        const std::string base = name;
        for (int n = 2; names.count(name); ++n)
            name = base + "_" + std::to_string(n);
        names.insert(name);
        c.name = name;

        if (c.parts.size() == 1 && (main->rule == Rule::Quantity || main->rule == Rule::WholeNumber)) {
            c.type = CellType::Number;
            c.decimals = main->rule == Rule::Quantity && decimalFlag == u"Y" ? 2 : 0;
        }
        for (const KeyKindSpec &k : spec.keyKinds)
            for (const FieldSpec *p : c.parts)
                if (p->pos == k.sourcePos)
                    c.indexed = true;
        columns.push_back(std::move(c));
    }
    return columns;
}

void columnCell(const Column &column, TextView record, const DisplayContext &context, Cell &cell)
{
    cell.text.clear();
    for (const FieldSpec *f : column.parts) {
        if (f->rule == Rule::Text)
            cell.text += TextView(record).substr(std::min(record.size(), static_cast<size_t>(f->pos - 1)),
                                                 static_cast<size_t>(f->width));
        else
            cell.text += applyRule(f->rule, field(record, f->pos, f->width), context);
    }
    cell.text.resize(trimEnd(cell.text).size());
    cell.isNumber = false;
    cell.decimals = -1;
    if (column.type != CellType::Number)
        return;
    // A quantity is written as a number only when it is one: a field the numeric rule
    // would read only part of keeps its text.
    const FieldSpec *f = column.parts.front();
    const Quantity q = quantityOf(*f, record, context.decimalFlag);
    if (!q.wellFormed) {
        // The stored characters, not the part of them the numeric rule would read.
        cell.text = Text(trimBoth(textOf(*f, record)));
        return;
    }
    cell.isNumber = true;
    cell.number = q.shown();
    cell.whole = q.scale == 0 ? q.units : 0;
}

}  // namespace regdisc
