#include "platform/shared_library.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace regdisc {

SharedLibrary::SharedLibrary(const std::string &fileName) : fileName_(fileName)
{
#ifdef _WIN32
    handle_ = reinterpret_cast<void *>(LoadLibraryA(fileName.c_str()));
#else
    handle_ = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
}

void *SharedLibrary::symbol(const char *name) const
{
    if (!handle_)
        return nullptr;
#ifdef _WIN32
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(handle_), name));
#else
    return dlsym(handle_, name);
#endif
}

}  // namespace regdisc
