#include "platform/win32/create_ahead.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>

#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace kestrova::win32 {
namespace {

// As openFile's streams for writing.
constexpr std::size_t kStreamBuffer = 64 * 1024;
// Looks at the phase before a wait sleeps: some hundred microseconds.
constexpr int kSpins = 200;

}  // namespace

CreateAhead::~CreateAhead() {
    drop();
    if (!thread_.isValid()) return;
    setPhase(kEnd);
    WaitForSingleObject(thread_.get(), INFINITE);
}

unsigned long __stdcall CreateAhead::entry(void* self) {
    static_cast<CreateAhead*>(self)->serve();
    return 0;
}

void CreateAhead::serve() {
    for (;;) {
        await([](int phase) { return phase == kAsked || phase == kEnd; });
        if (phase_.load() == kEnd) return;
        // path_ stays as it is until the answer is taken. The same access
        // and sharing as the runtime's "wb"; CREATE_NEW leaves a file that
        // exists as it is.
        Wide name(path_);
        made_ = name.ok() ? CreateFileW(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)
                          : INVALID_HANDLE_VALUE;
        setPhase(kDone);
    }
}

void CreateAhead::setPhase(Phase phase) {
    AcquireSRWLockExclusive(&lock_);
    phase_.store(phase);
    ReleaseSRWLockExclusive(&lock_);
    WakeAllConditionVariable(&changed_);
}

// Returns once ready(phase) holds. The phase only changes under the lock
// and is followed by a wake-up, so a sleeper never misses a change.
template <typename Ready>
void CreateAhead::await(Ready ready) {
    for (int i = 0; i < kSpins; ++i) {
        if (ready(phase_.load())) return;
        SwitchToThread();
    }
    AcquireSRWLockExclusive(&lock_);
    while (!ready(phase_.load())) SleepConditionVariableSRW(&changed_, &lock_, INFINITE, 0);
    ReleaseSRWLockExclusive(&lock_);
}

void CreateAhead::request(const char* path) {
    drop();
    if (std::strlen(path) >= sizeof path_) return;
    if (!thread_.isValid()) {
        thread_.attach(CreateThread(nullptr, 0, entry, this, 0, nullptr));
        if (!thread_.isValid()) return;
    }
    std::strcpy(path_, path);
    pending_ = true;
    setPhase(kAsked);
}

void CreateAhead::waitDone() {
    await([](int phase) { return phase != kAsked; });
    setPhase(kIdle);
}

void CreateAhead::deleteMade() {
    if (made_ == INVALID_HANDLE_VALUE) return;
    CloseHandle(made_);
    made_ = INVALID_HANDLE_VALUE;
    deleteAskedPath();
}

void CreateAhead::deleteAskedPath() {
    Wide name(path_);
    if (name.ok()) DeleteFileW(name);
}

File CreateAhead::take(const char* path) {
    if (!pending_) return File();
    waitDone();
    pending_ = false;
    const int fd = made_ != INVALID_HANDLE_VALUE && std::strcmp(path, path_) == 0
                       ? _open_osfhandle(reinterpret_cast<intptr_t>(made_), _O_WRONLY | _O_BINARY)
                       : -1;
    if (fd < 0) {
        deleteMade();  // another path was asked for, or no descriptor: the empty file goes
        return File();
    }
    made_ = INVALID_HANDLE_VALUE;  // the descriptor holds the handle now
    std::FILE* stream = _fdopen(fd, "wb");
    if (!stream) {
        _close(fd);
        deleteAskedPath();
        return File();
    }
    std::setvbuf(stream, nullptr, _IOFBF, kStreamBuffer);
    return File(stream);
}

void CreateAhead::drop() {
    if (!pending_) return;
    waitDone();
    pending_ = false;
    deleteMade();
}

Win32Platform::~Win32Platform() {
    delete ahead_;
}

void Win32Platform::createAhead(const char* path) {
    if (!ahead_) ahead_ = new CreateAhead;
    ahead_->request(path);
}

File Win32Platform::takeCreatedAhead(const char* path) {
    return ahead_ ? ahead_->take(path) : File();
}

void Win32Platform::dropCreatedAhead() {
    if (ahead_) ahead_->drop();
}

}  // namespace kestrova::win32
