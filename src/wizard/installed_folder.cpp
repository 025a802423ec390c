#include "wizard/installed_folder.h"

#include "engine/uninstall_details.h"
#include "state/bounded_text.h"
#include "wizard/wizard_flow.h"

namespace kestrova {

bool proposeInstalledFolder(Platform& platform, SetupState& state) {
    char recorded[kTextSize];
    if (!readInstalledLocation(platform, state.productName, recorded, sizeof recorded))
        return false;
    // The entry is only as sound as whoever wrote it: a folder the user
    // could not type on the folder page is not proposed either.
    const char drive = recorded[0];
    const bool letter = (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
    char folder[kTextSize];
    if (!letter || checkInstallPathText(recorded, folder, sizeof folder) != PathCheck::Accepted)
        return false;
    return copyText(state.installDir, folder);
}

}  // namespace kestrova
