#include "progress.h"

#include <cstdio>

namespace kestrova::kpack {

Progress::Progress(bool show, int totalFiles, uint64_t totalBytes)
    : show_(show), totalFiles_(totalFiles), totalBytes_(totalBytes) {}

Progress::~Progress() {
    finish();
}

void Progress::addBytes(uint64_t bytes) {
    bytes_ += bytes;
    maybeDraw(false);
}

void Progress::fileDone() {
    ++files_;
    maybeDraw(false);
}

void Progress::maybeDraw(bool force) {
    if (!show_) return;
    std::unique_lock<std::mutex> lock(drawing_, std::try_to_lock);
    if (!lock.owns_lock()) return;  // another thread is drawing: skip, never wait
    const auto now = std::chrono::steady_clock::now();
    if (!force && drawn_ && now - lastDraw_ < std::chrono::milliseconds(200)) return;
    lastDraw_ = now;
    drawn_ = true;
    const double mb = 1024.0 * 1024.0;
    const uint64_t done = bytes_.load();
    const int percent = totalBytes_ ? static_cast<int>(done * 100 / totalBytes_) : 100;
    // Padded with spaces rather than cleared with an escape sequence, which
    // not every Windows console understands.
    std::fprintf(stderr, "\rkpack: compressing: %d/%d files, %.1f/%.1f MB (%d%%)%-10s",
                 files_.load(), totalFiles_, done / mb, totalBytes_ / mb, percent, "");
    std::fflush(stderr);
}

void Progress::finish() {
    if (!show_ || !drawn_) return;
    std::lock_guard<std::mutex> lock(drawing_);
    std::fprintf(stderr, "\r%-79s\r", "");
    std::fflush(stderr);
    drawn_ = false;
}

}  // namespace kestrova::kpack
