#pragma once
// Every visible top-level window of the driven program that the driver has
// seen, with the times it appeared and went away, kept in a UTF-8 file that
// the runner checks after the run. One line per window, in the order they
// appeared:
//
//   seen=0.21s<TAB>gone=0.55s<TAB>class=#32770<TAB>title="安装程序"<TAB>rect=316,322 391x123
//   <TAB>texts="正在准备安装程序……","正在从安装包中解压..."
//
// (one line), texts being those of its visible controls at first sight.
// The times are seconds since the driver started and as exact as its
// polling (50 ms while a step waits); gone is "-" for a window still open
// at the end. A window that shows briefly while no step waits can be
// missed, so a script waits for what it wants to see.
#include <windows.h>

#include <string>
#include <vector>

namespace kestrova::e2e {

class WindowLog {
  public:
    // An empty path keeps the log in memory only.
    explicit WindowLog(std::wstring path) : path_(std::move(path)) {}

    // Records the windows of a process not seen before and the end of
    // those no longer visible; returns the new ones. elapsedMs: the
    // driver's time.
    std::vector<HWND> note(DWORD processId, unsigned long long elapsedMs);
    // The title of a window as first seen ("" when unknown).
    std::wstring title(HWND window) const;
    // The titles of all windows seen, quoted, in order ("none" for none).
    std::string titles() const;

  private:
    struct Entry {
        HWND window;
        std::wstring title;
        std::string description;  // class, title, place and texts at first sight
        unsigned long long seenMs;
        unsigned long long goneMs;
        bool gone;
    };
    void write() const;

    std::wstring path_;
    std::vector<Entry> entries_;
};

}  // namespace kestrova::e2e
