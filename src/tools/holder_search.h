// A holder across the disc: every record of every register whose key of one class (ID
// number, account or name) begins with, or equals, the input, found through each
// register's own index by the query screen's lookup (查詢, then 次筆 while it is enabled)
// on every KeyKind of that class, both parties of the two-party registers.
#pragma once

#include "datasets/dataset.h"
#include "tools/disc.h"
#include "tools/progress.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace regdisc {

// A field of a found record: its screen label and the box text.
struct LabelledValue {
    Text label;
    Text value;
    bool isQuantity = false;
};

struct HolderMatch {
    const DataSetSpec *spec = nullptr;
    int keyKind = 0;  // the KeyKind it was found by
    Text typed;  // the text typed for it into tx_i_01
    Text party;  // the party whose key matched; empty in one-party registers
    std::int64_t recordNo = 0;
    Text account, name, id;  // the matching party's keys as the screen shows them (trimmed)
    std::vector<LabelledValue> quantities;  // the record's quantity fields
    std::vector<LabelledValue> dates;  // the record's date fields
};

struct RegisterMatches {
    const DataSetSpec *spec = nullptr;
    RegisterState state = RegisterState::Present;
    Text message;  // why it could not be read, or the damaged-disc message of a lookup
    std::vector<HolderMatch> matches;
};

struct HolderQuery {
    KeyClass keyClass = KeyClass::Id;
    Text input;
    bool exact = false;  // the whole key equals the input (trailing blanks aside)
};

// Looks a holder up on one register's open screen; matches in chain order, KeyKind by
// KeyKind. Returns false when the lookup met a damaged index (the screen's message).
bool findOnScreen(QueryScreenModel &screen, const HolderQuery &query, std::vector<HolderMatch> &matches);

// Every register of `dataSets` (all of them when empty) looked up on the disc, in menu
// order; absent registers are listed with their state.
std::vector<RegisterMatches> findHolder(Disc &disc, const HolderQuery &query,
                                        const std::vector<const DataSetSpec *> &dataSets, Progress &progress);

// The KeyKinds of a data set that look up a key class.
std::vector<const KeyKindSpec *> keyKindsOf(const DataSetSpec &spec, KeyClass keyClass);

// "id", "account", "name" and back.
const char *keyClassName(KeyClass keyClass);
bool parseKeyClass(std::string_view name, KeyClass &keyClass);
// 統一編號, 帳號, 戶名.
Text keyClassLabel(KeyClass keyClass);

}  // namespace regdisc
