#include "engine/record_layout.h"

#include <algorithm>
#include <stdexcept>

namespace regdisc {

std::string_view meaningName(FieldMeaning meaning)
{
    static constexpr std::string_view kNames[] = {
        "",
        "account",
        "addressChangeDate",
        "agencyNumber",
        "balance",
        "birthDate",
        "capitalReductionAgreementCode",
        "caseMoneyAccount",
        "caseNumber",
        "courtAuctionBalanceMark",
        "courtDepositKind",
        "courtDepositMark",
        "creditCode",
        "depositCertificateNumber",
        "depositedShares",
        "detailCategory",
        "duplicateIdMark",
        "englishName",
        "foreignInvestorNumber",
        "fruitsAgreementCode",
        "giroAccount",
        "holderType",
        "id",
        "idErrorMark",
        "legalRepresentative",
        "mailingAddress",
        "mandateCode",
        "name",
        "nationality",
        "number",
        "oddLotMark",
        "openingDate",
        "pledgeMark",
        "pledgeNumber",
        "pledgeNumberMark",
        "pledgeTrustCode",
        "pledgedShares",
        "pledgee",
        "postcode",
        "registeredAddress",
        "registrationMark",
        "remark",
        "repliedDeferredTaxShares",
        "repliedShares",
        "reserved",
        "securityCode",
        "seizureCategory",
        "seizureNumber",
        "shares",
        "sharesHeld",
        "subAccount",
        "telephone",
        "totalShares",
        "trustPropertyAccount",
        "withholdingUnitNumber",
    };
    return kNames[static_cast<size_t>(meaning)];
}

namespace {

std::string_view ownerName(FieldOwner owner)
{
    static constexpr std::string_view kNames[] = {
        "", "auctionAccount", "court", "depositor", "owner", "pledgee", "pledgor", "treasuryBank",
    };
    return kNames[static_cast<size_t>(owner)];
}

}  // namespace

std::string fieldName(const FieldSpec &field)
{
    std::string name;
    if (field.owner != FieldOwner::Own)
        name = std::string(ownerName(field.owner)) + ".";
    name += meaningName(field.meaning);
    if (field.part > 0)
        name += ".part" + std::to_string(field.part);
    return name;
}

const FieldSpec &fieldOf(std::span<const FieldSpec> fields, FieldMeaning meaning)
{
    for (const FieldSpec &f : fields)
        if (f.meaning == meaning && f.owner == FieldOwner::Own && f.part == 0)
            return f;
    throw std::logic_error("no field " + std::string(meaningName(meaning)));
}

RecordShape::RecordShape(std::span<const FieldSpec> fields, int characters)
    : doubleByte_(static_cast<size_t>(std::max(characters, 0)), false)
{
    for (const FieldSpec &f : fields)
        if (f.doubleByte)
            for (int p = f.pos; p < f.pos + f.width && p >= 1 && p <= characters; ++p)
                doubleByte_[static_cast<size_t>(p - 1)] = true;
    bytes_ = characters + static_cast<int>(std::count(doubleByte_.begin(), doubleByte_.end(), true));
}

bool RecordShape::follows(std::string_view bytes) const
{
    if (bytes.size() != static_cast<size_t>(bytes_))
        return false;
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    size_t i = 0;
    for (const bool two : doubleByte_) {
        if (!two) {
            if (b[i++] >= 0x80)
                return false;
            continue;
        }
        // A lead byte 0x81-0xFE and a trail byte 0x40-0x7E or 0xA1-0xFE.
        const unsigned char lead = b[i], trail = b[i + 1];
        if (lead < 0x81 || lead > 0xFE ||
            !((trail >= 0x40 && trail <= 0x7E) || (trail >= 0xA1 && trail <= 0xFE)))
            return false;
        i += 2;
    }
    return true;
}

}  // namespace regdisc
