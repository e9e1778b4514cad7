// The ring of the last 1000 DataFile records a screen has shown.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace regdisc {

class RecordHistory {
public:
    static constexpr int kSlots = 1000;

    // All counters 0: nothing remembered (screen load).
    void clear() { oldest_ = current_ = newest_ = 0; }

    // Remembers a record after the newest one (also when an older one is on display) and
    // makes it current; the oldest is forgotten when the ring is full.
    void push(std::int64_t recordNo);

    // One slot back or forward; returns the record number now current.
    std::int64_t stepBack();
    std::int64_t stepForward();

    // The record a step would show, without stepping.
    std::int64_t peekBack() const { return slots_[static_cast<std::size_t>(before(current_) - 1)]; }
    std::int64_t peekForward() const { return slots_[static_cast<std::size_t>(after(current_) - 1)]; }

    bool atOldest() const { return current_ == oldest_; }
    bool atNewest() const { return current_ == newest_; }
    bool holdsOne() const { return newest_ == oldest_; }

    int oldestSlot() const { return oldest_; }
    int currentSlot() const { return current_; }
    int newestSlot() const { return newest_; }
    std::int64_t currentRecord() const
    {
        return current_ ? slots_[static_cast<std::size_t>(current_ - 1)] : 0;
    }

private:
    static int after(int slot) { return slot >= kSlots ? 1 : slot + 1; }
    static int before(int slot) { return slot <= 1 ? kSlots : slot - 1; }

    std::array<std::int64_t, kSlots> slots_{};
    int oldest_ = 0;
    int current_ = 0;
    int newest_ = 0;
};

}  // namespace regdisc
