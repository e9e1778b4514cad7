// A shared library opened when it is first needed rather than when the program starts:
// what only one command uses (the XLSX writer and what it pulls in) then costs the other
// commands nothing at start-up.
#pragma once

#include <string>

namespace regdisc {

class SharedLibrary {
public:
    // Opens the library of this file name as the system looks libraries up. Never closed:
    // its functions stay valid for the life of the program.
    explicit SharedLibrary(const std::string &fileName);

    bool isOpen() const { return handle_ != nullptr; }
    const std::string &fileName() const { return fileName_; }
    // The address of an exported symbol, or nullptr.
    void *symbol(const char *name) const;

private:
    std::string fileName_;
    void *handle_ = nullptr;
};

}  // namespace regdisc
