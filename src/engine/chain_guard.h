// Watches the DetailEntries a chain walk reads, in constant memory, so that a damaged chain
// ends the walk at once instead of being followed round and round.
#pragma once

#include <cstdint>

namespace regdisc {

// A chain that returns to an entry it has already visited loops for ever. Brent's cycle
// detection finds the return with one remembered entry number: the entry seen at the last
// power-of-two step. It reports the loop within a few rounds of it, never a chain that
// does not loop.
class ChainGuard {
public:
    // Counts entry n as the next entry of the chain; false when the chain has come back to
    // an entry it visited before.
    bool visit(std::int64_t n)
    {
        ++visited_;
        if (visited_ == 1) {
            saved_ = n;
            return true;
        }
        if (n == saved_)
            return false;
        if (++sinceSaved_ == power_) {
            saved_ = n;
            power_ *= 2;
            sinceSaved_ = 0;
        }
        return true;
    }

    // Entries visited since the guard was started.
    std::int64_t visited() const { return visited_; }
    // The entry remembered for the check: the one visited at the last power-of-two step.
    std::int64_t saved() const { return saved_; }

    // The guard as it stands after `visited` visits whose last remembered entry is `saved`:
    // the rest of its state follows from the count, so two numbers keep a guard.
    static ChainGuard resumed(std::int64_t visited, std::int64_t saved)
    {
        ChainGuard guard;
        if (visited < 1)
            return guard;
        guard.visited_ = visited;
        guard.saved_ = saved;
        // The entry is remembered again after 1, 2, 4, … further visits.
        std::int64_t after = visited - 1;
        while (after >= guard.power_) {
            after -= guard.power_;
            guard.power_ *= 2;
        }
        guard.sinceSaved_ = after;
        return guard;
    }

private:
    std::int64_t visited_ = 0;
    std::int64_t saved_ = 0;
    std::int64_t power_ = 1;
    std::int64_t sinceSaved_ = 0;
};

}  // namespace regdisc
