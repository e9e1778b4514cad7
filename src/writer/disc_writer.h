// Writes a disc: security.txt, the three files of any data set with its two-level index,
// and the count listings. Used by the sample disc and by the tests for their fixtures.
#pragma once

#include "datasets/dataset.h"
#include "disc/disc_info.h"
#include "platform/text.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace regdisc {

struct DiscWriteError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Builds the text of one record field by field at 1-based character positions.
class RecordBuilder {
public:
    explicit RecordBuilder(int characters);
    // The same in a text whose memory is used again (its content is replaced).
    RecordBuilder(int characters, Text &&reused);
    // A double-byte field holds only double-byte characters: ASCII becomes its full-width
    // form, a blank the ideographic space, a character without a code page 950 form "？";
    // a single-byte field holds only ASCII ("?" otherwise). The value is cut or filled.
    RecordBuilder &put(int pos, int width, TextView value, bool doubleByte = false);
    const Text &text() const { return text_; }
    Text take() && { return std::move(text_); }

private:
    Text text_;
};

// Makes a value fit a field of `width` characters laid out as the disc lays it out.
Text fitField(TextView value, int width, bool doubleByte);

// The L bytes of a record text laid out for the given double-byte fields; throws when the
// encoded length is not `length`.
std::string encodeRecord(TextView text, int length);
// The same into a buffer that is reused.
void encodeRecord(TextView text, int length, std::string &bytes);

struct IndexOptions {
    int sectionSize = 0;  // DetailEntries per BlockEntry; 0: as few as fit
    int blockSize = 100;  // BlockEntries per block (1..100)
    int topEntries = 100;  // TopEntries used per top record at most (1..100)
};

// Where the index of a written data set put things, for tests that damage a disc.
struct WrittenIndex {
    std::vector<std::vector<std::int64_t>> chains;  // per KeyKind: DetailEntry numbers in chain order
    std::vector<std::int64_t> firstBlock;  // per KeyKind: record number of its first block
};

// The DetailEntry key of a KeyKind for a record text.
Text detailKey(const KeyKindSpec &kind, TextView recordText);

// Writes the TopIndexFile, DetailIndexFile and DataFile of a data set under `folder`
// (stkidx/<baseName>idxp.<ext>, stkidx/<baseName>idxd.<ext>, stk/<baseName>.<ext>)
// record by record, with memory that does not grow with the number of records: the
// DataFile and the DetailEntries go straight to their files, each chain's keys are sorted
// in bounded runs in a scratch folder beside the disc, and the next-pointers are filled in
// at the end. DetailEntry i designates record i and carries its keys; each chain is sorted
// by its KeyKind's comparison, equal keys in record order.
struct BuiltChain;
struct IndexShape;

class DataSetWriter {
public:
    // `memoryBudget`: bytes of keys held in memory before they are sorted into a run.
    DataSetWriter(const std::filesystem::path &folder, TextView baseName, const DataSetSpec &spec,
                  const IndexOptions &options = {}, std::size_t memoryBudget = kDefaultMemoryBudget);
    ~DataSetWriter();  // removes the scratch folder
    DataSetWriter(const DataSetWriter &) = delete;
    DataSetWriter &operator=(const DataSetWriter &) = delete;

    // The next DataFile record text, of the data set's N characters.
    void add(TextView record);
    std::int64_t count() const;

    // Builds the chains and the TopIndexFile. With `keepChains` the result holds every
    // chain in full (memory for every record: for tests).
    WrittenIndex finish(bool keepChains = false);

    static constexpr std::size_t kDefaultMemoryBudget = std::size_t{96} << 20;

private:
    struct State;
    // The steps of finish(): each KeyKind's chain merged from its sorted keys (its blocks,
    // its top record and the next-pointers to patch), the next-pointers written into the
    // DetailIndexFile, then the TopIndexFile.
    BuiltChain buildChain(size_t k, const IndexShape &shape, bool keepChains);
    std::vector<BuiltChain> buildChains(const IndexShape &shape, bool keepChains);
    void patchNextPointers(std::vector<BuiltChain> &chains);
    void writeTopIndexFile(const std::vector<BuiltChain> &chains);

    std::unique_ptr<State> state_;
};

// The same for records held in memory (test fixtures); the result holds every chain.
WrittenIndex writeDataSet(const std::filesystem::path &folder, TextView baseName, const DataSetSpec &spec,
                          const std::vector<Text> &records, const IndexOptions &options = {});

// stkidx/security.txt with the five values one to a line (CR LF).
void writeDiscInfo(const std::filesystem::path &folder, const DiscInfo &info);

// stk/<baseName>.<ext> of a count listing, CR LF lines.
void writeListing(const std::filesystem::path &folder, TextView baseName, std::string_view ext,
                  const std::vector<Text> &lines);

// Writes bytes to a file, creating its folder.
void writeFileBytes(const std::filesystem::path &path, std::string_view bytes);

// Shared by the writer's files: a record number as the index stores it (`width` digits)
// and the path of a file below the disc folder's `sub` folder.
Text pointerDigits(std::int64_t value, int width);
std::filesystem::path discFilePath(const std::filesystem::path &folder, std::string_view sub, TextView name);

}  // namespace regdisc
