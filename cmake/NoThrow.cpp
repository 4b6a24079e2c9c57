// The C++ runtime as the shipped programs need it, and no more: a replacement for parts of the
// runtime, not Win32 code. lk_small_program in SmallPrograms.cmake, beside it, links it into
// Latchkey.exe and lkrun3.exe (and the benchmark's floors, built alike), never into the test
// programs, and compiles it without exceptions and unwind tables.
//
// Our code has no try/catch: any exception would reach terminate and abort. So the runtime's
// throw helpers may abort at once, and nothing changes but the size: its own ones build exception
// objects with messages (a second string implementation), and its terminate handler prints the
// exception's demangled name (the demangler and printf), together about half of each program.
#include <cstdlib>
#include <exception>
#include <new>
#include <stdexcept>
#include <string>

namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    std::abort();
}

} // namespace __gnu_cxx

// Every helper of the runtime's functexcept object: defining only some would pull it in for the
// others, and the linker would then see two definitions.
namespace std {

void __throw_bad_exception() { std::abort(); }
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_bad_cast() { std::abort(); }
void __throw_bad_typeid() { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_domain_error(const char*) { std::abort(); }
void __throw_invalid_argument(const char*) { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
void __throw_runtime_error(const char*) { std::abort(); }
void __throw_range_error(const char*) { std::abort(); }
void __throw_overflow_error(const char*) { std::abort(); }
void __throw_underflow_error(const char*) { std::abort(); }

// std::function called empty; its own one lives beside the exception class and brings in the
// exception support with it.
void __throw_bad_function_call() { std::abort(); }

} // namespace std

// Allocation that aborts when memory runs out, as the runtime's would by way of an exception that
// nothing catches; its own operator new throws, and so brings in the exception allocator, the
// unwinder and the thread library (about 50 KB on 32-bit).
void* operator new(std::size_t size)
{
    void* memory = std::malloc(size != 0 ? size : 1);
    if (!memory)
        std::abort();
    return memory;
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

// The form std::stable_sort asks for its buffer: the runtime's catches the exception of the
// throwing form, and so brings in the exception support.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return std::malloc(size != 0 ? size : 1);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return std::malloc(size != 0 ? size : 1);
}

void operator delete(void* memory, const std::nothrow_t&) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, const std::nothrow_t&) noexcept
{
    std::free(memory);
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept
{
    std::free(memory);
}

// std::string's and std::wstring's members (the shell link object speaks UTF-16), in place of the
// runtime's copies. The linker keeps every function that has unwind tables, and the runtime's
// copies have them, so all of each (about 30 KB in the 32-bit programs) came along. Without
// tables, only the members we call stay. Nothing can unwind through them: their only ways to
// throw are the helpers above and a failed allocation, which aborts.
template class std::basic_string<char>;
template class std::basic_string<wchar_t>;
