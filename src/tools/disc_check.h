// The disc check: everything the lookup and the whole-disc tools rely on, register by
// register. File lengths a whole number of records, and no more records than the index's
// pointers can name; top records and blocks ascending, every used entry pointing inside
// its file, unused entries carrying the marker; every chain visiting its entries in order
// under its KeyKind's comparison, ending in ChainEnd, without a loop, every DetailEntry on
// its chain once; every DetailEntry's keys equal to its record's fields; records whose
// bytes hold their fields as laid out, quantities that are whole numbers, text that
// decodes; the disc information and the count listings readable. Memory stays a few bits
// per record: the files are read, not held.
#pragma once

#include "datasets/dataset.h"
#include "disc/opened_disc.h"
#include "platform/progress.h"

#include <cstdint>
#include <string>
#include <vector>

namespace regdisc {

enum class DefectClass {
    FileLength,  // a file is not a whole number of records
    TopOrder,  // used TopEntries not ascending
    TopMarker,  // a used TopEntry after an unused one, or a top record missing
    TopPointer,  // a TopEntry names no block of the TopIndexFile
    BlockOrder,  // BlockEntries not ascending, or above their TopEntry's key
    BlockPointer,  // a BlockEntry names no DetailEntry
    BlockStart,  // a BlockEntry names an entry after keys its inputs would have found
    ChainOrder,  // a chain's keys not ascending
    ChainEnd,  // a chain leaves the DetailIndexFile instead of ending in ChainEnd
    ChainLoop,  // a chain comes back to an entry it visited
    ChainCoverage,  // a DetailEntry that its KeyKind's chain never reaches
    RecordPointer,  // a DetailEntry names no DataFile record
    KeyMismatch,  // a DetailEntry's key differs from its record's field
    UnindexedRecord,  // a DataFile record that no DetailEntry names
    Undecodable,  // bytes that are not code page 950
    RecordLayout,  // a record whose bytes do not hold its fields as laid out: fields shift
    MalformedQuantity,  // a quantity field that holds no whole number
    BeyondIndex,  // a file with more records than the index's pointers can name
};

// Which file a defect's record numbers count in.
enum class CheckedFile { TopIndex, DetailIndex, Data };

struct DefectInfo {
    DefectClass defect;
    const char *code;  // stable ASCII name for scripts ("chain-order")
    std::u16string_view text;  // what a clerk reads
    CheckedFile file;
};
const DefectInfo &defectInfo(DefectClass defect);

struct DefectCount {
    DefectClass defect;
    CheckedFile file = CheckedFile::Data;  // the file its record numbers count in
    std::int64_t count = 0;
    std::vector<std::int64_t> first;  // the first few record numbers (from 1), each once, ascending
    Text detail;  // more about it: the bytes a cut-short file has left over
};

struct RegisterCheck {
    const DataSetSpec *spec = nullptr;
    RegisterState state = RegisterState::Present;
    Text message;  // why it could not be checked
    std::int64_t records = 0;  // DataFile records
    std::int64_t entries = 0;  // DetailEntries
    std::vector<DefectCount> defects;  // classes found, in the order of DefectClass, then file
    bool whole() const { return state != RegisterState::Unreadable && defects.empty(); }
};

struct FileCheck {
    Text name;  // security.txt, <baseName>.ptr, ...
    bool readable = false;
};

struct DiscCheck {
    bool opened = false;  // the folder and the disc information could be read
    Text error;  // the main menu's message when not
    std::vector<FileCheck> files;  // the disc information and the count listings
    std::vector<RegisterCheck> registers;
    // 0 whole, 1 defects found, 2 the disc cannot be read.
    int exitStatus() const;
};

// How many record numbers a defect keeps for the report.
inline constexpr int kDefectExamples = 5;

// Checks one register.
RegisterCheck checkRegister(const Disc &disc, const DataSetSpec &spec, Progress &progress);

// Checks the whole disc (registers in menu order). Throws WorkCancelled.
DiscCheck checkDisc(Disc &disc, Progress &progress);

}  // namespace regdisc
