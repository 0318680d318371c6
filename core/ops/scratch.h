// Scratch space of the kernels. Portable.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

namespace pelio {

// Leaves new elements uninitialised: the kernels write every byte of their scratch space
// before they read it, and clearing a large picture's worth first would be wasted time that
// no cancel request can cut short.
template <class T>
struct UninitialisedAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() = default;
    template <class U>
    UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}
    template <class U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

using ScratchBytes = std::vector<uint8_t, UninitialisedAllocator<uint8_t>>;

}  // namespace pelio
