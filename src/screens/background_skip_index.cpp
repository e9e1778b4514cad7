#include "screens/background_skip_index.h"

#include "platform/record_file.h"

namespace regdisc {

BackgroundSkipIndex::BackgroundSkipIndex(const LookupProfile &profile, std::filesystem::path top,
                                         std::filesystem::path detail, std::filesystem::path data,
                                         int topLength, int detailLength, int dataLength)
{
    thread_ = std::thread([this, profile, top, detail, data, topLength, detailLength, dataLength] {
        std::shared_ptr<const SkipIndex> index;
        RecordFile topFile, detailFile, dataFile;
        if (topFile.open(top, topLength) && detailFile.open(detail, detailLength) &&
            dataFile.open(data, dataLength))
            index = SkipIndex::build(profile, {&topFile, &detailFile, &dataFile}, {},
                                     SkipIndex::kDefaultSpacing, [this] { return stop_.load(); });
        {
            std::lock_guard lock(mutex_);
            index_ = std::move(index);
            ready_ = true;
        }
        built_.notify_all();
    });
}

BackgroundSkipIndex::~BackgroundSkipIndex()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

std::shared_ptr<const SkipIndex> BackgroundSkipIndex::take()
{
    if (!ready_.load())
        return nullptr;
    std::lock_guard lock(mutex_);
    return std::move(index_);
}

bool BackgroundSkipIndex::waitUntilBuilt(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return built_.wait_for(lock, timeout, [this] { return ready_.load(); });
}

}  // namespace regdisc
