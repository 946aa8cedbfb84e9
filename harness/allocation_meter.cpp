#include "allocation_meter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Each block carries its size in front, so that delete knows what it frees.
constexpr std::size_t kHeader = 16;
std::atomic<std::size_t> held{0};
std::atomic<std::size_t> peak{0};
std::atomic<std::size_t> base{0};

}  // namespace

void startAllocationPeak()
{
    base = held.load();
    peak = base.load();
}

std::size_t allocationPeak()
{
    return peak - base;
}

void* operator new(std::size_t size)
{
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (!block)
        throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(block) = size;
    const std::size_t now = held += size;
    std::size_t seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
    return block + kHeader;
}

void operator delete(void* pointer) noexcept
{
    if (!pointer)
        return;
    auto* block = static_cast<unsigned char*>(pointer) - kHeader;
    held -= *reinterpret_cast<std::size_t*>(block);
    std::free(block);
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void operator delete[](void* pointer) noexcept
{
    operator delete(pointer);
}

void operator delete(void* pointer, std::size_t) noexcept
{
    operator delete(pointer);
}

void operator delete[](void* pointer, std::size_t) noexcept
{
    operator delete(pointer);
}

// The nothrow forms too: a runtime (the sanitizers') may bring its own.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}

void operator delete(void* pointer, const std::nothrow_t&) noexcept
{
    operator delete(pointer);
}

void operator delete[](void* pointer, const std::nothrow_t&) noexcept
{
    operator delete(pointer);
}
