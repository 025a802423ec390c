// The stub is built without exceptions. The standard library's operator new
// and its __throw_* helpers would bring the unwinder, the demangler and the
// verbose terminate handler into the link (well over 100 KB); these
// replacements abort instead, which is all an allocation failure can do in
// a program that handles no exceptions.
#include <cstddef>
#include <cstdlib>
#include <new>

void* operator new(std::size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (!p) std::abort();
    return p;
}
void* operator new[](std::size_t n) {
    return operator new(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    return std::malloc(n ? n : 1);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    return std::malloc(n ? n : 1);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace std {
void __throw_bad_alloc() {
    abort();
}
void __throw_bad_array_new_length() {
    abort();
}
void __throw_length_error(const char*) {
    abort();
}
void __throw_out_of_range(const char*) {
    abort();
}
void __throw_out_of_range_fmt(const char*, ...) {
    abort();
}
void __throw_logic_error(const char*) {
    abort();
}
void __throw_invalid_argument(const char*) {
    abort();
}
void __throw_bad_function_call() {
    abort();
}
}  // namespace std

// A pure virtual call or a failed guard cannot be reported either.
extern "C" void __cxa_pure_virtual() {
    std::abort();
}
