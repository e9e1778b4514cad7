#include "tools/disc_check.h"

#include "datasets/catalogue.h"
#include "engine/display_rules.h"
#include "engine/field_values.h"
#include "engine/index_layout.h"
#include "engine/index_walk.h"
#include "engine/record_layout.h"
#include "engine/record_text.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/record_file.h"
#include "tools/record_scan.h"

#include <algorithm>
#include <map>
#include <optional>
#include <system_error>
#include <unordered_map>

namespace regdisc {

namespace fs = std::filesystem;

namespace {

const std::vector<DefectInfo> kDefects{
    {DefectClass::FileLength, "file-length", u"檔案長度不是整數筆", CheckedFile::Data},
    {DefectClass::TopOrder, "top-order", u"上層索引未遞增", CheckedFile::TopIndex},
    {DefectClass::TopMarker, "top-marker", u"上層索引空項錯置", CheckedFile::TopIndex},
    {DefectClass::TopPointer, "top-pointer", u"上層索引指向檔外", CheckedFile::TopIndex},
    {DefectClass::BlockOrder, "block-order", u"區塊索引未遞增", CheckedFile::TopIndex},
    {DefectClass::BlockPointer, "block-pointer", u"區塊索引指向檔外", CheckedFile::TopIndex},
    {DefectClass::BlockStart, "block-start", u"區塊索引起點錯誤", CheckedFile::TopIndex},
    {DefectClass::ChainOrder, "chain-order", u"鏈結未依序", CheckedFile::DetailIndex},
    {DefectClass::ChainEnd, "chain-end", u"鏈結未以結束碼結束", CheckedFile::DetailIndex},
    {DefectClass::ChainLoop, "chain-loop", u"鏈結循環", CheckedFile::DetailIndex},
    {DefectClass::ChainCoverage, "chain-coverage", u"明細索引不在鏈結上", CheckedFile::DetailIndex},
    {DefectClass::RecordPointer, "record-pointer", u"明細索引指向檔外", CheckedFile::DetailIndex},
    {DefectClass::KeyMismatch, "key-mismatch", u"索引鍵與資料不符", CheckedFile::DetailIndex},
    {DefectClass::UnindexedRecord, "unindexed-record", u"資料未建索引", CheckedFile::Data},
    {DefectClass::Undecodable, "undecodable", u"無法解碼的字元", CheckedFile::Data},
    {DefectClass::RecordLayout, "record-layout", u"記錄欄位錯位", CheckedFile::Data},
    {DefectClass::MalformedQuantity, "quantity-format", u"數量欄位不是整數", CheckedFile::Data},
    {DefectClass::BeyondIndex, "beyond-index", u"筆數超過索引所能指向", CheckedFile::Data},
};

// Collects the defects of one register: a count per class and file, and the first few
// record numbers, each once, in ascending order.
class Defects {
public:
    void add(DefectClass defect, std::int64_t recordNo, std::optional<CheckedFile> file = std::nullopt)
    {
        const CheckedFile in = file.value_or(defectInfo(defect).file);
        DefectCount &d = found_[{defect, in}];
        d.defect = defect;
        d.file = in;
        ++d.count;
        const auto at = std::lower_bound(d.first.begin(), d.first.end(), recordNo);
        if (at != d.first.end() && *at == recordNo)
            return;
        d.first.insert(at, recordNo);
        if (static_cast<int>(d.first.size()) > kDefectExamples)
            d.first.pop_back();
    }
    // Counts `count` more of a class without a record number of their own.
    void addCount(DefectClass defect, CheckedFile file, std::int64_t count, std::int64_t firstRecord,
                  Text detail)
    {
        add(defect, firstRecord, file);
        DefectCount &d = found_[{defect, file}];
        d.count += count - 1;
        d.detail = std::move(detail);
    }
    std::vector<DefectCount> list() const
    {
        std::vector<DefectCount> out;
        for (const auto &[key, count] : found_)
            out.push_back(count);
        return out;
    }

private:
    std::map<std::pair<DefectClass, CheckedFile>, DefectCount> found_;
};

// One bit per record.
class Bits {
public:
    explicit Bits(std::int64_t count) : words_(static_cast<size_t>((count + 63) / 64), 0) {}
    bool test(std::int64_t i) const { return (words_[static_cast<size_t>(i / 64)] >> (i % 64)) & 1; }
    void set(std::int64_t i) { words_[static_cast<size_t>(i / 64)] |= std::uint64_t{1} << (i % 64); }

private:
    std::vector<std::uint64_t> words_;
};

// A file of the register while it is checked: its records as its size counts them, but
// never more than the index's pointers can name.
struct CheckedRecords {
    RecordFile file;
    std::int64_t count = 0;
};

class RegisterChecker {
public:
    RegisterChecker(const Disc &disc, const DataSetSpec &spec, Progress &progress)
        : disc_(disc), spec_(spec), profile_(spec.lookupProfile()), progress_(progress)
    {
    }

