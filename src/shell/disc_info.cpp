#include "shell/disc_info.h"

#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/text_input.h"

namespace regdisc {

namespace {
// Only the first five values are read; a damaged file larger than this is not read further.
constexpr std::size_t kMaxDiscInfoBytes = 1 << 20;
}  // namespace

bool readDiscInfoFile(const std::filesystem::path &path, DiscInfo &info)
{
    const auto bytes = readSmallFile(path, kMaxDiscInfoBytes);
    if (!bytes)
        return false;
    const ListValues list = readListValues(decodeCp950(*bytes), 5);
    Text *targets[] = {&info.baseName, &info.securityName, &info.dataDate, &info.decimalFlag,
                       &info.productionDate};
    for (size_t i = 0; i < list.values.size(); ++i)
        *targets[i] = list.values[i];
    return list.complete;
}

}  // namespace regdisc
