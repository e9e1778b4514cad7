#include "tools/holder_search.h"

#include "engine/display_rules.h"
#include "tools/columns.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

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

// The party's key of a class in the record: the source of the party's KeyKind of that
// class.
Text partyKey(const DataSetSpec &spec, TextView record, const KeyKindSpec &found, KeyClass keyClass)
{
    for (const KeyKindSpec &k : spec.keyKinds)
        if (k.keyClass == keyClass && k.party == found.party)
            if (const FieldSpec *f = sourceField(spec, k))
                return Text(trimEnd(textOf(*f, record)));
    return {};
}

HolderMatch matchOf(const DataSetSpec &spec, const KeyCursor &cursor, const DiscInfo &info)
{
    const KeyKindSpec &kind = cursor.keyKind();
    const Text &record = cursor.record();
    const DisplayContext context{info.decimalFlag, info.securityName};
    HolderMatch m;
    m.spec = &spec;
    m.keyKind = kind.number;
    m.typed = cursor.typed();
    m.party = Text(kind.party);
    m.recordNo = cursor.recordNo();
    m.account = partyKey(spec, record, kind, KeyClass::Account);
    m.name = partyKey(spec, record, kind, KeyClass::Name);
    m.id = partyKey(spec, record, kind, KeyClass::Id);
    for (const FieldSpec &f : spec.fields) {
        if (f.box.empty() || (!isQuantity(f) && !isDate(f)))
            continue;
        LabelledValue v{boxCaption(spec, f.box),
                        Text(trimEnd(applyRule(f.rule, textOf(f, record), context))),
                        isQuantity(f),
                        {}};
        if (v.isQuantity) {
            v.quantity = quantityOf(f, record, info.decimalFlag);
            // A field the numeric rule would read only part of is shown as it is stored.
            if (!v.quantity.wellFormed)
                v.value = Text(trimBoth(textOf(f, record)));
            m.quantities.push_back(std::move(v));
        } else {
            m.dates.push_back(std::move(v));
        }
    }
    m.followsLayout = RecordShape(spec.fields, spec.dataN).follows(cursor.recordBytes());
    return m;
}

}  // namespace

RegisterOutcome outcomeOf(const RegisterMatches &r)
{
    switch (r.state) {
    case RegisterState::Absent:
        return RegisterOutcome::Absent;
    case RegisterState::Unreadable:
        return RegisterOutcome::Unreadable;
    case RegisterState::NoData:
        return RegisterOutcome::None;
    case RegisterState::Present:
        break;
    }
    return r.count > 0 ? RegisterOutcome::Found : RegisterOutcome::None;
}

Text outcomeText(RegisterOutcome outcome)
{
    switch (outcome) {
    case RegisterOutcome::Found:
        return u"符合";
    case RegisterOutcome::None:
        return u"查無資料";
    case RegisterOutcome::Absent:
        return u"無此名冊";
    case RegisterOutcome::Unreadable:
        return u"無法讀取";
    }
    return {};
}

Text clerkInput(KeyClass keyClass, TextView input)
{
    Text text(trimBoth(input));
    if (keyClass == KeyClass::Name)
        return text;
    // Compatibility folding turns full-width letters, digits and blanks into ASCII.
    UErrorCode error = U_ZERO_ERROR;
    const icu::Normalizer2 *nfkc = icu::Normalizer2::getNFKCInstance(error);
    if (U_FAILURE(error) || !nfkc)
        return text;
    const icu::UnicodeString folded =
        nfkc->normalize(icu::UnicodeString(false, text.data(), static_cast<int32_t>(text.size())), error);
    if (U_FAILURE(error))
        return text;
    return Text(trimBoth(TextView(folded.getBuffer(), static_cast<size_t>(folded.length()))));
}

std::vector<const KeyKindSpec *> keyKindsOf(const DataSetSpec &spec, KeyClass keyClass)
{
    std::vector<const KeyKindSpec *> kinds;
    for (const KeyKindSpec &k : spec.keyKinds)
        if (k.keyClass == keyClass)
            kinds.push_back(&k);
    return kinds;
}

bool findInRegister(const DataSetSpec &spec, RegisterQuery &registerQuery, const HolderQuery &query,
                    const DiscInfo &info, const std::function<void(const HolderMatch &)> &onMatch)
{
    const Text input = clerkInput(query.keyClass, query.input);
    for (const KeyKindSpec *kind : keyKindsOf(spec, query.keyClass)) {
        KeyCursor cursor =
            registerQuery.find(kind->number, input, query.exact ? KeyMatch::Whole : KeyMatch::Beginning);
        for (;;) {
            const KeyCursor::Step step = cursor.next();
            if (step == KeyCursor::Step::Damaged)
                return false;
            if (step == KeyCursor::Step::End)
                break;
            onMatch(matchOf(spec, cursor, info));
        }
    }
    return true;
}

bool findInRegister(Register &reg, const HolderQuery &query, const DiscInfo &info,
                    const std::function<void(const HolderMatch &)> &onMatch)
{
    return findInRegister(reg.spec(), reg.query(), query, info, onMatch);
}

void findHolder(const Disc &disc, const HolderQuery &query, const std::vector<const DataSetSpec *> &dataSets,
                Progress &progress, const std::function<void(const HolderMatch &)> &onMatch,
                const std::function<void(const RegisterMatches &)> &onRegister)
{
    const std::vector<const DataSetSpec *> list = dataSets.empty() ? selectDataSets({}) : dataSets;
    progress.begin(u"全冊查詢", static_cast<std::int64_t>(list.size()));
    std::int64_t done = 0;
    for (const DataSetSpec *spec : list) {
        RegisterMatches r;
        r.spec = spec;
        if (keyKindsOf(*spec, query.keyClass).empty()) {
            // Nothing to look up by this key; the register's presence is still told.
            r.state = disc.presence(*spec);
        } else {
            std::unique_ptr<Register> reg = disc.openRegister(*spec);
            r.state = reg->state();
            r.message = reg->message();
            if (reg->state() == RegisterState::Present &&
                !findInRegister(*reg, query, disc.info(), [&](const HolderMatch &m) {
                    ++r.count;
                    onMatch(m);
                })) {
                r.state = RegisterState::Unreadable;
                r.message = Text(spec->damagedMessage);
            }
        }
        onRegister(r);
        stepOrStop(progress, ++done);
    }
}

std::vector<RegisterMatches> findHolder(const Disc &disc, const HolderQuery &query,
                                        const std::vector<const DataSetSpec *> &dataSets, Progress &progress)
{
    std::vector<RegisterMatches> results;
    std::vector<HolderMatch> pending;
    findHolder(
        disc, query, dataSets, progress, [&](const HolderMatch &m) { pending.push_back(m); },
        [&](const RegisterMatches &r) {
            results.push_back(r);
            results.back().matches = std::move(pending);
            pending.clear();
        });
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
