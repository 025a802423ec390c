#pragma once
// UserPort: how the install engine and the readers reach the user. Each
// question and message they have is its own operation, called where the
// engine meets it; the front end decides how the user learns of it. The
// wizard shows message boxes and the progress page's status line, the
// unattended setup takes the safe answers and remembers what went wrong,
// install-runner prints. Nobody recognises a question by its text.
#include "package/reader_port.h"

namespace kestrova {

class UserPort : public ReaderPort {
  public:
    // The run's current action (a GBK text), for the status line.
    virtual void status(const char* text) = 0;
    // Cancel was pressed during the run: true when the user confirms that
    // the installation is to end.
    virtual bool confirmQuit() = 0;
    // The setup program's own file cannot be read, or its package is
    // damaged or truncated.
    virtual void packageReadError() = 0;
    // The unpacked setup script cannot be opened.
    virtual void scriptReadError() = 0;
    // The uninstall logs cannot be created in the install folder.
    virtual void logCreateError() = 0;
    // A program the run starts (a component, a registration) cannot start.
    virtual void processStartError() = 0;
    // The system's shell folders cannot be read from the registry.
    virtual void registryReadError() = 0;
    // The uninstall entry cannot be written to the registry.
    virtual void registryWriteError() = 0;
    // A file the start-up unpacks (path) cannot be created or written.
    virtual void fileCreateError(const char* path) = 0;
};

}  // namespace kestrova
