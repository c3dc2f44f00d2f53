// Linked into each program. The programs report every failure themselves; an exception that
// still escapes ends the program at once. The standard library's own handler would describe it
// on a console that a window program does not have, and would bring its demangler along.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
