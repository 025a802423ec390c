#pragma once
// The wizard's decisions, without windows: which page comes next, the
// state of its buttons, the band texts, the check of a typed install path,
// and the progress bar's position. The window code asks these and does
// what they say.
#include <cstddef>
#include <cstdint>

#include "state/setup_state.h"

namespace kestrova {

constexpr int kWelcomePage = 1;
constexpr int kLicencePage = 2;
constexpr int kFolderPage = 3;
constexpr int kProgressPage = 4;
constexpr int kFinishPage = 5;
constexpr int kPageCount = 5;

// A band text or the welcome heading: a product name (a text field) inside
// a fixed sentence.
constexpr std::size_t kBandTextSize = kTextSize + 64;

// The page that Next (forward) or Back leads to from page. The licence
// page is skipped both ways unless licenceShown (the licence option is on).
int pageAfter(int page, bool forward, bool licenceShown);

struct WizardButtons {
    bool backEnabled;
    bool nextEnabled;
    bool cancelEnabled;
    bool finishCaption;  // Next reads "完成(&F)" instead of "下一步(&N) >"
    bool bandShown;      // the band's line under the title (control 1001)
};

// The buttons as switching to page leaves them. On the licence page Next
// follows licenceAccepted; the progress page disables Back and Next itself
// when it starts the run.
WizardButtons buttonsFor(int page, int lastPage, bool licenceAccepted);

// The band texts of page for productName, written into title and subtitle
// (capacity bytes each). False, both unchanged, on page 1 (whose texts stay
// as they were) and when a text would not fit.
bool bandTextsFor(int page, const char* productName, char* title, char* subtitle,
                  std::size_t capacity);

enum class PathCheck {
    Accepted,  // *path holds the path to use
    TooShort,  // "你所输入的安装路径长度不够，请重新输入!"
    Wrong,     // "你所选择的安装路径错误，请重新输入!"
};

// Checks a typed install path: at least 4 bytes, a drive ("X:\") in front
// and no second separator right after it. An accepted path longer than 4
// bytes loses one trailing backslash (not the second byte of a GBK
// character). path (capacity bytes) receives the
// accepted path; a path that does not fit is Wrong.
PathCheck checkInstallPathText(const char* typed, char* path, std::size_t capacity);

// The progress bar's position (0 to 100; more shows full) when filesDone
// files of fileCount are done: (filesDone x 100 + 100) / fileCount.
int progressPosition(int32_t filesDone, int32_t fileCount);

}  // namespace kestrova
