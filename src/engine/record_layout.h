// The layout of a DataFile record: its fields by character position and width, and
// whether a record's bytes hold exactly that layout.
#pragma once

#include "engine/display_rules.h"

#include <span>
#include <string_view>
#include <vector>

namespace regdisc {

struct FieldSpec {
    std::string_view box;  // output box that shows the field; empty: not shown
    int pos = 0;  // 1-based character position in the record text
    int width = 0;  // characters (BirthDate: era flag + 7-character date = 8)
    Rule rule = Rule::Text;
    bool doubleByte = false;  // laid out for double-byte characters
    std::string_view meaning;  // what the field holds; the sample disc fills fields by it
};

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