    RegisterCheck run()
    {
        result_.spec = &spec_;
        result_.state = disc_.presence(spec_);
        if (result_.state == RegisterState::Absent)
            return result_;
        progress_.begin(fromAscii(spec_.ext) + u" 索引", 0);
        const std::int64_t pointers = largestPointer(spec_.pointerWidth);
        // Every file is opened whatever the others hold: an empty TopIndexFile beside
        // DetailEntries and records is a damaged register, not an empty one.
        if (!openFile(top_, disc_.topIndexPath(spec_), spec_.top.length, CheckedFile::TopIndex, pointers) ||
            !openFile(detail_, disc_.detailIndexPath(spec_), spec_.detail.length, CheckedFile::DetailIndex,
                      pointers - 1) ||  // ChainEnd is no DetailEntry
            !openFile(data_, disc_.dataFilePath(spec_), spec_.data.length, CheckedFile::Data, pointers))
            return result_;
        if (top_.file.sizeBytes() == 0 && detail_.file.sizeBytes() == 0 && data_.file.sizeBytes() == 0) {
            result_.state = RegisterState::NoData;
            return result_;
        }
        result_.entries = detail_.count;
        result_.records = data_.count;
        try {
            for (const KeyKindSpec &kind : spec_.keyKinds)
                checkKind(kind);
            checkEntries();
            checkData();
        } catch (const RecordReadError &) {
            result_.state = RegisterState::Unreadable;
            result_.message = u"讀取時檔案變短或發生讀取錯誤";
            return result_;
        }
        result_.defects = defects_.list();
        return result_;
    }

private:
    bool openFile(CheckedRecords &records, const fs::path &path, int length, CheckedFile which,
                  std::int64_t addressable)
    {
        if (!records.file.open(path, length)) {
            result_.state = RegisterState::Unreadable;
            result_.message = u"無法讀取 " + fromUtf8(path.string());
            return false;
        }
        const std::uint64_t size = records.file.sizeBytes();
        const auto whole = records.file.recordCount();
        if (const std::uint64_t over = size % static_cast<std::uint64_t>(length); over > 0)
            defects_.addCount(DefectClass::FileLength, which, 1, whole + 1,
                              u"最後 " + formatCount(static_cast<std::int64_t>(over)) +
                                  u" 位元組不足一筆（每筆 " + formatCount(length) + u" 位元組）");
        records.count = std::min(whole, addressable);
        if (whole > addressable)
            defects_.addCount(DefectClass::BeyondIndex, which, whole - addressable, addressable + 1,
                              u"第 " + formatCount(addressable + 1) + u" 筆起的 " +
                                  formatCount(whole - addressable) + u" 筆無法由索引指向，未檢查");
        return true;
    }

    Text topRecord(RecordReads &reads, std::int64_t n, const IndexRecordLayout &layout)
    {
        return recordText(reads.record(n), layout.characters);
    }

    // The used entries of a top record or block.
    struct Entry {
        Text key;
        std::int64_t number;
    };

    // A BlockEntry in key order, as the scans see them: its key, the DetailEntry it names
    // and the block it stands in.
    struct Start {
        Text key;
        std::int64_t entry;
        std::int64_t block;
    };
    // Where the chain walk reached a BlockEntry's DetailEntry.
    struct Reached {
        bool reached = false;
        std::int64_t position = 0;  // in the chain, from 0
        Text before;  // the key of the entry before it
    };

    // One KeyKind: its top record and blocks, its chain, then each BlockEntry's start.
    void checkKind(const KeyKindSpec &kind)
    {
        if (kind.number > top_.count) {
            defects_.add(DefectClass::TopMarker, kind.number);
            coverage(kind, Bits(detail_.count));
            return;
        }
        const std::vector<Start> starts = scanTopAndBlocks(kind);
        Bits visited(detail_.count);
        const std::vector<Reached> reached = walkChain(kind, starts, visited);
        coverage(kind, visited);
        checkStarts(kind, starts, reached);
    }

