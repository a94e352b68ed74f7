// Chimewatch catches no exception: a failure it cannot handle ends the
// program. So the program is built without exceptions, and the definitions
// here take the place of the standard library's own for the few failures
// that the library's inline code still reports through it: memory running
// out, a string or vector asked to grow past its limit, a position past the
// end, an empty std::function called. Each ends the program with abort(),
// as the unhandled exception did before.
//
// Why: the library's versions throw, and throwing links in the unwinder,
// the threads library it locks with, the exception classes with their own
// strings, and the demangler of the terminate handler. That was two thirds
// of the program's size and memory, for errors the program never catches.
// Should the library ever need one more of these, linking fails with
// "multiple definition" rather than bringing the unwinder back unnoticed.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size) {
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  std::abort();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size == 0 ? 1 : size); }

void operator delete(void* memory) noexcept { std::free(memory); }

void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

// The reporting functions of libstdc++ (bits/functexcept.h) that the
// program's code calls.
namespace std {
void __throw_bad_alloc() { abort(); }
void __throw_bad_array_new_length() { abort(); }
void __throw_length_error(const char*) { abort(); }
void __throw_logic_error(const char*) { abort(); }
void __throw_out_of_range_fmt(const char*, ...) { abort(); }
void __throw_bad_function_call() { abort(); }
}  // namespace std
