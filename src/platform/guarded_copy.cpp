#include "platform/guarded_copy.h"

#include <atomic>
#include <cstring>

#ifndef _WIN32
#include <csetjmp>
#include <csignal>
#include <mutex>
#endif

namespace regdisc {

#ifndef _WIN32

namespace {

// The copy in progress on this thread, if any: where its fault returns to.
thread_local sigjmp_buf *copyInProgress = nullptr;
struct sigaction previousAction {};

void onBusError(int signal, siginfo_t *info, void *context)
{
    if (sigjmp_buf *jump = copyInProgress) {
        copyInProgress = nullptr;
        siglongjmp(*jump, 1);
    }
    // Not a guarded copy: the fault is handled as before the guard was installed.
    if (previousAction.sa_flags & SA_SIGINFO) {
        previousAction.sa_sigaction(signal, info, context);
        return;
    }
    if (previousAction.sa_handler != SIG_DFL && previousAction.sa_handler != SIG_IGN) {
        previousAction.sa_handler(signal);
        return;
    }
    // The default: returning re-runs the access, which faults again and ends the program.
    ::sigaction(SIGBUS, &previousAction, nullptr);
}

void installGuard()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_sigaction = onBusError;
        // SA_NODEFER: leaving the handler by the jump must not leave SIGBUS blocked.
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &previousAction);
    });
}

}  // namespace

bool copyGuarded(char *to, const char *from, std::size_t length)
{
    installGuard();
    sigjmp_buf jump;
    // No signal mask is saved or restored: a system call per copy is what the mapping avoids.
    if (sigsetjmp(jump, 0) != 0)
        return false;
    copyInProgress = &jump;
    // The fences keep the copy between the two stores, where a fault can find its way back.
    std::atomic_signal_fence(std::memory_order_seq_cst);
    std::memcpy(to, from, length);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    copyInProgress = nullptr;
    return true;
}

#else

bool copyGuarded(char *to, const char *from, std::size_t length)
{
    std::memcpy(to, from, length);  // nothing is mapped here: bytes in memory only
    return true;
}

#endif

}  // namespace regdisc
