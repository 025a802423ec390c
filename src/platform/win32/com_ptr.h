#pragma once
// ComPtr: owns one reference to a COM interface and releases it once.
// ComScope: CoInitialize for the current thread, undone when it ends.
// Both non-copyable.
#include <objbase.h>

namespace kestrova::win32 {

template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { release(); }

    T* get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    // The slot a creating call fills; any interface held is released first.
    T** out() {
        release();
        return &pointer_;
    }
    void** outVoid() { return reinterpret_cast<void**>(out()); }

    void release() {
        if (pointer_) {
            pointer_->Release();
            pointer_ = nullptr;
        }
    }

    // Asks the held object for another interface. False, *other empty, on
    // failure or when nothing is held.
    template <typename U>
    bool query(REFIID iid, ComPtr<U>* other) const {
        if (!pointer_) return false;
        return SUCCEEDED(pointer_->QueryInterface(iid, other->outVoid())) && other->get();
    }

  private:
    T* pointer_ = nullptr;
};

class ComScope {
  public:
    ComScope() = default;
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (initialized_) CoUninitialize();
    }

    // CoInitialize (single-threaded apartment). True when COM is ready on
    // this thread; S_FALSE (already initialised) counts and is balanced too.
    bool initialize() {
        if (initialized_) return true;
        initialized_ = SUCCEEDED(CoInitialize(nullptr));
        return initialized_;
    }

  private:
    bool initialized_ = false;
};

}  // namespace kestrova::win32
