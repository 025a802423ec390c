#pragma once
// The wizard's side of the engine's user port: every question and error is
// the message box the setup has always shown, with its text, caption,
// buttons and owner. Boxes that belong to a page (the quit question, the
// read errors, the log error) are owned by owner, the progress page (or the
// extraction dialog during start-up); the others have no owner. The status
// line is the progress page's (status here shows nothing).
#include "engine/user_port.h"
#include "platform/platform.h"

namespace kestrova {

class MessageBoxPort : public UserPort {
  public:
    MessageBoxPort(Platform& platform, WindowRef owner) : platform_(platform), owner_(owner) {}

    // The window that owns the page's boxes, once it exists.
    void setOwner(WindowRef owner) { owner_ = owner; }

    void status(const char*) override {}
    bool stopAfterFailedFile(const char* outputPath) override;
    bool confirmQuit() override;
    void packageReadError() override;
    void scriptReadError() override;
    void logCreateError() override;
    void processStartError() override;
    void registryReadError() override;
    void registryWriteError() override;
    void fileCreateError(const char* path) override;

  protected:
    Platform& platform_;
    WindowRef owner_;
};

// The program's title, the caption of the registration's error: the name
// of the setup program's file without its extension, as Windows programs
// name themselves by default ("Setup" when the system cannot say).
void programTitle(Platform& platform, char* title, std::size_t capacity);

}  // namespace kestrova
