// An owner of one system handle that releases it with the function the handle type needs
// (ImageList_Destroy, UnhookWindowsHookEx, DestroyIcon ...).
#pragma once

#include <utility>

template <class H, auto Release> class TOwnedHandle {
public:
    TOwnedHandle() = default;
    explicit TOwnedHandle(H handle) : handle_(handle) {}
    ~TOwnedHandle() { Reset(); }
    TOwnedHandle(TOwnedHandle&& other) noexcept : handle_(other.Detach()) {}
    TOwnedHandle& operator=(TOwnedHandle&& other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }
    TOwnedHandle(const TOwnedHandle&) = delete;
    TOwnedHandle& operator=(const TOwnedHandle&) = delete;

    H Get() const { return handle_; }
    explicit operator bool() const { return handle_ != H{}; }
    // Gives the handle up to the caller.
    H Detach() { return std::exchange(handle_, H{}); }
    void Reset(H handle = H{}) {
        if (handle_ != H{} && handle_ != handle) Release(handle_);
        handle_ = handle;
    }

private:
    H handle_{};
};
