#include "wizard/wizard_flow.h"

#include <cstring>

#include "engine/gbk_text.h"
#include "resources/texts.h"
#include "state/bounded_text.h"

namespace kestrova {

int pageAfter(int page, bool forward, bool licenceShown) {
    if (forward) return page == kWelcomePage && !licenceShown ? kFolderPage : page + 1;
    return page == kFolderPage && !licenceShown ? kWelcomePage : page - 1;
}

WizardButtons buttonsFor(int page, int lastPage, bool licenceAccepted) {
    WizardButtons buttons{true, true, true, false, true};
    if (page == kWelcomePage) {
        buttons.backEnabled = false;
        buttons.bandShown = false;
    }
    if (page == kLicencePage && !licenceAccepted) buttons.nextEnabled = false;
    if (page == lastPage) {
        buttons.backEnabled = false;
        buttons.cancelEnabled = false;
        buttons.finishCaption = true;
    }
    return buttons;
}

bool bandTextsFor(int page, const char* productName, char* title, char* subtitle,
                  std::size_t capacity) {
    char newTitle[kBandTextSize];
    char newSubtitle[kBandTextSize];
    bool ok = false;
    switch (page) {
        case kLicencePage:
            ok = copyText(newTitle, sizeof newTitle, texts::kLicenceTitle) &&
                 joinText(newSubtitle, sizeof newSubtitle, texts::kLicenceSubtitleBefore,
                          productName, texts::kLicenceSubtitleAfter);
            break;
        case kFolderPage:
            ok = copyText(newTitle, sizeof newTitle, texts::kFolderTitle) &&
                 copyText(newSubtitle, sizeof newSubtitle, texts::kFolderSubtitle);
            break;
        case kProgressPage:
            ok = copyText(newTitle, sizeof newTitle, texts::kProgressTitle) &&
                 copyText(newSubtitle, sizeof newSubtitle, texts::kProgressSubtitle);
            break;
        case kFinishPage:
            ok = joinText(newTitle, sizeof newTitle, productName, texts::kFinishTitleAfter) &&
                 copyText(newSubtitle, sizeof newSubtitle, texts::kFinishSubtitle);
            break;
    }
    if (!ok || std::strlen(newTitle) >= capacity || std::strlen(newSubtitle) >= capacity)
        return false;
    copyText(title, capacity, newTitle);
    copyText(subtitle, capacity, newSubtitle);
    return true;
}

namespace {

// True when the last of length bytes is a character of its own, not the
// second byte of a GBK character (which may be 0x5C, a backslash).
bool lastByteStandsAlone(const char* text, std::size_t length) {
    const char* end = text + length;
    std::size_t step = 0;
    for (const char* p = text; p < end; p += step) step = gbkCharLength(p, end);
    return step == 1;
}

}  // namespace

PathCheck checkInstallPathText(const char* typed, char* path, std::size_t capacity) {
    std::size_t length = std::strlen(typed);
    if (length < 4) return PathCheck::TooShort;
    if (typed[1] != ':' || typed[2] != '\\' || typed[3] == '\\' || typed[3] == '/')
        return PathCheck::Wrong;
    // One trailing backslash goes; the last byte of a Chinese character
    // that happens to be 0x5C stays, or the folder would be another.
    if (length > 4 && typed[length - 1] == '\\' && lastByteStandsAlone(typed, length)) --length;
    return copyTextN(path, capacity, typed, length) ? PathCheck::Accepted : PathCheck::Wrong;
}

int progressPosition(int32_t filesDone, int32_t fileCount) {
    if (fileCount < 1) fileCount = 1;
    return static_cast<int>((int64_t{filesDone} * 100 + 100) / fileCount);
}

}  // namespace kestrova
