// An owner of one system handle that frees it with the function the handle type needs
// (DeleteObject, ImageList_Destroy, UnhookWindowsHookEx ...).
#pragma once

#include <utility>

template <class H, auto Free> class TOwnedHandle {
public:
    TOwnedHandle() = default;
    explicit TOwnedHandle(H handle) : handle_(handle) {}
    ~TOwnedHandle() { Reset(); }
    TOwnedHandle(TOwnedHandle&& other) noexcept : handle_(other.Release()) {}
    TOwnedHandle& operator=(TOwnedHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    TOwnedHandle(const TOwnedHandle&) = delete;
    TOwnedHandle& operator=(const TOwnedHandle&) = delete;

    H Get() const { return handle_; }
    explicit operator bool() const { return handle_ != H{}; }
    // Gives the handle up to the caller.
    H Release() { return std::exchange(handle_, H{}); }
    void Reset(H handle = H{}) {
        if (handle_ != H{} && handle_ != handle) Free(handle_);
        handle_ = handle;
    }

private:
    H handle_{};
};