    // The top record and its blocks: used entries first and ascending, pointers inside the
    // file; the BlockEntries in key order.
    std::vector<Start> scanTopAndBlocks(const KeyKindSpec &kind)
    {
        const IndexRecordLayout layout(profile_, kind);
        RecordReads top(top_.file);
        std::vector<Start> starts;
        const Text topText = topRecord(top, kind.number, layout);
        bool unusedSeen = false;
        Text previousTop;
        bool anyTop = false;
        for (int e = 0; e < kEntriesPerIndexRecord; ++e) {
            if (layout.unused(topText, e)) {
                unusedSeen = true;
                continue;
            }
            const Text key(layout.key(topText, e));
            if (unusedSeen)
                defects_.add(DefectClass::TopMarker, kind.number);
            if (anyTop && inputGreater(kind.lookup, previousTop, key))
                defects_.add(DefectClass::TopOrder, kind.number);
            previousTop = key;
            anyTop = true;
            const std::int64_t block = layout.pointer(topText, e);
            if (block <= static_cast<std::int64_t>(spec_.keyKinds.size()) || block > top_.count) {
                defects_.add(DefectClass::TopPointer, kind.number);
                continue;
            }
            const Text blockText = topRecord(top, block, layout);
            Text previous;
            bool anyBlock = false;
            for (int b = 0; b < kEntriesPerIndexRecord; ++b) {
                if (layout.unused(blockText, b))
                    continue;
                const Text blockKey(layout.key(blockText, b));
                if ((anyBlock && inputGreater(kind.lookup, previous, blockKey)) ||
                    inputGreater(kind.lookup, blockKey, key))
                    defects_.add(DefectClass::BlockOrder, block);
                previous = blockKey;
                anyBlock = true;
                const std::int64_t entry = layout.pointer(blockText, b);
                if (entry < 1 || entry > detail_.count) {
                    defects_.add(DefectClass::BlockPointer, block);
                    continue;
                }
                starts.push_back({blockKey, entry, block});
            }
        }
        top.confirm();
        return starts;
    }

    // The chain from the entry the first BlockEntry names, read entry by entry: each
    // visited once (a bit each), its key against the one before. Where a BlockEntry's
    // entry is reached, the entry before it is noted for the check of its start.
    std::vector<Reached> walkChain(const KeyKindSpec &kind, const std::vector<Start> &starts, Bits &visited)
    {
        std::unordered_multimap<std::int64_t, size_t> startAt;
        for (size_t j = 0; j < starts.size(); ++j)
            startAt.emplace(starts[j].entry, j);
        std::vector<Reached> reached(starts.size());
        const DetailEntryLayout entries(profile_);
        progress_.begin(fromAscii(spec_.ext) + u" " + Text(kind.caption), detail_.count);
        if (starts.empty())
            return reached;
        RecordReads detail(detail_.file);
        std::int64_t current = starts.front().entry;
        std::int64_t previous = 0;
        Text entry, before;
        for (std::int64_t position = 0;; ++position) {
            if (current == profile_.chainEnd())
                break;
            if (current < 1 || current > detail_.count) {
                defects_.add(DefectClass::ChainEnd, previous);
                break;
            }
            if (visited.test(current - 1)) {
                defects_.add(DefectClass::ChainLoop, previous);
                break;
            }
            visited.set(current - 1);
            recordText(detail.record(current), spec_.detailN, entry);
            if (previous && inputGreater(kind.lookup, entries.key(before, kind), entries.key(entry, kind)))
                defects_.add(DefectClass::ChainOrder, current);
            const auto [from, to] = startAt.equal_range(current);
            for (auto it = from; it != to; ++it)
                reached[it->second] = {true, position, previous ? Text(entries.key(before, kind)) : Text()};
            previous = current;
            std::swap(before, entry);
            current = entries.next(before, kind);
            if ((position & 0xFFFF) == 0)
                stepOrStop(progress_, position);
        }
        detail.confirm();
        return reached;
    }

    // Every BlockEntry names the entry at which the walk for its inputs must start: no
    // entry before it may hold a key its inputs would have found.
    void checkStarts(const KeyKindSpec &kind, const std::vector<Start> &starts,
                     const std::vector<Reached> &reached)
    {
        for (size_t j = 0; j < starts.size(); ++j) {
            const Reached &r = reached[j];
            bool sound = r.reached;
            if (sound && j == 0)
                sound = r.position == 0;
            else if (sound && r.position > 0)
                sound = !inputGreater(kind.lookup, r.before, starts[j - 1].key);
            if (!sound)
                defects_.add(DefectClass::BlockStart, starts[j].block);
        }
    }

    void coverage(const KeyKindSpec &, const Bits &visited)
    {
        for (std::int64_t e = 1; e <= detail_.count; ++e)
            if (!visited.test(e - 1))
                defects_.add(DefectClass::ChainCoverage, e);
    }

