#pragma once
// Handle: owns a kernel handle (process, thread, file) and closes it once.
// Non-copyable; null and INVALID_HANDLE_VALUE both mean "no handle".
#include <windows.h>

namespace kestrova::win32 {

class Handle {
  public:
    Handle() = default;
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }

    bool isValid() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

    // Closes the handle now. True when there was none or it closed cleanly.
    bool close() {
        if (!isValid()) return true;
        bool ok = CloseHandle(handle_) != FALSE;
        handle_ = nullptr;
        return ok;
    }
    // Takes over another handle, closing the one held.
    void attach(HANDLE handle) {
        close();
        handle_ = handle;
    }

  private:
    HANDLE handle_ = nullptr;
};

}  // namespace kestrova::win32
