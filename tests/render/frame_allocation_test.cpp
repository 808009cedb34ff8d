// The frame loop allocates nothing from the program's own code. This binary replaces malloc and
// operator new to count calls whose caller lies in the executable itself, which holds the
// renderer; the driver's and the libraries' own allocations are counted apart and only reported.
#include "render/scene.hpp"
#include "tests/support/gl_window.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <link.h>
#include <new>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void __libc_free(void* pointer);
}

namespace {

std::atomic<bool> counting{false};
std::atomic<long> own_allocations{0};
std::atomic<long> other_allocations{0};
std::uintptr_t executable_begin = 0;
std::uintptr_t executable_end = 0;

// The executable's code: the first object dl_iterate_phdr reports, its executable segments.
void find_executable_code()
{
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void*) {
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                const auto& segment = info->dlpi_phdr[i];
                if (segment.p_type == PT_LOAD && (segment.p_flags & PF_X) != 0) {
                    executable_begin = info->dlpi_addr + segment.p_vaddr;
                    executable_end = executable_begin + segment.p_memsz;
                }
            }
            return 1; // the executable comes first; stop there
        },
        nullptr);
}

void note_allocation(void* caller)
{
    if (!counting.load(std::memory_order_relaxed))
        return;
    const auto address = reinterpret_cast<std::uintptr_t>(caller);
    if (address >= executable_begin && address < executable_end)
        ++own_allocations;
    else
        ++other_allocations;
}

} // namespace

extern "C" {
void* malloc(std::size_t size)
{
    note_allocation(__builtin_return_address(0));
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size)
{
    note_allocation(__builtin_return_address(0));
    return __libc_calloc(count, size);
}
void* realloc(void* pointer, std::size_t size)
{
    note_allocation(__builtin_return_address(0));
    return __libc_realloc(pointer, size);
}
void free(void* pointer)
{
    __libc_free(pointer);
}
}

void* operator new(std::size_t size)
{
    note_allocation(__builtin_return_address(0));
    if (void* pointer = __libc_malloc(size != 0 ? size : 1))
        return pointer;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    note_allocation(__builtin_return_address(0));
    if (void* pointer = __libc_malloc(size != 0 ? size : 1))
        return pointer;
    throw std::bad_alloc();
}
void operator delete(void* pointer) noexcept
{
    __libc_free(pointer);
}
void operator delete[](void* pointer) noexcept
{
    __libc_free(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept
{
    __libc_free(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept
{
    __libc_free(pointer);
}

namespace {

TEST(frame_loop, allocates_nothing_from_the_programs_own_code)
{
    find_executable_code();
    ASSERT_LT(executable_begin, executable_end);
    gl_window window(640, 480);
    ASSERT_TRUE(window.ready());
    scene the_scene{};
    the_scene.init();
    the_scene.render();
    glfwSwapBuffers(window.handle());

    // The counter itself must see an allocation made here.
    counting = true;
    delete new int(1);
    counting = false;
    ASSERT_EQ(own_allocations.exchange(0), 1) << "the allocation counter is not working";

    counting = true;
    for (int frame = 0; frame < 1000; ++frame) {
        glfwPollEvents();
        the_scene.render();
        glfwSwapBuffers(window.handle());
    }
    counting = false;
    std::printf("allocations over 1000 frames: %ld from the program's code, %ld from the driver and libraries\n",
                own_allocations.load(), other_allocations.load());
    EXPECT_EQ(own_allocations.load(), 0);
    the_scene.release();
}

} // namespace
