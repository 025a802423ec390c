#pragma once
// WindowsModel: the fake platform with an in-memory file system that
// resolves paths the way Windows does, for the uninstaller's fuzz target:
// drive letters and names without regard to ASCII case, '/' as a separator
// besides '\', "." and ".." parts, trailing dots and spaces dropped, 8.3
// short names, and junctions followed on the way. Every removal and every
// change of attributes is recorded with the real path of what it touched
// (long names, no junction on the way). The registry, the shell folders and
// the digests are the fake platform's.
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "fake_platform.h"

namespace kestrova::fuzz {

class WindowsModel : public test::FakePlatform {
  public:
    WindowsModel();
    ~WindowsModel() override;

    // Makes what path names, as Windows resolves it, with the folders on
    // the way: a file with bytes, or a folder. Something already there is
    // left as it is. False when the path does not resolve to a place on a
    // drive (relative, a file on the way, a junction loop).
    bool make(const std::string& path, bool folder, const std::string& bytes = std::string());
    // A junction at path (made on the way like make) that leads to target.
    bool makeJunction(const std::string& path, const std::string& target);
    // The real path of what path names, junctions followed; empty when
    // nothing is there. Without following, a junction on the way (or at
    // the end) gives an empty path too.
    std::string realPath(const std::string& path, bool followJunctions = true);

    // Real paths of what was removed or had its attributes changed.
    std::vector<std::string> touched;

    File openFile(const char* path, FileMode mode) override;
    bool deleteFile(const char* path) override;
    bool setFileAttributes(const char* path, uint32_t attributes) override;
    uint32_t fileAttributes(const char* path) override;
    bool removeFolder(const char* path) override;
    bool longPathName(const char* path, char* buffer, std::size_t capacity) override;
    HandleRemoval removeThroughHandle(const char* path, bool folder) override;

  private:
    struct Node;
    Node* drive(char letter, bool create);
    Node* child(Node* folder, const std::string& name) const;
    Node* lookup(const std::string& path, bool followLast, int depth = 0, bool follow = true);
    Node* build(const std::string& path, int depth);
    std::string realPathOf(const Node* node) const;
    void detach(Node* node);

    std::vector<std::unique_ptr<Node>> drives_;
    std::deque<std::string> readBuffers_;  // the bytes behind open read streams
};

}  // namespace kestrova::fuzz
