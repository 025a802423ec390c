#pragma once
// QuietDriveErrors: for one scope, the calling thread gets no system box
// for a critical error ("there is no disk in the drive"): a probe of a
// removable drive without its medium simply fails. The other threads of
// the process keep their mode, and the thread's previous mode comes back
// at the end of the scope.
#include <windows.h>

namespace kestrova::win32 {

class QuietDriveErrors {
  public:
    QuietDriveErrors()
        : set_(SetThreadErrorMode(GetThreadErrorMode() | SEM_FAILCRITICALERRORS, &previous_) !=
               FALSE) {}
    QuietDriveErrors(const QuietDriveErrors&) = delete;
    QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;
    ~QuietDriveErrors() {
        if (set_) SetThreadErrorMode(previous_, nullptr);
    }

  private:
    DWORD previous_ = 0;
    bool set_;
};

}  // namespace kestrova::win32
