#pragma once
// ReaderPort: the one question the package readers put to the user while
// they write files. The engine's UserPort extends it with everything else
// the setup tells or asks; each front end (the wizard, the unattended
// setup, install-runner) answers it in its own way.

namespace kestrova {

class ReaderPort {
  public:
    virtual ~ReaderPort() = default;
    // outputPath could not be created or written: true when the user wants
    // the installation stopped.
    virtual bool stopAfterFailedFile(const char* outputPath) = 0;
};

}  // namespace kestrova
