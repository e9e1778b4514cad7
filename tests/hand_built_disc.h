// A disc built by hand, byte by byte, from the published layouts of the disc's files: for
// every data set its DataFile records, its DetailEntries and its two-level index, placed
// at byte offsets worked out from the position tables. Nothing here reads the project's
// data-set tables or its disc writer, so a wrong position, width or record length in those
// tables shows up as a wrong box, line or message instead of hiding behind a fixture that
// is wrong in the same way.
#pragma once

#include "disc/disc_info.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace regdisc::test {

// One key of a DetailEntry: where it stands, how wide it is, and where the next-pointer of
// its chain stands (byte offsets from 0).
struct HandKey {
    int offset = 0;
    int characters = 0;  // a double-byte key of 6 characters takes 12 bytes
    bool doubleByte = false;
    int nextOffset = 0;
};

// The three files of a data set: record lengths, the pointer width, the DetailEntry.
struct HandLayout {
    std::string_view ext;
    int pointerWidth = 6;
    int topLength = 0;
    int detailLength = 0;
    int dataLength = 0;
    int recordNoOffset = 0;  // the DataFile record number in the DetailEntry
    std::vector<HandKey> keys;  // KeyKind 1, 2, ...
};

const std::vector<HandLayout> &handLayouts();  // all fourteen data sets
const HandLayout &handLayout(std::string_view ext);

// A value (UTF-8) written in code page 950 at a byte offset of a record.
struct HandField {
    int offset = 0;
    std::string value;
};

// The sample record of a data set: a distinct value in every field, every byte placed.
std::vector<HandField> sampleFields(std::string_view ext);
// Its DetailEntry keys, KeyKind 1, 2, ... (UTF-8).
std::vector<std::string> sampleKeys(std::string_view ext);

// The record's bytes; throws when the fields leave a gap, overlap or miss the length.
std::string recordBytes(const std::vector<HandField> &fields, int length);

struct HandEntry {
    std::string record;  // the DataFile record's bytes
    std::vector<std::string> keys;  // its DetailEntry keys, KeyKind 1, 2, ... (UTF-8)
};

// Writes stkidx/<base>idxp.<ext>, stkidx/<base>idxd.<ext> and stk/<base>.<ext>: DetailEntry
// i designates record i; chains[k] lists the DetailEntries of KeyKind k+1 in chain order.
// Every top record holds one TopEntry and every block one BlockEntry.
void writeHandDataSet(const std::filesystem::path &folder, std::string_view baseName,
                      const HandLayout &layout, const std::vector<HandEntry> &entries,
                      const std::vector<std::vector<int>> &chains);

// stkidx/security.txt, the five values one to a line.
void writeHandDiscInfo(const std::filesystem::path &folder, const DiscInfo &info);

// The two listings' lines.
std::vector<std::string> ptrLines();
std::vector<std::string> lnxLines();

// The disc information of the hand-built disc.
DiscInfo handDiscInfo();

// The whole disc: security.txt, both listings, and every data set with two records: 1 a
// filler of "#" whose keys sort last, 2 the sample record; every chain runs 2, 1.
void writeHandDisc(const std::filesystem::path &folder, const DiscInfo &info = handDiscInfo());

}  // namespace regdisc::test
