#pragma once
// CreateAhead: makes new, empty files on a helper thread, one at a time, for
// Win32Platform's createAhead. The install's thread hands a path over,
// writes the file before it meanwhile, then takes the open file. The hand-over
// goes through atomics rather than events: under Wine every event is a
// round trip to the server, which would cost what the helper saves. An idle
// helper spins a little, then sleeps on an event until it is asked again.
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
    enum Phase : long { kIdle, kAsked, kDone, kEnd };
    static unsigned long __stdcall entry(void* self);
    bool start();
    long awaitRequest();
    void waitDone();
    void deleteMade();

    Handle thread_;
    Handle wake_;  // auto-reset; set when the helper sleeps and is asked
    std::atomic<long> phase_{kIdle};
    std::atomic<long> sleeping_{0};
    bool pending_ = false;                // asked and not yet taken or dropped (caller's side)
    HANDLE made_ = INVALID_HANDLE_VALUE;  // the helper's answer, read after kDone
    char path_[1024] = {};                // GBK, as asked
};

}  // namespace kestrova::win32
