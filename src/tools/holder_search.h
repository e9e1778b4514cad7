// A holder across the disc: every record of every register whose key of one class (ID
// number, account or name) begins with, or equals, the input, found through each
// register's own index by the engine's query (the record 查詢 shows, then each record 次筆
// steps to) on every KeyKind of that class, both parties of the two-party registers.
#pragma once

#include "datasets/dataset.h"
#include "disc/opened_disc.h"
#include "engine/field_values.h"
#include "platform/progress.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace regdisc {

// A field of a found record: its screen label, the text the screen shows (trailing blanks
// dropped) and, for a quantity, its value.
struct LabelledValue {
    Text label;
    Text value;
    bool isQuantity = false;
    Quantity quantity;
};

struct HolderMatch {
    const DataSetSpec *spec = nullptr;
    int keyKind = 0;  // the KeyKind it was found by
    Text typed;  // the text a screen's input box takes for it
    Text party;  // the party whose key matched; empty in one-party registers
    std::int64_t recordNo = 0;
    Text account, name, id;  // the matching party's keys as stored (trailing blanks dropped)
    std::vector<LabelledValue> quantities;  // the record's quantity fields
    std::vector<LabelledValue> dates;  // the record's date fields
    bool followsLayout = true;  // the record's bytes hold its fields as laid out
};

// One register's part of an answer. Its outcome is one of: found (matches), none (no
// match; or a register without data), absent (無此名冊), unreadable (`message`: a file
// that cannot be opened or read, a damaged index; matches found before the damage are
// kept, but the register's answer is not whole).
struct RegisterMatches {
    const DataSetSpec *spec = nullptr;
    RegisterState state = RegisterState::Present;
    Text message;
    std::vector<HolderMatch> matches;
    std::int64_t count = 0;  // matches found (also when they were handed on, not kept)
};

enum class RegisterOutcome { Found, None, Absent, Unreadable };
RegisterOutcome outcomeOf(const RegisterMatches &r);
// 符合, 查無資料, 無此名冊, 無法讀取.
Text outcomeText(RegisterOutcome outcome);

struct HolderQuery {
    KeyClass keyClass = KeyClass::Id;
    Text input;
    bool exact = false;  // the whole key equals the input (trailing blanks aside)
};

// The input as a clerk may have typed or pasted it, as the keys are stored: full-width
// letters and digits of an ID number or account folded to their ASCII forms (a name is
// compared by a collation that ignores width already); blanks around it dropped.
Text clerkInput(KeyClass keyClass, TextView input);

// Looks the holder up in one open register, handing each match to `onMatch` in chain
// order, KeyKind by KeyKind; returns false when a lookup met a damaged index.
bool findInRegister(const DataSetSpec &spec, RegisterQuery &registerQuery, const HolderQuery &query,
                    const DiscInfo &info, const std::function<void(const HolderMatch &)> &onMatch);
bool findInRegister(Register &reg, const HolderQuery &query, const DiscInfo &info,
                    const std::function<void(const HolderMatch &)> &onMatch);

// Every register of `dataSets` (all of them when empty) looked up on the disc, in menu
// order; each register's matches go to `onMatch` as they are found and its answer (without
// the matches) to `onRegister` when it is done.
void findHolder(const Disc &disc, const HolderQuery &query, const std::vector<const DataSetSpec *> &dataSets,
                Progress &progress, const std::function<void(const HolderMatch &)> &onMatch,
                const std::function<void(const RegisterMatches &)> &onRegister);
// The same, every register's answer with its matches kept.
std::vector<RegisterMatches> findHolder(const Disc &disc, const HolderQuery &query,
                                        const std::vector<const DataSetSpec *> &dataSets, Progress &progress);

// The KeyKinds of a data set that look up a key class.
std::vector<const KeyKindSpec *> keyKindsOf(const DataSetSpec &spec, KeyClass keyClass);

// "id", "account", "name" and back.
const char *keyClassName(KeyClass keyClass);
bool parseKeyClass(std::string_view name, KeyClass &keyClass);
// 統一編號, 帳號, 戶名.
Text keyClassLabel(KeyClass keyClass);

}  // namespace regdisc
