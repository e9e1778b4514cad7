// A skip index built beside an open screen: on a thread of its own, with files of its own
// (the same paths), so that the screen's lookups walk as always until it is ready and read
// fewer entries from then on. The screen takes it over on its own thread, between two
// lookups; closing the screen stops the build.
#pragma once

#include "engine/lookup_profile.h"
#include "engine/skip_index.h"

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

namespace regdisc {

class BackgroundSkipIndex {
public:
    BackgroundSkipIndex(const LookupProfile &profile, std::filesystem::path top, std::filesystem::path detail,
                        std::filesystem::path data, int topLength, int detailLength, int dataLength);
    // Stops the build and waits for its thread.
    ~BackgroundSkipIndex();

    // The index once built (and only once: later calls give nothing).
    std::shared_ptr<const SkipIndex> take();
    // Waits at most `timeout` for the build to end; whether it has.
    bool waitUntilBuilt(std::chrono::milliseconds timeout);

private:
    std::atomic<bool> stop_{false};
    std::atomic<bool> ready_{false};
    std::mutex mutex_;
    std::condition_variable built_;
    std::shared_ptr<const SkipIndex> index_;
    std::thread thread_;
};

}  // namespace regdisc
