#pragma once
// ComPtr: owns one reference to a COM interface and releases it once.
// ComScope: CoInitialize for the current thread, undone when it ends.
// OleScope: the same with OleInitialize, which in-place activation needs.
// All non-copyable.
#include <ole2.h>

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
    // Takes over a reference the caller holds (a new object's first one).
    void attach(T* pointer) {
        release();
        pointer_ = pointer;
    }

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

class OleScope {
  public:
    OleScope() = default;
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;
    ~OleScope() { end(); }

    // OleInitialize. True when OLE is ready on this thread (also when it
    // was already); false on a thread of the multithreaded apartment.
    bool start() {
        if (!started_) started_ = SUCCEEDED(OleInitialize(nullptr));
        return started_;
    }
    // Undoes a successful start; does nothing otherwise.
    void end() {
        if (started_) OleUninitialize();
        started_ = false;
    }

  private:
    bool started_ = false;
};

}  // namespace kestrova::win32
