// The runtime's default terminate handler writes the demangled type of an
// uncaught exception to a console these GUI programs do not have, and it
// brings the whole demangler (some 45 KB) into every EXE. The programs end
// the same way without it. Linked into each EXE as an object of its own, so
// it is chosen before the runtime library's copy.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
