// The runtime's default terminate handler names the uncaught exception's type through the C++
// demangler, which is 45 KB of every module for that one message; a host process has no console
// to show it on. Answering "not a mangled name" makes the handler print the raw type name, and
// keeps the demangler out of the link.
#include <cstddef>

extern "C" char* __cxa_demangle(const char*, char*, std::size_t*, int* status) {
    if (status) *status = -2;
    return nullptr;
}
