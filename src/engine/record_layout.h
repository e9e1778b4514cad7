// The layout of a DataFile record: its fields by character position and width, and
// whether a record's bytes hold exactly that layout.
#pragma once

#include "engine/display_rules.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace regdisc {

// What a field holds, whichever party it belongs to. Its ASCII name (fieldName) names
// the SQLite column and the sample disc's fill.
enum class FieldMeaning : std::uint8_t {
    None,
    Account,
    AddressChangeDate,
    AgencyNumber,
    Balance,
    BirthDate,
    CapitalReductionAgreementCode,
    CaseMoneyAccount,
    CaseNumber,
    CourtAuctionBalanceMark,
    CourtDepositKind,
    CourtDepositMark,
    CreditCode,
    DepositCertificateNumber,
    DepositedShares,
    DetailCategory,
    DuplicateIdMark,
    EnglishName,
    ForeignInvestorNumber,
    FruitsAgreementCode,
    GiroAccount,
    HolderType,
    Id,
    IdErrorMark,
    LegalRepresentative,
    MailingAddress,
    MandateCode,
    Name,
    Nationality,
    Number,
    OddLotMark,
    OpeningDate,
    PledgeMark,
    PledgeNumber,
    PledgeNumberMark,
    PledgeTrustCode,
    PledgedShares,
    Pledgee,
    Postcode,
    RegisteredAddress,
    RegistrationMark,
    Remark,
    RepliedDeferredTaxShares,
    RepliedShares,
    Reserved,
    SecurityCode,
    SeizureCategory,
    SeizureNumber,
    Shares,
    SharesHeld,
    SubAccount,
    Telephone,
    TotalShares,
    TrustPropertyAccount,
    WithholdingUnitNumber,
};

// Whose the field is in a record about several parties; Own: the record's holder (or its
// first party).
enum class FieldOwner : std::uint8_t {
    Own,
    AuctionAccount,
    Court,
    Depositor,
    Owner,
    Pledgee,
    Pledgor,
    TreasuryBank,
};

struct FieldSpec {
    std::string_view box;  // output box that shows the field; empty: not shown
    int pos = 0;  // 1-based character position in the record text
    int width = 0;  // characters (BirthDate: era flag + 7-character date = 8)
    Rule rule = Rule::Text;
    bool doubleByte = false;  // laid out for double-byte characters
    FieldMeaning meaning = FieldMeaning::None;  // what the field holds
    FieldOwner owner = FieldOwner::Own;
    int part = 0;  // a value laid out in several fields: which of them, from 1; 0: the whole
};

// The field's ASCII name: the meaning, after its owner and before its part
// ("shares", "pledgor.mailingAddress", "name.part1").
std::string fieldName(const FieldSpec &field);
std::string_view meaningName(FieldMeaning meaning);
// The field of the record's own holder (or first party) that holds `meaning`, whole;
// throws std::logic_error when the layout has none.
const FieldSpec &fieldOf(std::span<const FieldSpec> fields, FieldMeaning meaning);

// Which characters of a record are laid out as double-byte, and whether a record's bytes
// hold its characters exactly so: every character of a double-byte field a lead and a
// trail byte of code page 950, every other character one byte below 0x80, the last
// character ending at the record's last byte. A record that does not gains or loses
// characters in decoding, so the fields after the fault would be read from the wrong
// positions.
class RecordShape {
public:
    RecordShape(std::span<const FieldSpec> fields, int characters);

    bool follows(std::string_view bytes) const;
    // The bytes a record of this shape has.
    int bytes() const { return bytes_; }

private:
    std::vector<bool> doubleByte_;  // per character, from 0
    int bytes_ = 0;
};

}  // namespace regdisc
