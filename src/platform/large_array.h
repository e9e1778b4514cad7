// Arrays of many millions of elements that a pass fills once and then reads at scattered
// places (a skip index's build). They are allocated untouched, and on Linux asked to be
// backed by huge pages: a read at a random place of a few hundred MB then misses the
// processor's address cache far less often than over 4 KB pages.
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>

namespace regdisc {

namespace detail {
// Memory for `bytes`, uninitialised and not yet touched; nullptr when there is none.
void *allocateLarge(std::size_t bytes);
void releaseLarge(void *memory, std::size_t bytes);
}  // namespace detail

template <typename T> class LargeArray {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

public:
    LargeArray() = default;
    // `size` elements, uninitialised. Throws std::bad_alloc when there is no memory.
    explicit LargeArray(std::size_t size) : size_(size)
    {
        if (size == 0)
            return;
        if (size > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_alloc();
        data_ = static_cast<T *>(detail::allocateLarge(size * sizeof(T)));
        if (!data_)
            throw std::bad_alloc();
    }
    LargeArray(LargeArray &&other) noexcept : data_(other.data_), size_(other.size_)
    {
        other.data_ = nullptr;
        other.size_ = 0;
    }
    LargeArray &operator=(LargeArray &&other) noexcept
    {
        if (this != &other) {
            release();
            data_ = other.data_;
            size_ = other.size_;
            other.data_ = nullptr;
            other.size_ = 0;
        }
        return *this;
    }
    LargeArray(const LargeArray &) = delete;
    LargeArray &operator=(const LargeArray &) = delete;
    ~LargeArray() { release(); }

    T &operator[](std::size_t i) { return data_[i]; }
    const T &operator[](std::size_t i) const { return data_[i]; }
    T *data() { return data_; }
    const T *data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    void release()
    {
        if (data_)
            detail::releaseLarge(data_, size_ * sizeof(T));
        data_ = nullptr;
    }

    T *data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace regdisc
