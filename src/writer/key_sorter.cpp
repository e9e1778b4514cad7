#include "writer/key_sorter.h"

#include "writer/disc_writer.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>

namespace regdisc {

namespace {

constexpr std::size_t kHeader = 8;  // u16 order length, u16 key length, u32 index
constexpr std::size_t kRunBuffer = 1 << 18;  // per run while merging

std::uint16_t load16(const char *p)
{
    std::uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

std::uint32_t load32(const char *p)
{
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

std::size_t itemSize(const char *item)
{
    return kHeader + load16(item) + 2 * std::size_t{load16(item + 2)};
}

// Order bytes first (a shorter order that begins a longer one is the smaller), then index.
bool itemLess(const char *a, const char *b)
{
    const std::uint16_t la = load16(a), lb = load16(b);
    const int c = std::memcmp(a + kHeader, b + kHeader, std::min(la, lb));
    if (c != 0)
        return c < 0;
    if (la != lb)
        return la < lb;
    return load32(a + 4) < load32(b + 4);
}

std::uint64_t prefixOf(std::string_view order)
{
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i)
        prefix = (prefix << 8) | (i < order.size() ? static_cast<unsigned char>(order[i]) : 0u);
    return prefix;
}

// One sorted run while merging: the item at its head.
class RunCursor {
public:
    virtual ~RunCursor() = default;
    virtual const char *head() const = 0;  // nullptr at the end
    virtual void advance() = 0;
};

class MemoryCursor : public RunCursor {
public:
    template <typename Refs>
    MemoryCursor(const std::string &arena, const Refs &refs) : arena_(arena.data()), offsets_(refs.size())
    {
        for (std::size_t i = 0; i < refs.size(); ++i)
            offsets_[i] = refs[i].offset;
    }
    const char *head() const override { return next_ < offsets_.size() ? arena_ + offsets_[next_] : nullptr; }
    void advance() override { ++next_; }

private:
    const char *arena_;
    std::vector<std::uint32_t> offsets_;
    std::size_t next_ = 0;
};

class FileCursor : public RunCursor {
public:
    explicit FileCursor(const std::filesystem::path &path) : buffer_(kRunBuffer)
    {
        file_.rdbuf()->pubsetbuf(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        file_.open(path, std::ios::in | std::ios::binary);
        if (!file_)
            throw DiscWriteError("cannot open the scratch file " + path.string());
        advance();
    }
    const char *head() const override { return atEnd_ ? nullptr : item_.data(); }
    void advance() override
    {
        item_.resize(kHeader);
        file_.read(item_.data(), kHeader);
        if (file_.gcount() == 0 && file_.eof()) {
            atEnd_ = true;
            return;
        }
        if (file_.gcount() != kHeader)
            throw DiscWriteError("a scratch file ended early");
        const std::size_t size = itemSize(item_.data());
        item_.resize(size);
        file_.read(item_.data() + kHeader, static_cast<std::streamsize>(size - kHeader));
        if (static_cast<std::size_t>(file_.gcount()) != size - kHeader)
            throw DiscWriteError("a scratch file ended early");
    }

private:
    std::vector<char> buffer_;
    std::ifstream file_;
    std::string item_;
    bool atEnd_ = false;
};

}  // namespace

KeySorter::KeySorter(std::filesystem::path runPrefix, std::size_t budget)
    : runPrefix_(std::move(runPrefix)), budget_(budget)
{
}

KeySorter::~KeySorter()
{
    std::error_code ignored;
    for (const auto &run : runs_)
        std::filesystem::remove(run, ignored);
}

void KeySorter::add(std::string_view order, std::uint32_t index, TextView key)
{
    if (order.size() > 0xFFFF || key.size() > 0xFFFF)
        throw DiscWriteError("a key is too long to sort");
    const std::size_t bytes = kHeader + order.size() + 2 * key.size();
    if (!arena_.empty() && arena_.size() + bytes + refs_.size() * sizeof(Ref) > budget_)
        spill();
    const std::size_t offset = arena_.size();
    if (offset + bytes > 0xFFFFFFFFu)
        throw DiscWriteError("the sort budget is too large");
    if (arena_.capacity() < budget_) {
        // Once, at the first key: the buffers are never moved while they fill. Each key
        // takes a Ref and at least its header, so that many Refs are the most there can be.
        arena_.reserve(budget_);
        refs_.reserve(budget_ / (sizeof(Ref) + kHeader) + 1);
    }
    char header[kHeader];
    const std::uint16_t orderLength = static_cast<std::uint16_t>(order.size());
    const std::uint16_t keyLength = static_cast<std::uint16_t>(key.size());
    std::memcpy(header, &orderLength, 2);
    std::memcpy(header + 2, &keyLength, 2);
    std::memcpy(header + 4, &index, 4);
    arena_.append(header, kHeader);
    arena_.append(order);
    arena_.append(reinterpret_cast<const char *>(key.data()), 2 * key.size());
    refs_.push_back({prefixOf(order), static_cast<std::uint32_t>(offset)});
}

void KeySorter::sortBuffer()
{
    const char *arena = arena_.data();
    std::sort(refs_.begin(), refs_.end(), [arena](const Ref &a, const Ref &b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        return itemLess(arena + a.offset, arena + b.offset);
    });
}

void KeySorter::spill()
{
    sortBuffer();
    std::filesystem::path path = runPrefix_;
    path += std::to_string(runs_.size());
    runs_.push_back(path);
    {
        std::vector<char> buffer(1 << 20);
        std::ofstream file;
        file.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        file.open(path, std::ios::out | std::ios::binary | std::ios::trunc);
        for (const Ref &ref : refs_) {
            const char *item = arena_.data() + ref.offset;
            file.write(item, static_cast<std::streamsize>(itemSize(item)));
        }
        file.flush();
        if (!file)
            throw DiscWriteError("cannot write the scratch file " + path.string());
    }
    arena_.clear();
    refs_.clear();
}

void KeySorter::merge(const std::function<void(std::uint32_t, TextView)> &visit)
{
    sortBuffer();
    Text key;
    const auto visitItem = [&](const char *item) {
        key.resize(load16(item + 2));
        std::memcpy(key.data(), item + kHeader + load16(item), 2 * key.size());
        visit(load32(item + 4), key);
    };
    if (runs_.empty()) {
        // Everything fitted in memory: the sorted buffer is the order.
        for (const Ref &ref : refs_)
            visitItem(arena_.data() + ref.offset);
    } else {
        std::vector<std::unique_ptr<RunCursor>> cursors;
        for (const auto &run : runs_)
            cursors.push_back(std::make_unique<FileCursor>(run));
        cursors.push_back(std::make_unique<MemoryCursor>(arena_, refs_));

        // A heap of the cursors by their head items, the smallest on top; the heads'
        // prefixes decide most comparisons.
        struct Head {
            std::uint64_t prefix;
            const char *item;
            RunCursor *cursor;
        };
        const auto headOf = [](RunCursor *cursor) {
            const char *item = cursor->head();
            return Head{item ? prefixOf(std::string_view(item + kHeader, load16(item))) : 0, item, cursor};
        };
        const auto greater = [](const Head &a, const Head &b) {
            if (a.prefix != b.prefix)
                return a.prefix > b.prefix;
            return itemLess(b.item, a.item);
        };
        std::vector<Head> heap;
        for (const auto &cursor : cursors)
            if (cursor->head())
                heap.push_back(headOf(cursor.get()));
        std::make_heap(heap.begin(), heap.end(), greater);
        while (!heap.empty()) {
            std::pop_heap(heap.begin(), heap.end(), greater);
            RunCursor *cursor = heap.back().cursor;
            visitItem(heap.back().item);
            cursor->advance();
            if (cursor->head()) {
                heap.back() = headOf(cursor);
                std::push_heap(heap.begin(), heap.end(), greater);
            } else {
                heap.pop_back();
            }
        }
    }
    arena_.clear();
    arena_.shrink_to_fit();
    refs_.clear();
    refs_.shrink_to_fit();
}

}  // namespace regdisc
