// The global allocation functions, replacing libc++'s. Those call the new-handler through a
// function pointer when memory runs out, and Asyncify must take any call through a pointer of
// that type (void()) to be able to reach a wait, as Main can: every function that allocates
// would be instrumented (asyncify_link.py). This program installs no new-handler, so running
// out of memory throws std::bad_alloc at once, as libc++'s does without one.

#include <cstdlib>
#include <new>

void* operator new(std::size_t size) {
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}

void* operator new(std::size_t size, std::align_val_t alignment) {
    const auto align = static_cast<std::size_t>(alignment);
    const std::size_t rounded = (size == 0 ? 1 : size) + align - 1;
    if (rounded >= size)
        if (void* block = std::aligned_alloc(align, rounded / align * align))
            return block;
    throw std::bad_alloc();
}
