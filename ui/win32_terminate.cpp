// Linked into each Windows window program in place of the C++ library's
// verbose terminate handler, which prints the uncaught exception's demangled
// type to a console these programs do not have, and brings the demangler's
// 80 KB with it.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
