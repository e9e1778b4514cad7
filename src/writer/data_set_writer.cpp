// The streaming writer of one data set's three files. Memory stays bounded whatever the
// number of records: records and DetailEntries are written as they come (the entries with
// ChainEnd in every next-pointer), each KeyKind's keys go through a KeySorter, and the
// merged chains give the next-pointers, patched into the DetailIndexFile block by block,
// and the BlockEntries (at most 100 blocks per KeyKind).
#include "engine/index_layout.h"
#include "platform/collation.h"
#include "writer/disc_writer.h"
#include "writer/key_sorter.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <fstream>
#include <future>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace regdisc {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kPatchBlockBytes = std::size_t{16} << 20;  // DetailIndexFile bytes patched at once
constexpr std::size_t kStreamBuffer = std::size_t{1} << 20;
constexpr std::size_t kScratchBuffer = std::size_t{64} << 10;

// A next-pointer to fill in: DetailEntry `index` (from 0) of KeyKind `kind` gets `next`.
struct Patch {
    std::uint32_t index;
    std::uint32_t next;
    std::uint32_t kind;
};

// A binary key's order: each code unit as UTF-8 encodes a value of its size (surrogates
// too), so that plain byte order is code unit order and a shorter order that begins a
// longer one is the smaller. Keys are mostly ASCII: one byte a character, so the sorter's
// eight-byte prefixes decide most comparisons.
void binaryOrder(TextView key, std::string &order)
{
    order.clear();
    for (const char16_t c : key) {
        if (c < 0x80) {
            order.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            order.push_back(static_cast<char>(0xC0 | (c >> 6)));
            order.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            order.push_back(static_cast<char>(0xE0 | (c >> 12)));
            order.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            order.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
}

// An output file written front to back through a large buffer.
class OutputFile {
public:
    explicit OutputFile(const fs::path &path, std::size_t buffer = kStreamBuffer)
        : path_(path), buffer_(buffer)
    {
        fs::create_directories(path.parent_path());
        out_.rdbuf()->pubsetbuf(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        out_.open(path, std::ios::out | std::ios::binary | std::ios::trunc);
        if (!out_)
            throw DiscWriteError("cannot write " + path.string());
    }
    void write(std::string_view bytes)
    {
        out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out_)
            throw DiscWriteError("cannot write " + path_.string());
    }
    void close()
    {
        out_.close();
        if (!out_)
            throw DiscWriteError("cannot write " + path_.string());
    }

private:
    fs::path path_;
    std::vector<char> buffer_;
    std::ofstream out_;
};

// The next-pointers gathered per range of DetailEntries that is patched at once: in memory
// when one range holds the whole file, otherwise in one scratch file per range.
class PatchStore {
public:
    PatchStore(const fs::path &scratch, const std::string &prefix, std::int64_t entries, int entryLength,
               std::size_t rangeBytes)
        : perRange_(std::max<std::int64_t>(1, static_cast<std::int64_t>(rangeBytes) / entryLength)),
          ranges_((entries + perRange_ - 1) / perRange_)
    {
        if (ranges_ > 1)
            for (std::int64_t r = 0; r < ranges_; ++r) {
                files_.push_back(scratch / (prefix + std::to_string(r)));
                outputs_.push_back(std::make_unique<OutputFile>(files_.back(), kScratchBuffer));
            }
    }
    std::int64_t perRange() const { return perRange_; }
    std::int64_t ranges() const { return ranges_; }

    void add(const Patch &patch)
    {
        if (ranges_ <= 1) {
            memory_.push_back(patch);
            return;
        }
        outputs_[static_cast<std::size_t>(patch.index / perRange_)]->write(
            std::string_view(reinterpret_cast<const char *>(&patch), sizeof patch));
    }

    // The patches of range r, in no particular order.
    std::vector<Patch> take(std::int64_t r)
    {
        if (ranges_ <= 1)
            return std::move(memory_);
        const auto i = static_cast<std::size_t>(r);
        outputs_[i]->close();
        std::ifstream in(files_[i], std::ios::in | std::ios::binary);
        std::vector<Patch> patches(static_cast<std::size_t>(fs::file_size(files_[i]) / sizeof(Patch)));
        in.read(reinterpret_cast<char *>(patches.data()),
                static_cast<std::streamsize>(patches.size() * sizeof(Patch)));
        if (!in)
            throw DiscWriteError("cannot read the scratch file " + files_[i].string());
        return patches;
    }

private:
    std::int64_t perRange_;
    std::int64_t ranges_;
    std::vector<Patch> memory_;
    std::vector<fs::path> files_;
    std::vector<std::unique_ptr<OutputFile>> outputs_;
};

}  // namespace

struct DataSetWriter::State {
    const DataSetSpec &spec;
    IndexOptions options;
    fs::path scratch;
    fs::path dataPath, detailPath, topPath;
    std::int64_t chainEnd = 0;
    std::vector<int> nextByte;  // per KeyKind: byte offset of its next-pointer in a DetailEntry
    std::unique_ptr<OutputFile> data, detail;
    std::vector<std::unique_ptr<KeySorter>> sorters;
    std::size_t memoryBudget = 0;
    std::int64_t count = 0;
    bool finished = false;
    RecordBuilder entry;  // the DetailEntry being written
    std::string order;  // the order bytes of the key being sorted
    std::string bytes;  // a record or DetailEntry encoded

    State(const DataSetSpec &s, const IndexOptions &o) : spec(s), options(o), entry(s.detailN) {}
};

DataSetWriter::DataSetWriter(const fs::path &folder, TextView baseName, const DataSetSpec &spec,
                             const IndexOptions &options, std::size_t memoryBudget)
    : state_(std::make_unique<State>(spec, options))
{
    State &s = *state_;
    s.memoryBudget = memoryBudget;
    if (options.blockSize < 1 || options.blockSize > kEntriesPerIndexRecord || options.topEntries < 1 ||
        options.topEntries > kEntriesPerIndexRecord || options.sectionSize < 0)
        throw DiscWriteError("index sizes out of range");
    const Text ext = fromAscii(spec.ext);
    s.chainEnd = spec.lookupProfile().chainEnd();
    s.dataPath = discFilePath(folder, "stk", Text(baseName) + u"." + ext);
    s.detailPath = discFilePath(folder, "stkidx", Text(baseName) + u"idxd." + ext);
    s.topPath = discFilePath(folder, "stkidx", Text(baseName) + u"idxp." + ext);

    // In a DetailEntry only the name keys are double-byte: a character position lies after
    // one byte per character and one more per double-byte character before it.
    int doubleBytes = 0;
    for (const KeyKindSpec &kind : spec.keyKinds)
        doubleBytes += kind.doubleByte ? kind.keyWidth : 0;
    if (spec.detailN + doubleBytes != spec.detail.length)
        throw DiscWriteError("the DetailEntry layout of " + std::string(spec.ext) + " is not its length");
    for (const KeyKindSpec &kind : spec.keyKinds) {
        int offset = kind.nextPos - 1;
        for (const KeyKindSpec &other : spec.keyKinds)
            if (other.doubleByte && other.keyPos < kind.nextPos)
                offset += other.keyWidth;
        s.nextByte.push_back(offset);
    }

    s.scratch = folder / ("." + toUtf8(baseName) + "." + std::string(spec.ext) + ".sorting");
    std::error_code ignored;
    fs::remove_all(s.scratch, ignored);
    fs::create_directories(s.scratch);
    const std::size_t perKind = std::max<std::size_t>(memoryBudget / spec.keyKinds.size(), 256);
    for (const KeyKindSpec &kind : spec.keyKinds)
        s.sorters.push_back(
            std::make_unique<KeySorter>(s.scratch / ("keys" + std::to_string(kind.number) + "-"), perKind));
    const Text chainEnd = pointerDigits(s.chainEnd, spec.pointerWidth);
    for (const KeyKindSpec &kind : spec.keyKinds)
        s.entry.put(kind.nextPos, spec.pointerWidth, chainEnd);
    s.data = std::make_unique<OutputFile>(s.dataPath);
    s.detail = std::make_unique<OutputFile>(s.detailPath);
}

DataSetWriter::~DataSetWriter()
{
    std::error_code ignored;
    state_->sorters.clear();
    state_->data.reset();
    state_->detail.reset();
    fs::remove_all(state_->scratch, ignored);
}

std::int64_t DataSetWriter::count() const
{
    return state_->count;
}

void DataSetWriter::add(TextView record)
{
    State &s = *state_;
    const DataSetSpec &spec = s.spec;
    const int pw = spec.pointerWidth;
    if (s.finished)
        throw DiscWriteError("the data set is already written");
    if (s.count + 1 >= s.chainEnd)
        throw DiscWriteError("too many records for " + std::to_string(pw) + "-digit pointers");
    const auto index = static_cast<std::uint32_t>(s.count);

    encodeRecord(record, spec.data.length, s.bytes);
    s.data->write(s.bytes);

    // The DetailEntry: the keys in KeyKind order and the record number; its next-pointers
    // hold ChainEnd until the chains are known.
    for (std::size_t k = 0; k < spec.keyKinds.size(); ++k) {
        const KeyKindSpec &kind = spec.keyKinds[k];
        const auto from = static_cast<std::size_t>(kind.sourcePos - 1);
        const TextView source =
            from < record.size() ? record.substr(from, static_cast<std::size_t>(kind.keyWidth)) : TextView();
        s.entry.put(kind.keyPos, kind.keyWidth, source, kind.doubleByte);
        const TextView key =
            TextView(s.entry.text())
                .substr(static_cast<std::size_t>(kind.keyPos - 1), static_cast<std::size_t>(kind.keyWidth));
        if (kind.lookup == Comparison::Binary)
            binaryOrder(key, s.order);
        else
            textSortKey(key, s.order);
        s.sorters[k]->add(s.order, index, key);
    }
    s.entry.put(spec.recordNoPos, pw, pointerDigits(s.count + 1, pw));
    encodeRecord(s.entry.text(), spec.detail.length, s.bytes);
    s.detail->write(s.bytes);
    ++s.count;
}

// One KeyKind's chain in order: its next-pointers to patch, BlockEntries, TopEntries.
struct BuiltChain {
    std::unique_ptr<PatchStore> patches;
    Text top;
    std::vector<Text> blocks;
    std::vector<std::int64_t> entries;  // with keepChains
};

// How a data set's chains are cut into sections: each section is one BlockEntry (its
// greatest key, its first DetailEntry), up to blockSize of them make a block, and every
// KeyKind has the same number of blocks.
struct IndexShape {
    std::int64_t entries = 0;  // DetailEntries, the length of every chain
    std::int64_t section = 0;  // chain entries per BlockEntry
    std::int64_t perBlock = 0;  // BlockEntries per block
    std::int64_t blocksPerKind = 0;
    size_t kinds = 0;

    // The TopIndexFile record number of KeyKind k's first block: after the K top records
    // and the blocks of the KeyKinds before it.
    std::int64_t firstBlock(size_t k) const
    {
        return static_cast<std::int64_t>(kinds) + 1 + static_cast<std::int64_t>(k) * blocksPerKind;
    }
};

namespace {

IndexShape planIndex(std::int64_t entries, size_t kinds, const IndexOptions &options)
{
    IndexShape shape;
    shape.entries = entries;
    shape.kinds = kinds;
    shape.perBlock = options.blockSize;
    const std::int64_t capacity = shape.perBlock * options.topEntries;
    shape.section = options.sectionSize;
    if (shape.section == 0)
        shape.section = std::max<std::int64_t>(1, (entries + capacity - 1) / capacity);
    const std::int64_t sections = (entries + shape.section - 1) / shape.section;
    if (sections > capacity)
        throw DiscWriteError("the index cannot hold " + std::to_string(entries) + " records");
    shape.blocksPerKind = (sections + shape.perBlock - 1) / shape.perBlock;
    return shape;
}

// The top record and blocks of one KeyKind, filled in as the chain's sections pass.
class IndexRecords {
public:
    IndexRecords(const DataSetSpec &spec, const KeyKindSpec &kind, const IndexShape &shape, size_t k,
                 BuiltChain &chain)
        : kind_(kind), layout_(spec.lookupProfile(), kind), pointerWidth_(spec.pointerWidth),
          perBlock_(shape.perBlock), nextBlockNo_(shape.firstBlock(k)), chain_(chain),
          unused_(fitField(u"", layout_.keyWidth, kind.doubleByte) + layout_.marker)
    {
    }

    // The BlockEntry of a section: its greatest key and its first DetailEntry.
    void addSection(TextView lastKey, std::int64_t firstEntry)
    {
        lastKey_ = Text(lastKey);
        block_ += entryText(lastKey_, firstEntry);
        if (++blockEntries_ == perBlock_)
            finishBlock();
    }

    // The last block closed and the top record filled up with unused entries.
    void finish()
    {
        if (blockEntries_ > 0)
            finishBlock();
        while (static_cast<int>(chain_.top.size()) < layout_.characters)
            chain_.top += unused_;
    }

private:
    Text entryText(TextView key, std::int64_t number) const
    {
        return fitField(key, layout_.keyWidth, kind_.doubleByte) + pointerDigits(number, pointerWidth_);
    }

    // A block is filled up with unused entries; its TopEntry carries its greatest key.
    void finishBlock()
    {
        for (; blockEntries_ < kEntriesPerIndexRecord; ++blockEntries_)
            block_ += unused_;
        chain_.blocks.push_back(block_);
        chain_.top += entryText(lastKey_, nextBlockNo_++);
        block_.clear();
        blockEntries_ = 0;
    }

    const KeyKindSpec &kind_;
    const IndexRecordLayout layout_;
    const int pointerWidth_;
    const std::int64_t perBlock_;
    std::int64_t nextBlockNo_;
    BuiltChain &chain_;
    const Text unused_;  // an entry that leads nowhere: blank key, the empty-entry marker
    Text block_;
    int blockEntries_ = 0;
    Text lastKey_;
};

}  // namespace

BuiltChain DataSetWriter::buildChain(size_t k, const IndexShape &shape, bool keepChains)
{
    State &s = *state_;
    BuiltChain chain;
    chain.patches =
        std::make_unique<PatchStore>(s.scratch, "next" + std::to_string(k) + "-", shape.entries,
                                     s.spec.detail.length, std::min(kPatchBlockBytes, s.memoryBudget / 4));
    IndexRecords index(s.spec, s.spec.keyKinds[k], shape, k, chain);
    std::int64_t position = 0;  // in the chain, from 0
    std::int64_t sectionFirst = 0;
    std::uint32_t previous = 0;
    s.sorters[k]->merge([&](std::uint32_t detailIndex, TextView key) {
        const std::int64_t entryNo = std::int64_t{detailIndex} + 1;
        if (position > 0)
            chain.patches->add(
                {previous, static_cast<std::uint32_t>(entryNo), static_cast<std::uint32_t>(k)});
        if (keepChains)
            chain.entries.push_back(entryNo);
        if (position % shape.section == 0)
            sectionFirst = entryNo;
        if (position % shape.section == shape.section - 1 || position == shape.entries - 1)
            index.addSection(key, sectionFirst);
        previous = detailIndex;
        ++position;
    });
    s.sorters[k].reset();
    index.finish();
    return chain;
}

std::vector<BuiltChain> DataSetWriter::buildChains(const IndexShape &shape, bool keepChains)
{
    // The KeyKinds' chains are built side by side: each merges its own sorted runs.
    std::vector<std::future<BuiltChain>> building;
    for (size_t k = 1; k < shape.kinds; ++k)
        building.push_back(std::async(
            std::launch::async, [this, k, &shape, keepChains] { return buildChain(k, shape, keepChains); }));
    std::vector<BuiltChain> chains;
    std::exception_ptr failed;
    const auto collect = [&](auto &&make) {
        try {
            chains.push_back(make());
        } catch (...) {
            if (!failed)
                failed = std::current_exception();
            chains.emplace_back();
        }
    };
    if (shape.kinds > 0)
        collect([&] { return buildChain(0, shape, keepChains); });
    for (auto &future : building)
        collect([&] { return future.get(); });
    if (failed)
        std::rethrow_exception(failed);
#ifdef __GLIBC__
    // The sorters' buffers were freed on several threads; the allocator would keep them
    // for those threads, and the next data sets' sorters would take new memory beside them.
    malloc_trim(0);
#endif
    return chains;
}

void DataSetWriter::patchNextPointers(std::vector<BuiltChain> &chains)
{
    // One range of DetailEntries at a time; every chain's ranges are the same.
    State &s = *state_;
    const int pw = s.spec.pointerWidth;
    std::fstream detail(s.detailPath, std::ios::in | std::ios::out | std::ios::binary);
    const std::int64_t length = s.spec.detail.length;
    std::string buffer;
    const std::int64_t ranges = chains.empty() ? 0 : chains.front().patches->ranges();
    const std::int64_t perRange = chains.empty() ? 1 : chains.front().patches->perRange();
    for (std::int64_t r = 0; r < ranges; ++r) {
        const std::int64_t first = r * perRange;
        const std::int64_t entries = std::min(s.count, first + perRange) - first;
        buffer.resize(static_cast<std::size_t>(entries * length));
        detail.seekg(static_cast<std::streamoff>(first * length));
        detail.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        for (BuiltChain &chain : chains)
            for (const Patch &patch : chain.patches->take(r)) {
                const Text digits = pointerDigits(patch.next, pw);
                char *at =
                    buffer.data() + (std::int64_t{patch.index} - first) * length + s.nextByte[patch.kind];
                for (int i = 0; i < pw; ++i)
                    at[i] = static_cast<char>(digits[static_cast<std::size_t>(i)]);
            }
        detail.seekp(static_cast<std::streamoff>(first * length));
        detail.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        if (!detail)
            throw DiscWriteError("cannot write " + s.detailPath.string());
    }
}

void DataSetWriter::writeTopIndexFile(const std::vector<BuiltChain> &chains)
{
    // K top records, then the blocks of each KeyKind.
    const State &s = *state_;
    OutputFile topFile(s.topPath);
    for (const BuiltChain &chain : chains)
        topFile.write(encodeRecord(chain.top, s.spec.top.length));
    for (const BuiltChain &chain : chains)
        for (const Text &block : chain.blocks)
            topFile.write(encodeRecord(block, s.spec.top.length));
    topFile.close();
}

WrittenIndex DataSetWriter::finish(bool keepChains)
{
    State &s = *state_;
    if (s.finished)
        throw DiscWriteError("the data set is already written");
    s.finished = true;
    s.data->close();
    s.detail->close();

    // Every KeyKind has `count` entries in its chain, hence the same number of blocks, so
    // where each KeyKind's blocks begin is known before any chain is built.
    const IndexShape shape = planIndex(s.count, s.spec.keyKinds.size(), s.options);
    std::vector<BuiltChain> chains = buildChains(shape, keepChains);
    WrittenIndex written;
    for (size_t k = 0; k < shape.kinds; ++k) {
        written.firstBlock.push_back(shape.firstBlock(k));
        written.chains.push_back(std::move(chains[k].entries));
    }
    patchNextPointers(chains);
    writeTopIndexFile(chains);
    return written;
}

}  // namespace regdisc
