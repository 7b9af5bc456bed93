#pragma once
// Storage that comes zeroed from the allocator: new bytes are not written
// once more to value-initialise them. A large block then arrives as untouched
// zero pages, so a working image costs memory only where it is written.
#include <cstddef>
#include <cstdlib>
#include <new>
#include <utility>

namespace AztecCore::Image {

template <class T>
struct ZeroedAllocator {
    using value_type = T;

    ZeroedAllocator() = default;
    template <class U>
    explicit ZeroedAllocator(const ZeroedAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        void* p = std::calloc(n, sizeof(T));
        if (p == nullptr) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t) noexcept { std::free(p); }

    // Value-initialisation leaves the zeros calloc gave; every other
    // construction is the usual one.
    template <class U>
    void construct(U*) noexcept {}
    template <class U, class A, class... Rest>
    void construct(U* p, A&& a, Rest&&... rest) {
        ::new (static_cast<void*>(p)) U(std::forward<A>(a), std::forward<Rest>(rest)...);
    }

    template <class U>
    bool operator==(const ZeroedAllocator<U>&) const noexcept {
        return true;
    }
    template <class U>
    bool operator!=(const ZeroedAllocator<U>&) const noexcept {
        return false;
    }
};

}  // namespace AztecCore::Image
