#pragma once
// CreateAhead: makes new, empty files on a helper thread, one at a time, for
// Win32Platform's createAhead. The install's thread hands a path over,
// writes the file before it meanwhile, then takes the open file. Each side
// waits for the other by looking at the phase a few hundred times, yielding
// the processor in between (a file is usually made in less), then sleeps on
// a condition variable under a slim reader/writer lock: neither is a kernel
// object, so under Wine neither costs a round trip to its server, which
// would cost what the helper saves; and a long wait (a slow disk, a program
// the install runs) burns no processor time.
#include <windows.h>

#include <atomic>

#include "platform/file.h"
#include "platform/win32/handle.h"

namespace kestrova::win32 {

class CreateAhead {
  public:
    CreateAhead() = default;
    CreateAhead(const CreateAhead&) = delete;
    CreateAhead& operator=(const CreateAhead&) = delete;
    // Deletes a file made and not taken, and ends the helper.
    ~CreateAhead();

    // Asks for a new file at path (GBK), after dropping one not taken.
    // Nothing is asked when the helper cannot be started or the path is
    // longer than the helper holds: the caller then opens the file itself.
    void request(const char* path);
    // The file asked for, open for writing; closed when it was not made or
    // path is another (the one made is then deleted). Waits for the helper.
    File take(const char* path);
    // Deletes the file asked for if it was made and not taken.
    void drop();

  private:
    enum Phase { kIdle, kAsked, kDone, kEnd };
    static unsigned long __stdcall entry(void* self);
    void serve();
    void setPhase(Phase phase);
    template <typename Ready>
    void await(Ready ready);
    void waitDone();
    void deleteMade();       // closes the file made and deletes it
    void deleteAskedPath();  // deletes the file at path_

    Handle thread_;
    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE changed_ = CONDITION_VARIABLE_INIT;  // phase_ changed
    std::atomic<int> phase_{kIdle};       // changed under lock_, looked at anywhere
    bool pending_ = false;                // asked and not yet taken or dropped (caller's side)
    HANDLE made_ = INVALID_HANDLE_VALUE;  // the helper's answer, read after kDone
    char path_[1024] = {};                // GBK, as asked
};

}  // namespace kestrova::win32
