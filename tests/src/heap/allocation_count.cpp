#include "allocation_count.h"

#include <atomic>
#include <cstdlib>
#include <new>

#include <pthread.h>

namespace {

std::atomic<bool> s_bOpen{false};
pthread_t s_counted;
long s_nAllocations = 0;

void* allocate(std::size_t nSize) {
    void* p = std::malloc(nSize ? nSize : 1);
    if (!p) throw std::bad_alloc();
    if (s_bOpen && pthread_equal(pthread_self(), s_counted)) ++s_nAllocations;
    return p;
}

}  // namespace

void AllocationCount::open() {
    s_nAllocations = 0;
    s_counted = pthread_self();
    s_bOpen = true;
}

long AllocationCount::close() {
    s_bOpen = false;
    return s_nAllocations;
}

void* operator new(std::size_t nSize) { return allocate(nSize); }
void* operator new[](std::size_t nSize) { return allocate(nSize); }
void* operator new(std::size_t nSize, const std::nothrow_t&) noexcept {
    try {
        return allocate(nSize);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t nSize, const std::nothrow_t& tag) noexcept { return operator new(nSize, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
