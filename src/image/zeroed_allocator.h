#pragma once
// Storage that comes zeroed from the allocator: new bytes are not written
// once more to value-initialise them. A large block then arrives as untouched
// zero pages, so a working image costs memory only where it is written.
//
// Storage the caller writes over whole can come unzeroed (forOverwrite()):
// calloc clears a large block at once when it reuses freed memory, one step
// of tens of milliseconds on a 12-megapixel image that no deadline can
// interrupt, while the caller's own writes go a row at a time.
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
    explicit ZeroedAllocator(const ZeroedAllocator<U>& other) noexcept : zeroed_(other.zeroed()) {}
    static ZeroedAllocator forOverwrite() {
        ZeroedAllocator a;
        a.zeroed_ = false;
        return a;
    }
    bool zeroed() const { return zeroed_; }

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        void* p = zeroed_ ? std::calloc(n, sizeof(T)) : std::malloc(n * sizeof(T));
        if (p == nullptr) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t) noexcept { std::free(p); }

    // Value-initialisation leaves the bytes allocate() gave; every other
    // construction is the usual one.
    template <class U>
    void construct(U*) noexcept {}
    template <class U, class A, class... Rest>
    void construct(U* p, A&& a, Rest&&... rest) {
        ::new (static_cast<void*>(p)) U(std::forward<A>(a), std::forward<Rest>(rest)...);
    }

    // Any one frees what another allocated.
    template <class U>
    bool operator==(const ZeroedAllocator<U>&) const noexcept {
        return true;
    }
    template <class U>
    bool operator!=(const ZeroedAllocator<U>&) const noexcept {
        return false;
    }

private:
    bool zeroed_ = true;
};

}  // namespace AztecCore::Image
