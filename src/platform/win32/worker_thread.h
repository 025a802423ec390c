#pragma once
// WorkerThread: runs one job on a thread of its own and waits for it on a
// window's thread. The job may show message boxes and set window texts of
// the waiting thread's windows, which need that thread to handle messages,
// so the wait keeps dispatching them: a thread that waited without doing so
// would never see the job end.
#include "platform/win32/handle.h"

namespace kestrova::win32 {

class WorkerThread {
  public:
    using Job = void (*)(void* context);

    WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    // Waits for a job still running: nothing the job uses may go before it.
    ~WorkerThread() { wait(); }

    // Starts job(context) at normal priority with the default stack. False
    // when a job was already started or the thread could not be made.
    bool start(Job job, void* context);
    // True while a started job has not returned.
    bool running() const;
    // Waits until the job has returned, handling the thread's messages
    // meanwhile. Returns at once when no job was started.
    void wait();

  private:
    static unsigned long __stdcall entry(void* self);

    Handle thread_;
    Job job_ = nullptr;
    void* context_ = nullptr;
};

}  // namespace kestrova::win32
