// Owns a kernel handle: closed once, when its owner goes.
#pragma once

#include <windows.h>

namespace tarvok::win {

class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    ~Handle() { reset(); }
    Handle(Handle&& other) noexcept : h_(other.h_) { other.h_ = nullptr; }
    Handle& operator=(Handle&& other) noexcept;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    void reset();

private:
    HANDLE h_ = nullptr;
};

inline Handle& Handle::operator=(Handle&& other) noexcept {
    if (this != &other) {
        reset();
        h_ = other.h_;
        other.h_ = nullptr;
    }
    return *this;
}

inline void Handle::reset() {
    if (h_ != nullptr) {
        CloseHandle(h_);
        h_ = nullptr;
    }
}

}  // namespace tarvok::win
