// Copying bytes out of a file mapping without letting a vanished page end the program.
#pragma once

#include <cstddef>

namespace regdisc {

// Copies `length` bytes from `from` to `to`; false when reading `from` faulted because the
// page behind it is gone: the file was cut short under its mapping, or the medium could not
// be read. The fault (SIGBUS) is caught for this copy only; elsewhere it keeps its effect.
bool copyGuarded(char *to, const char *from, std::size_t length);

}  // namespace regdisc
