// Progress of long commands on standard error: one line rewritten in place, only when
// standard error is a terminal (a script's log gets nothing).
#pragma once

#include "platform/progress.h"

#include <chrono>
#include <string>

namespace regdisc::cli {

class TerminalProgress : public Progress {
public:
    TerminalProgress();
    ~TerminalProgress() override;
    void begin(TextView stage, std::int64_t total) override;
    void step(std::int64_t done) override;
    bool cancelled() const override { return false; }
    // The line taken away, before the command's own output.
    void end();

private:
    void draw(std::int64_t done);
    // Its own copy of standard error, so that the line goes on while a library's messages
    // on standard error are held back.
    std::FILE *out_ = nullptr;
    bool terminal_ = false;
    bool drawn_ = false;
    std::string stage_;
    std::int64_t total_ = 0;
    std::chrono::steady_clock::time_point last_;
};

}  // namespace regdisc::cli
