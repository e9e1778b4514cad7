// Sorts the keys of one chain with memory that does not grow with their number: keys are
// sorted in memory up to a budget, written out as sorted runs into a scratch folder and
// merged as they are read back. The disc writer builds every chain with it.
#pragma once

#include "platform/text.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace regdisc {

class KeySorter {
public:
    // Runs go to files named `runPrefix` + a number; `budget` bytes are kept in memory.
    KeySorter(std::filesystem::path runPrefix, std::size_t budget);
    ~KeySorter();
    KeySorter(const KeySorter &) = delete;
    KeySorter &operator=(const KeySorter &) = delete;

    // One key: `order` is a byte string whose plain byte order is the chain's order; equal
    // orders keep the order of `index`. `key` travels along and comes back from merge().
    void add(std::string_view order, std::uint32_t index, TextView key);

    // Calls visit(index, key) for every key added, in ascending (order, index). Once only.
    void merge(const std::function<void(std::uint32_t index, TextView key)> &visit);

    std::size_t runsWritten() const { return runs_.size(); }

private:
    struct Ref {
        std::uint64_t prefix;  // the order's first eight bytes, big-endian, zero-filled
        std::uint32_t offset;  // of the item in arena_
    };
    void sortBuffer();
    void spill();

    std::filesystem::path runPrefix_;
    std::size_t budget_;
    std::string arena_;  // items: u16 order length, u16 key length, u32 index, order, key
    std::vector<Ref> refs_;
    std::vector<std::filesystem::path> runs_;
};

}  // namespace regdisc
