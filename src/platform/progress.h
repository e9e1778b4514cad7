// How long work reports how far it has come and learns that the clerk cancelled it. The
// command line shows a line on standard error, the windows a progress dialog; the work
// itself knows neither.
#pragma once

#include "platform/text.h"

#include <cstdint>
#include <exception>

namespace regdisc {

class Progress {
public:
    virtual ~Progress() = default;
    // A new stage of the work with `total` steps (0: unknown).
    virtual void begin(TextView stage, std::int64_t total) = 0;
    // `done` steps of the stage are done. Called often: implementations keep it cheap.
    virtual void step(std::int64_t done) = 0;
    // Whether the clerk asked the work to stop.
    virtual bool cancelled() const = 0;
};

// Work that nobody watches.
class NoProgress : public Progress {
public:
    void begin(TextView, std::int64_t) override {}
    void step(std::int64_t) override {}
    bool cancelled() const override { return false; }
};

// Thrown out of the work when the clerk cancelled it; whatever it wrote is incomplete.
struct WorkCancelled : std::exception {
    const char *what() const noexcept override { return "cancelled"; }
};

// step(done), then WorkCancelled when the clerk cancelled.
inline void stepOrStop(Progress &progress, std::int64_t done)
{
    progress.step(done);
    if (progress.cancelled())
        throw WorkCancelled();
}

}  // namespace regdisc
