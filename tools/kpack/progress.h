#pragma once
// The progress of a long build on a terminal: files and bytes compressed,
// redrawn on one line at most a few times a second. Silent when standard
// error is not a terminal (a log, a pipe, a test).
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

namespace kestrova::kpack {

class Progress {
  public:
    // Shows progress when `show` is true (normally stderrIsTerminal()).
    Progress(bool show, int totalFiles, uint64_t totalBytes);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // Called from any thread.
    void addBytes(uint64_t bytes);
    void fileDone();
    // Clears the line (call before printing anything else).
    void finish();

  private:
    void maybeDraw(bool force);

    const bool show_;
    const int totalFiles_;
    const uint64_t totalBytes_;
    std::atomic<uint64_t> bytes_{0};
    std::atomic<int> files_{0};
    std::mutex drawing_;
    std::chrono::steady_clock::time_point lastDraw_{};
    bool drawn_ = false;
};

}  // namespace kestrova::kpack
