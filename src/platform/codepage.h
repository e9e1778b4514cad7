// Code page 950 (Big5), the code page every file of the disc is written in.
#pragma once

#include "platform/text.h"

#include <string>
#include <string_view>

namespace regdisc {

// A byte below 0x80 is one character, a lead byte and its trail byte one double-byte
// character. A byte sequence that is not valid code page 950 decodes to U+FFFD.
Text decodeCp950(std::string_view bytes);
// The same into a buffer that is reused (no allocation once it has grown).
void decodeCp950(std::string_view bytes, Text &out);
// The first `characters` characters of the decoded bytes (fewer when they end earlier),
// decoding no further than needed.
void decodeCp950Prefix(std::string_view bytes, size_t characters, Text &out);

// Encodes for writing a disc. A character without a code page 950 form becomes '?' and
// clears *exact when given.
std::string encodeCp950(TextView text, bool *exact = nullptr);

// Whether a character has a code page 950 form (a surrogate has none on its own).
bool hasCp950Form(char16_t c);

}  // namespace regdisc
