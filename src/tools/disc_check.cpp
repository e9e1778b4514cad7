#include "tools/disc_check.h"

#include "datasets/catalogue.h"
#include "engine/lookup.h"
#include "engine/record_text.h"
#include "platform/codepage.h"
#include "tools/record_scan.h"

#include <algorithm>
#include <map>
#include <system_error>

namespace regdisc {

namespace fs = std::filesystem;

namespace {

// Index files are read whole; a DetailIndexFile of ten million holders is 610 MB.
constexpr std::uint64_t kMaxIndexBytes = 2ull << 30;
constexpr std::int64_t kNone = -1;

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
};

// Collects the defects of one register.
class Defects {
public:
    void add(DefectClass defect, std::int64_t recordNo)
    {
        DefectCount &d = found_[defect];
        d.defect = defect;
        ++d.count;
        if (static_cast<int>(d.first.size()) < kDefectExamples)
            d.first.push_back(recordNo);
    }
    std::vector<DefectCount> list() const
    {
        std::vector<DefectCount> out;
        for (const auto &[defect, count] : found_)
            out.push_back(count);
        return out;
    }

private:
    std::map<DefectClass, DefectCount> found_;
};

struct IndexEntry {
    Text key;
    std::int64_t number = 0;
    bool used = false;
};

// The 100 entries of a top record or block.
std::vector<IndexEntry> entriesOf(TextView record, const LookupProfile &profile, const KeyKindSpec &kind)
{
    std::vector<IndexEntry> entries;
    const int kw = kind.topKeyWidth;
    const int w = kw + profile.pointerWidth;
    const Text marker = profile.emptyMarker();
    for (int i = 1; i + w - 1 <= profile.topN(kind); i += w) {
        const Text number = field(record, i + kw, profile.pointerWidth);
        entries.push_back({field(record, i, kw), wholeNumber(number), number != marker});
    }
    return entries;
}

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
        const Text name = fromAscii(spec_.ext);
        progress_.begin(name + u" 索引", 0);
        if (!readIndex(disc_.topIndexPath(spec_), spec_.top.length, top_) ||
            !readIndex(disc_.detailIndexPath(spec_), spec_.detail.length, detail_))
            return result_;
        std::error_code error;
        const fs::path dataPath = disc_.dataFilePath(spec_);
        const std::uint64_t dataBytes = fs::file_size(dataPath, error);
        if (error) {
            unreadable(dataPath);
            return result_;
        }
        if (top_.empty()) {
            result_.state = RegisterState::NoData;
            return result_;
        }
        topCount_ = static_cast<std::int64_t>(top_.size()) / spec_.top.length;
        entryCount_ = static_cast<std::int64_t>(detail_.size()) / spec_.detail.length;
        dataCount_ = static_cast<std::int64_t>(dataBytes) / spec_.data.length;
        result_.entries = entryCount_;
        result_.records = dataCount_;
        if (top_.size() % static_cast<size_t>(spec_.top.length) != 0 ||
            detail_.size() % static_cast<size_t>(spec_.detail.length) != 0 ||
            dataBytes % static_cast<std::uint64_t>(spec_.data.length) != 0)
            defects_.add(DefectClass::FileLength, 0);

        readEntries();
        for (const KeyKindSpec &kind : spec_.keyKinds)
            checkKind(kind);
        checkData(dataPath);
        result_.defects = defects_.list();
        return result_;
    }

