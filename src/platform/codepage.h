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

// Decodes bytes into `out` as far as it is asked, going on from where it stopped: the
// first characters of a record are those of the whole record decoded.
class Cp950Decoder {
public:
    // `bytes` and `out` must outlive the decoder; `out` is emptied.
    Cp950Decoder(std::string_view bytes, Text &out);
    // Decodes until `out` holds at least `characters` characters or the bytes are used up.
    void decodeTo(size_t characters);
    bool atEnd() const { return next_ >= bytes_.size(); }

private:
    std::string_view bytes_;
    Text &out_;
    size_t next_ = 0;  // the first byte not yet decoded
};

// Encodes for writing a disc. A character without a code page 950 form becomes '?' and
// clears *exact when given.
std::string encodeCp950(TextView text, bool *exact = nullptr);
// The same into a buffer that is reused (no allocation once it has grown).
void encodeCp950(TextView text, std::string &out, bool *exact = nullptr);

// Whether a character has a code page 950 form (a surrogate has none on its own).
bool hasCp950Form(char16_t c);

}  // namespace regdisc
