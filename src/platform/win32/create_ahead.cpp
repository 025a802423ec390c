#include "platform/win32/create_ahead.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>

#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace kestrova::win32 {
namespace {

// Turns of the idle helper before it sleeps: a few milliseconds, about as
// long as the install's thread spends on a file of some hundred kilobytes.
constexpr int kIdleSpins = 2000;
// As openFile's streams for writing.
constexpr std::size_t kStreamBuffer = 64 * 1024;

}  // namespace

CreateAhead::~CreateAhead() {
    drop();
    if (!thread_.isValid()) return;
    phase_.store(kEnd);
    if (sleeping_.exchange(0)) SetEvent(wake_.get());
    WaitForSingleObject(thread_.get(), INFINITE);
}

bool CreateAhead::start() {
    if (thread_.isValid()) return true;
    wake_.attach(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!wake_.isValid()) return false;
    thread_.attach(CreateThread(nullptr, 0, entry, this, 0, nullptr));
    return thread_.isValid();
}

unsigned long __stdcall CreateAhead::entry(void* self) {
    CreateAhead& ahead = *static_cast<CreateAhead*>(self);
    while (ahead.awaitRequest() == kAsked) {
        Wide name(ahead.path_);
        // The same access and sharing as the runtime's "wb"; CREATE_NEW
        // leaves a file that exists as it is.
        ahead.made_ = name.ok()
                          ? CreateFileW(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)
                          : INVALID_HANDLE_VALUE;
        ahead.phase_.store(kDone);
    }
    return 0;
}

// The helper's wait for the next request (kAsked) or its end (kEnd). The
// sleeping flag and the phase are each written before the other is read,
// on both sides, so a request never goes unseen by a sleeping helper.
long CreateAhead::awaitRequest() {
    for (int spins = 0;; ++spins) {
        const long phase = phase_.load();
        if (phase == kAsked || phase == kEnd) return phase;
        if (spins < kIdleSpins) {
            SwitchToThread();
            continue;
        }
        sleeping_.store(1);
        const long now = phase_.load();
        if (now == kAsked || now == kEnd) {
            sleeping_.store(0);
            return now;
        }
        WaitForSingleObject(wake_.get(), INFINITE);
        spins = 0;
    }
}

void CreateAhead::request(const char* path) {
    drop();
    if (std::strlen(path) >= sizeof path_ || !start()) return;
    std::strcpy(path_, path);
    pending_ = true;
    phase_.store(kAsked);
    if (sleeping_.exchange(0)) SetEvent(wake_.get());
}

void CreateAhead::waitDone() {
    while (phase_.load() == kAsked) SwitchToThread();
}

void CreateAhead::deleteMade() {
    if (made_ == INVALID_HANDLE_VALUE) return;
    CloseHandle(made_);
    made_ = INVALID_HANDLE_VALUE;
    Wide name(path_);
    if (name.ok()) DeleteFileW(name);
}

File CreateAhead::take(const char* path) {
    if (!pending_) return File();
    waitDone();
    pending_ = false;
    phase_.store(kIdle);
    if (made_ == INVALID_HANDLE_VALUE) return File();
    if (std::strcmp(path, path_) != 0) {
        deleteMade();
        return File();
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(made_), _O_WRONLY | _O_BINARY);
    std::FILE* stream = fd >= 0 ? _fdopen(fd, "wb") : nullptr;
    if (!stream) {
        // Whoever holds the handle closes it; the empty file goes.
        if (fd >= 0)
            _close(fd);
        else
            CloseHandle(made_);
        made_ = INVALID_HANDLE_VALUE;
        Wide name(path_);
        if (name.ok()) DeleteFileW(name);
        return File();
    }
    made_ = INVALID_HANDLE_VALUE;
    std::setvbuf(stream, nullptr, _IOFBF, kStreamBuffer);
    return File(stream);
}

void CreateAhead::drop() {
    if (!pending_) return;
    waitDone();
    pending_ = false;
    deleteMade();
    phase_.store(kIdle);
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
