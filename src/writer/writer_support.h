// Small helpers the disc writer's files share.
#pragma once

#include "platform/text.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace regdisc {

// The number as exactly `width` decimal digits; throws DiscWriteError when it does not fit.
Text pointerDigits(std::int64_t value, int width);

// folder/sub/name, the name given as disc text.
std::filesystem::path discFilePath(const std::filesystem::path &folder, std::string_view sub, TextView name);

}  // namespace regdisc
