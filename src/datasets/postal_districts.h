// The districts of Taiwan by their 3-digit postal code (the first three digits of the
// 3+2 code), with the county or city (縣市) each lies in. One constant table: the holder
// statistics map a holder's postcode to its county, the sample disc writes addresses whose
// county, district and postcode agree.
#pragma once

#include "platform/text.h"

#include <span>
#include <string_view>

namespace regdisc {

struct PostalDistrict {
    std::u16string_view code;  // three digits
    std::u16string_view county;  // 臺北市, 新北市, …, 連江縣
    std::u16string_view district;  // 中正區, 板橋區, 竹北市, …
};

// Every district, county by county in the order of their codes (north to south, the
// islands where their codes fall). A code can stand for several districts of one city
// (新竹市 300, 嘉義市 600).
std::span<const PostalDistrict> postalDistricts();

// The counties and cities in the order of their first code: 臺北市 first, 花蓮縣 last.
std::span<const std::u16string_view> postalCounties();

// The index in postalCounties() of the county a postcode field names, or -1 when the field
// is not three digits of a district in the table (blank, cut short, unknown).
int postalCountyOf(TextView postcode);

}  // namespace regdisc
