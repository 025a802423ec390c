#pragma once
// The unattended install's entry: reads the process's command line and,
// when it asks for "/S", installs without any window.

namespace kestrova {

// True when the command line holds "/S": the install has run (or was
// refused) without showing anything, and *exitCode is its SilentExitCode.
// False otherwise, with nothing done.
bool runSilentIfAsked(int* exitCode);

}  // namespace kestrova