private:
    bool readIndex(const fs::path &path, int length, std::string &bytes)
    {
        if (!readWholeFile(path, kMaxIndexBytes, bytes)) {
            unreadable(path);
            return false;
        }
        (void)length;
        return true;
    }

    void unreadable(const fs::path &path)
    {
        result_.state = RegisterState::Unreadable;
        result_.message = u"無法讀取 " + fromUtf8(path.string());
    }

    Text topRecord(std::int64_t n, int characters) const
    {
        const auto length = static_cast<size_t>(spec_.top.length);
        return recordText(std::string_view(top_).substr(static_cast<size_t>(n - 1) * length, length),
                          characters);
    }

    // Every DetailEntry decoded once: its record number, keys and next-pointers.
    void readEntries()
    {
        const size_t kinds = spec_.keyKinds.size();
        keys_.assign(kinds, {});
        next_.assign(kinds, std::vector<std::int64_t>(static_cast<size_t>(entryCount_)));
        recordOf_.assign(static_cast<size_t>(entryCount_), kNone);
        for (size_t k = 0; k < kinds; ++k)
            keys_[k].reserve(static_cast<size_t>(entryCount_ * spec_.keyKinds[k].keyWidth));
        const auto length = static_cast<size_t>(spec_.detail.length);
        progress_.begin(fromAscii(spec_.ext) + u" 明細索引", entryCount_);
        for (std::int64_t e = 0; e < entryCount_; ++e) {
            const Text entry = recordText(
                std::string_view(detail_).substr(static_cast<size_t>(e) * length, length), spec_.detailN);
            const std::int64_t recordNo = wholeNumber(field(entry, spec_.recordNoPos, spec_.pointerWidth));
            if (recordNo >= 1 && recordNo <= dataCount_)
                recordOf_[static_cast<size_t>(e)] = recordNo;
            else
                defects_.add(DefectClass::RecordPointer, e + 1);
            for (size_t k = 0; k < kinds; ++k) {
                const KeyKindSpec &kind = spec_.keyKinds[k];
                const Text key = field(entry, kind.keyPos, kind.keyWidth);
                keys_[k].append(key);
                keys_[k].append(static_cast<size_t>(kind.keyWidth) - key.size(), u' ');
                next_[k][static_cast<size_t>(e)] =
                    wholeNumber(field(entry, kind.nextPos, spec_.pointerWidth));
            }
            if ((e & 0xFFFF) == 0)
                stepOrStop(progress_, e);
        }
        detail_.clear();
        detail_.shrink_to_fit();
    }

    TextView keyOf(size_t kindIndex, std::int64_t entry) const
    {
        const auto width = static_cast<size_t>(spec_.keyKinds[kindIndex].keyWidth);
        return TextView(keys_[kindIndex]).substr(static_cast<size_t>(entry - 1) * width, width);
    }

    void checkKind(const KeyKindSpec &kind)
    {
        const size_t k = static_cast<size_t>(kind.number - 1);
        if (kind.number > topCount_) {
            defects_.add(DefectClass::TopMarker, kind.number);
            return;
        }
        // Top record and its blocks: the BlockEntries in key order, as the scans see them.
        struct Start {
            Text key;
            std::int64_t entry;
            std::int64_t block;
        };
        std::vector<Start> starts;
        const std::vector<IndexEntry> tops =
            entriesOf(topRecord(kind.number, profile_.topN(kind)), profile_, kind);
        bool unusedSeen = false;
        const IndexEntry *previousTop = nullptr;
        for (const IndexEntry &t : tops) {
            if (!t.used) {
                unusedSeen = true;
                continue;
            }
            if (unusedSeen)
                defects_.add(DefectClass::TopMarker, kind.number);
            if (previousTop && inputGreater(kind.lookup, previousTop->key, t.key))
                defects_.add(DefectClass::TopOrder, kind.number);
            previousTop = &t;
            if (t.number <= static_cast<std::int64_t>(spec_.keyKinds.size()) || t.number > topCount_) {
                defects_.add(DefectClass::TopPointer, kind.number);
                continue;
            }
            const std::vector<IndexEntry> blocks =
                entriesOf(topRecord(t.number, profile_.topN(kind)), profile_, kind);
            const IndexEntry *previous = nullptr;
            for (const IndexEntry &b : blocks) {
                if (!b.used)
                    continue;
                if ((previous && inputGreater(kind.lookup, previous->key, b.key)) ||
                    inputGreater(kind.lookup, b.key, t.key))
                    defects_.add(DefectClass::BlockOrder, t.number);
                previous = &b;
                if (b.number < 1 || b.number > entryCount_) {
                    defects_.add(DefectClass::BlockPointer, t.number);
                    continue;
                }
                starts.push_back({b.key, b.number, t.number});
            }
        }

        // The chain from the entry the first BlockEntry names.
        std::vector<std::int64_t> &order = order_;
        order.clear();
        position_.assign(static_cast<size_t>(entryCount_), kNone);
        if (!starts.empty()) {
            std::int64_t current = starts.front().entry;
            std::int64_t previous = 0;
            for (;;) {
                if (current == profile_.chainEnd())
                    break;
                if (current < 1 || current > entryCount_) {
                    defects_.add(DefectClass::ChainEnd, previous);
                    break;
                }
                if (position_[static_cast<size_t>(current - 1)] != kNone) {
                    defects_.add(DefectClass::ChainLoop, previous);
                    break;
                }
                if (previous && inputGreater(kind.lookup, keyOf(k, previous), keyOf(k, current)))
                    defects_.add(DefectClass::ChainOrder, current);
                position_[static_cast<size_t>(current - 1)] = static_cast<std::int64_t>(order.size());
                order.push_back(current);
                previous = current;
                current = next_[k][static_cast<size_t>(current - 1)];
            }
        }
        for (std::int64_t e = 1; e <= entryCount_; ++e)
            if (position_[static_cast<size_t>(e - 1)] == kNone)
                defects_.add(DefectClass::ChainCoverage, e);

        // Every BlockEntry names the entry at which the walk for its inputs must start: no
        // entry before it may hold a key its inputs would have found.
        for (size_t j = 0; j < starts.size(); ++j) {
            const std::int64_t pos = position_[static_cast<size_t>(starts[j].entry - 1)];
            bool sound = pos != kNone;
            if (sound && j == 0)
                sound = pos == 0;
            else if (sound && pos > 0)
                sound = !inputGreater(kind.lookup, keyOf(k, order[static_cast<size_t>(pos - 1)]),
                                      starts[j - 1].key);
            if (!sound)
                defects_.add(DefectClass::BlockStart, starts[j].block);
        }
    }

    // The DataFile read once: text that decodes, and each record's fields against the keys
    // of the entries that name it.
    void checkData(const fs::path &path)
    {
        // The entries naming each record, grouped by record (counting sort).
        std::vector<std::int64_t> firstOf(static_cast<size_t>(dataCount_) + 2, 0);
        for (std::int64_t r : recordOf_)
            if (r != kNone)
                ++firstOf[static_cast<size_t>(r) + 1];
        for (size_t i = 1; i < firstOf.size(); ++i)
            firstOf[i] += firstOf[i - 1];
        std::vector<std::int64_t> naming(static_cast<size_t>(firstOf.back()));
        {
            std::vector<std::int64_t> fill(firstOf.begin(), firstOf.end() - 1);
            for (std::int64_t e = 0; e < entryCount_; ++e)
                if (const std::int64_t r = recordOf_[static_cast<size_t>(e)]; r != kNone)
                    naming[static_cast<size_t>(fill[static_cast<size_t>(r)]++)] = e + 1;
        }
        progress_.begin(fromAscii(spec_.ext) + u" 資料", dataCount_);
        const ScanResult scan = scanRecords(
            path, spec_.data.length, progress_, [&](std::int64_t recordNo, std::string_view bytes) {
                const Text record = recordText(bytes, spec_.dataN);
                if (record.find(u'\uFFFD') != Text::npos)
                    defects_.add(DefectClass::Undecodable, recordNo);
                const auto from = firstOf[static_cast<size_t>(recordNo)];
                const auto to = firstOf[static_cast<size_t>(recordNo) + 1];
                if (from == to)
                    defects_.add(DefectClass::UnindexedRecord, recordNo);
                for (auto i = from; i < to; ++i) {
                    const std::int64_t entry = naming[static_cast<size_t>(i)];
                    for (size_t k = 0; k < spec_.keyKinds.size(); ++k) {
                        const KeyKindSpec &kind = spec_.keyKinds[k];
                        Text value = field(record, kind.sourcePos, kind.keyWidth);
                        value.resize(static_cast<size_t>(kind.keyWidth), u' ');
                        if (value != keyOf(k, entry)) {
                            defects_.add(DefectClass::KeyMismatch, entry);
                            break;
                        }
                    }
                }
            });
        if (!scan.opened)
            unreadable(path);
    }

    const Disc &disc_;
    const DataSetSpec &spec_;
    LookupProfile profile_;
    Progress &progress_;
    RegisterCheck result_;
    Defects defects_;
    std::string top_, detail_;
    std::int64_t topCount_ = 0, entryCount_ = 0, dataCount_ = 0;
    std::vector<Text> keys_;  // per KeyKind: every entry's key, fixed width
    std::vector<std::vector<std::int64_t>> next_;  // per KeyKind: every entry's next-pointer
    std::vector<std::int64_t> recordOf_;  // every entry's record number (kNone outside the DataFile)
    std::vector<std::int64_t> position_, order_;
};

}  // namespace

const std::vector<DefectInfo> &allDefects()
{
    return kDefects;
}

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
    for (const ListingSpec *listing : allListings()) {
        std::string bytes;
        check.files.push_back({disc.info().baseName + u"." + fromAscii(listing->ext),
                               readWholeFile(disc.listingPath(*listing), 64u << 20, bytes)});
    }
    for (const DataSetSpec *spec : allDataSets())
        check.registers.push_back(checkRegister(disc, *spec, progress));
    return check;
}

}  // namespace regdisc
