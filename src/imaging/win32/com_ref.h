#pragma once
// Holds one reference to a COM object and releases it when it goes.
#include <unknwn.h>

#include <utility>

namespace cs {

template <typename T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { Reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            Reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // For the calls that hand out a new reference; releases the old one.
    T** Out() {
        Reset();
        return &object_;
    }
    void Reset() {
        if (object_) object_->Release();
        object_ = nullptr;
    }
    template <typename U>
    HRESULT QueryTo(ComRef<U>& other, REFIID iid) const {
        return object_->QueryInterface(iid, reinterpret_cast<void**>(other.Out()));
    }

private:
    T* object_ = nullptr;
};

}  // namespace cs
