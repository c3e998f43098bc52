// How the exe's C++ run-time fails. Lumivo catches no exception and is built without them:
// where the library would throw, and where an exception would reach terminate uncaught, the
// program aborts at once, as it did before. The library's own versions of these would link
// in the throwing machinery, the unwinder and the default terminate handler's demangler.
// A library function not replaced here that gets used pulls the library's file of throwing
// helpers back in, and the link then fails on the names defined twice.
#include <cstdlib>
#include <new>

// Running out of memory ends the program, as the uncaught std::bad_alloc did.
void* operator new(std::size_t size) {
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  std::abort();
}

void operator delete(void* memory) noexcept { std::free(memory); }

void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace std {

void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }

}  // namespace std

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
