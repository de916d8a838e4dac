// Where a context's three blocks come from and go back to. Tests replace the pair to make
// single allocations fail and to count what is returned; everything else leaves them at
// std::malloc and std::free.
#pragma once

#include <cstddef>

using ContextAllocateFunction = void* (*)(std::size_t size);
using ContextFreeFunction = void (*)(void* block);

extern ContextAllocateFunction contextAllocate;
extern ContextFreeFunction contextFree;
