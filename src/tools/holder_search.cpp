#include "tools/holder_search.h"

#include "platform/collation.h"
#include "tools/columns.h"

#include <algorithm>

namespace regdisc {

namespace {

// The field a KeyKind's key is taken from.
const FieldSpec *sourceField(const DataSetSpec &spec, const KeyKindSpec &kind)
{
    for (const FieldSpec &f : spec.fields)
        if (f.pos == kind.sourcePos && !f.box.empty())
            return &f;
    return nullptr;
}

// The party's key field of a class: the source of the party's KeyKind of that class.
Text partyKey(const QueryScreenModel &screen, const KeyKindSpec &found, KeyClass keyClass)
{
    const DataSetSpec &spec = screen.spec();
    for (const KeyKindSpec &k : spec.keyKinds)
        if (k.keyClass == keyClass && k.party == found.party)
            if (const FieldSpec *f = sourceField(spec, k))
                return trimTrailingBlanks(screen.box(f->box));
    return {};
}

bool equalUnder(Comparison comparison, TextView a, TextView b)
{
    return comparison == Comparison::Binary ? a == b : compareText(a, b) == 0;
}

// Whether the record's whole key field begins with (or equals) the input. The index keys
// are shorter than some fields (a name key holds 6 characters): this decides for inputs
// longer than the key and for exact matches.
bool fieldMatches(const KeyKindSpec &kind, TextView value, TextView input, bool exact)
{
    const Text trimmed = trimTrailingBlanks(value);
    if (exact)
        return equalUnder(kind.lookup, trimmed, trimTrailingBlanks(input));
    if (value.size() < input.size())
        return false;
    return equalUnder(kind.lookup, value.substr(0, input.size()), input);
}

HolderMatch matchOf(const QueryScreenModel &screen, const KeyKindSpec &kind, TextView typed)
{
    const DataSetSpec &spec = screen.spec();
    HolderMatch m;
    m.spec = &spec;
    m.keyKind = kind.number;
    m.typed = Text(typed);
    m.party = Text(kind.party);
    m.recordNo = screen.recordShown();
    m.account = partyKey(screen, kind, KeyClass::Account);
    m.name = partyKey(screen, kind, KeyClass::Name);
    m.id = partyKey(screen, kind, KeyClass::Id);
    for (const FieldSpec &f : spec.fields) {
        if (f.box.empty())
            continue;
        const bool quantity = f.rule == Rule::Quantity || f.rule == Rule::WholeNumber;
        const bool date = f.rule == Rule::Date || f.rule == Rule::BirthDate;
        if (!quantity && !date)
            continue;
        LabelledValue v{boxCaption(spec, f.box), trimTrailingBlanks(screen.box(f.box)), quantity};
        (quantity ? m.quantities : m.dates).push_back(std::move(v));
    }
    return m;
}

}  // namespace

std::vector<const KeyKindSpec *> keyKindsOf(const DataSetSpec &spec, KeyClass keyClass)
{
    std::vector<const KeyKindSpec *> kinds;
    for (const KeyKindSpec &k : spec.keyKinds)
        if (k.keyClass == keyClass)
            kinds.push_back(&k);
    return kinds;
}

bool findOnScreen(QueryScreenModel &screen, const HolderQuery &query, std::vector<HolderMatch> &matches)
{
    const DataSetSpec &spec = screen.spec();
    bool whole = true;
    for (const KeyKindSpec *kind : keyKindsOf(spec, query.keyClass)) {
        Text input = query.input;
        if (kind->inputCase == InputCase::Upper)
            input = toUpper(input);
        // The index compares at most the key's characters; a longer input is looked up by
        // its beginning and decided on the record's whole field.
        const Text typed =
            input.substr(0, static_cast<size_t>(std::min(kind->keyWidth, QueryScreenModel::kInputMaxLength)));
        const FieldSpec *source = sourceField(spec, *kind);
        const bool decideOnField = query.exact || typed.size() < input.size();
        if (decideOnField && !source)
            continue;

        screen.chooseComboItem(kind->caption);
        screen.typeInput(typed);
        LookupOutcome outcome = screen.query();
        while (outcome == LookupOutcome::Shown) {
            if (!decideOnField || fieldMatches(*kind, screen.box(source->box), input, query.exact))
                matches.push_back(matchOf(screen, *kind, typed));
            if (!screen.nextEnabled())
                break;
            outcome = screen.next();
        }
        if (outcome == LookupOutcome::Damaged)
            whole = false;
    }
    return whole;
}

std::vector<RegisterMatches> findHolder(Disc &disc, const HolderQuery &query,
                                        const std::vector<const DataSetSpec *> &dataSets, Progress &progress)
{
    const std::vector<const DataSetSpec *> chosen = selectDataSets({});
    const std::vector<const DataSetSpec *> &list = dataSets.empty() ? chosen : dataSets;
    std::vector<RegisterMatches> results;
    progress.begin(u"全冊查詢", static_cast<std::int64_t>(list.size()));
    for (const DataSetSpec *spec : list) {
        RegisterMatches r;
        r.spec = spec;
        if (!keyKindsOf(*spec, query.keyClass).empty()) {
            Disc::Opened opened = disc.openScreen(*spec);
            r.state = opened.state;
            r.message = opened.message;
            if (opened.screen) {
                if (!findOnScreen(*opened.screen, query, r.matches))
                    r.message = Text(spec->damagedMessage);
                opened.screen->close();
            }
        } else {
            r.state = disc.presence(*spec);
        }
        results.push_back(std::move(r));
        stepOrStop(progress, static_cast<std::int64_t>(results.size()));
    }
    return results;
}

const char *keyClassName(KeyClass keyClass)
{
    switch (keyClass) {
    case KeyClass::Id:
        return "id";
    case KeyClass::Account:
        return "account";
    case KeyClass::Name:
        return "name";
    }
    return "";
}

bool parseKeyClass(std::string_view name, KeyClass &keyClass)
{
    for (KeyClass k : {KeyClass::Id, KeyClass::Account, KeyClass::Name})
        if (name == keyClassName(k)) {
            keyClass = k;
            return true;
        }
    return false;
}

Text keyClassLabel(KeyClass keyClass)
{
    switch (keyClass) {
    case KeyClass::Id:
        return u"統一編號";
    case KeyClass::Account:
        return u"帳號";
    case KeyClass::Name:
        return u"戶名";
    }
    return {};
}

}  // namespace regdisc
