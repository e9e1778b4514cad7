#include "platform/large_array.h"

#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace regdisc::detail {

#if defined(__linux__)

void *allocateLarge(std::size_t bytes)
{
    void *memory = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return nullptr;
#ifdef MADV_HUGEPAGE
    // A hint: where the system keeps no huge pages for the asking, 4 KB pages serve.
    ::madvise(memory, bytes, MADV_HUGEPAGE);
#endif
    return memory;
}

void releaseLarge(void *memory, std::size_t bytes)
{
    ::munmap(memory, bytes);
}

#else

void *allocateLarge(std::size_t bytes)
{
    return std::malloc(bytes);
}

void releaseLarge(void *memory, std::size_t)
{
    std::free(memory);
}

#endif

}  // namespace regdisc::detail
