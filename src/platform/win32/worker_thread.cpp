#include "platform/win32/worker_thread.h"

namespace kestrova::win32 {

unsigned long __stdcall WorkerThread::entry(void* self) {
    auto* worker = static_cast<WorkerThread*>(self);
    worker->job_(worker->context_);
    return 0;
}

bool WorkerThread::start(Job job, void* context) {
    if (thread_.isValid()) return false;
    job_ = job;
    context_ = context;
    thread_.attach(CreateThread(nullptr, 0, entry, this, 0, nullptr));
    return thread_.isValid();
}

bool WorkerThread::running() const {
    return thread_.isValid() && WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT;
}

void WorkerThread::wait() {
    if (!thread_.isValid()) return;
    HANDLE thread = thread_.get();
    // QS_ALLINPUT wakes for every kind of message, sent ones included: the
    // job's message boxes send to their owner, and its window texts arrive
    // as posted messages.
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

}  // namespace kestrova::win32
