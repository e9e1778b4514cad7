#include "engine/record_history.h"

namespace regdisc {

void RecordHistory::push(std::int64_t recordNo)
{
    newest_ = after(newest_);
    if (newest_ == oldest_)
        oldest_ = after(oldest_);
    if (oldest_ == 0)
        oldest_ = 1;
    slots_[static_cast<std::size_t>(newest_ - 1)] = recordNo;
    current_ = newest_;
}

std::int64_t RecordHistory::stepBack()
{
    current_ = before(current_);
    return slots_[static_cast<std::size_t>(current_ - 1)];
}

std::int64_t RecordHistory::stepForward()
{
    current_ = after(current_);
    return slots_[static_cast<std::size_t>(current_ - 1)];
}

}  // namespace regdisc
