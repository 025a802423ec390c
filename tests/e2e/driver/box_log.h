#pragma once
// Every message box the driver has seen, answered or not, kept in a UTF-8
// file that the runner checks after the run. One line per box:
//
//   answer=yes<TAB>title="夹具询问"<TAB>text="确实要写入标记文件吗？"<TAB>buttons=yes,no
//   <TAB>owner="夹具安装测试"
//
// (one line); owner is the title of the window the box belongs to, or none.
// answer is "-" for a box nobody answered. The file is rewritten after each
// change, so it is complete even when the driver stops at a failed step.
#include <string>
#include <vector>

#include "window_query.h"

namespace kestrova::e2e {

class BoxLog {
  public:
    // An empty path keeps the log in memory only.
    explicit BoxLog(std::wstring path) : path_(std::move(path)) {}

    // Records the message boxes of a process not seen before and returns
    // all of its boxes that are open and not answered. A box is known by
    // its window handle, so the same question asked twice counts as two.
    std::vector<MessageBoxInfo> note(DWORD processId);
    // Records the button pressed in a box; nothing for a window that is
    // not a recorded box.
    void answered(HWND box, int button);
    // One line describing a box, as in the file (without the answer).
    static std::string describe(const MessageBoxInfo& box);

  private:
    struct Entry {
        MessageBoxInfo box;
        std::string answer = "-";
    };
    void write() const;

    std::wstring path_;
    std::vector<Entry> entries_;
};

}  // namespace kestrova::e2e