    // Every DetailEntry in file order: the record it names, whose fields must be its keys.
    void checkEntries()
    {
        named_ = Bits(data_.count);
        const DetailEntryLayout entries(profile_);
        RecordReads detail(detail_.file);
        RecordReads data(data_.file);
        Text entry, record;
        progress_.begin(fromAscii(spec_.ext) + u" 明細索引", detail_.count);
        for (std::int64_t e = 1; e <= detail_.count; ++e) {
            recordText(detail.record(e), spec_.detailN, entry);
            const std::int64_t recordNo = entries.recordNo(entry);
            if (recordNo < 1 || recordNo > data_.count) {
                defects_.add(DefectClass::RecordPointer, e);
                continue;
            }
            named_.set(recordNo - 1);
            recordText(data.record(recordNo), spec_.dataN, record);
            for (const KeyKindSpec &kind : spec_.keyKinds) {
                Text value = field(record, kind.sourcePos, kind.keyWidth);
                value.resize(static_cast<size_t>(kind.keyWidth), u' ');
                Text key(entries.key(entry, kind));
                key.resize(static_cast<size_t>(kind.keyWidth), u' ');
                if (value != key) {
                    defects_.add(DefectClass::KeyMismatch, e);
                    break;
                }
            }
            if ((e & 0xFFFF) == 0)
                stepOrStop(progress_, e);
        }
        detail.confirm();
        data.confirm();
    }

    // The DataFile read once from start to end: records the index names, records that hold
    // their fields as laid out, quantities that are whole numbers, text that decodes.
    void checkData()
    {
        const RecordShape shape(spec_.fields, spec_.dataN);
        std::vector<const FieldSpec *> quantities;
        for (const FieldSpec &f : spec_.fields)
            if (isQuantity(f))
                quantities.push_back(&f);
        Text record;
        progress_.begin(fromAscii(spec_.ext) + u" 資料", data_.count);
        const ScanResult scan =
            scanRecords(disc_.dataFilePath(spec_), spec_.data.length, data_.count, progress_,
                        [&](std::int64_t recordNo, std::string_view bytes) {
                            recordText(bytes, spec_.dataN, record);
                            if (record.find(u'\uFFFD') != Text::npos)
                                defects_.add(DefectClass::Undecodable, recordNo);
                            if (!shape.follows(bytes))
                                defects_.add(DefectClass::RecordLayout, recordNo);
                            for (const FieldSpec *f : quantities)
                                if (!quantityOf(*f, record, disc_.info().decimalFlag).wellFormed) {
                                    defects_.add(DefectClass::MalformedQuantity, recordNo);
                                    break;
                                }
                            if (!named_.test(recordNo - 1))
                                defects_.add(DefectClass::UnindexedRecord, recordNo);
                        });
        if (!scan.opened || scan.records < data_.count)
            throw RecordReadError("the DataFile could not be read to its end");
    }

    const Disc &disc_;
    const DataSetSpec &spec_;
    LookupProfile profile_;
    Progress &progress_;
    RegisterCheck result_;
    Defects defects_;
    CheckedRecords top_, detail_, data_;
    Bits named_{0};  // the records some DetailEntry names
};

}  // namespace

const DefectInfo &defectInfo(DefectClass defect)
{
    for (const DefectInfo &d : kDefects)
        if (d.defect == defect)
            return d;
    return kDefects.front();
}

int DiscCheck::exitStatus() const
{
    if (!opened)
        return 2;
    bool defects = std::any_of(files.begin(), files.end(), [](const FileCheck &f) { return !f.readable; });
    for (const RegisterCheck &r : registers)
        defects = defects || !r.whole();
    return defects ? 1 : 0;
}

RegisterCheck checkRegister(const Disc &disc, const DataSetSpec &spec, Progress &progress)
{
    return RegisterChecker(disc, spec, progress).run();
}

DiscCheck checkDisc(Disc &disc, Progress &progress)
{
    DiscCheck check;
    check.opened = disc.open();
    if (!check.opened) {
        check.error = disc.error();
        return check;
    }
    check.files.push_back({u"security.txt", true});
    for (const ListingSpec *listing : allListings())
        check.files.push_back(
            {disc.info().baseName + u"." + fromAscii(listing->ext),
             readBoundedFile(disc.listingPath(*listing), kMaxListingBytes).status == FileContent::Read});
    for (const DataSetSpec *spec : allDataSets())
        check.registers.push_back(checkRegister(disc, *spec, progress));
    return check;
}

}  // namespace regdisc
