#include "cli/cli_progress.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#define dup _dup
#define fdopen _fdopen
#else
#include <unistd.h>
#endif

namespace regdisc::cli {

TerminalProgress::TerminalProgress() : terminal_(isatty(fileno(stderr)) != 0)
{
    if (!terminal_)
        return;
    const int fd = dup(fileno(stderr));
    out_ = fd >= 0 ? fdopen(fd, "w") : nullptr;
    if (!out_)
        terminal_ = false;
}

TerminalProgress::~TerminalProgress()
{
    end();
    if (out_)
        std::fclose(out_);
}

void TerminalProgress::end()
{
    if (!drawn_)
        return;
    std::fputs("\r\033[K", out_);
    std::fflush(out_);
    drawn_ = false;
}

void TerminalProgress::begin(TextView stage, std::int64_t total)
{
    stage_ = toUtf8(stage);
    total_ = total;
    last_ = {};
    step(0);
}

void TerminalProgress::step(std::int64_t done)
{
    if (!terminal_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < std::chrono::milliseconds(100))
        return;
    last_ = now;
    draw(done);
}

void TerminalProgress::draw(std::int64_t done)
{
    if (total_ > 0)
        std::fprintf(out_, "\r\033[K%s %3d%% (%lld/%lld)", stage_.c_str(),
                     static_cast<int>(done * 100 / total_), static_cast<long long>(done),
                     static_cast<long long>(total_));
    else
        std::fprintf(out_, "\r\033[K%s %lld", stage_.c_str(), static_cast<long long>(done));
    std::fflush(out_);
    drawn_ = true;
}

}  // namespace regdisc::cli
