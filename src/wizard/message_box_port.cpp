#include "wizard/message_box_port.h"

#include <cstring>
#include <vector>

#include "resources/texts.h"
#include "state/bounded_text.h"
#include "state/setup_state.h"

namespace kestrova {
namespace {

constexpr uint32_t kQuestionStyle = kMbYesNo | kMbIconQuestion | kMbDefButton2;

}  // namespace

bool MessageBoxPort::stopAfterFailedFile(const char* outputPath) {
    const std::size_t before = std::strlen(texts::kCreateFailedBefore);
    const std::size_t path = std::strlen(outputPath);
    const std::size_t after = std::strlen(texts::kCreateFailedAfter);
    const std::size_t needed = before + path + after + 1;
    // Every path of the setup fits the fixed buffer; a longer one still
    // appears whole.
    char fixed[kTextSize + 64];
    std::vector<char> large;
    char* text = fixed;
    if (needed > sizeof fixed) {
        large.resize(needed);
        text = large.data();
    }
    std::memcpy(text, texts::kCreateFailedBefore, before);
    std::memcpy(text + before, outputPath, path);
    std::memcpy(text + before + path, texts::kCreateFailedAfter, after + 1);
    return platform_.messageBox(nullptr, text, texts::kCaptionError, kQuestionStyle) == kIdYes;
}

bool MessageBoxPort::confirmQuit() {
    return platform_.messageBox(owner_, texts::kQuitQuestion, texts::kCaptionQuit,
                                kQuestionStyle) == kIdYes;
}

void MessageBoxPort::packageReadError() {
    platform_.messageBox(owner_, texts::kPackageReadError, texts::kCaptionError, kMbOk);
}

void MessageBoxPort::scriptReadError() {
    platform_.messageBox(owner_, texts::kSetupFileReadError, texts::kCaptionError, kMbOk);
}

void MessageBoxPort::logCreateError() {
    platform_.messageBox(owner_, texts::kLogOpenError, texts::kCaptionError, kMbOk);
}

void MessageBoxPort::processStartError() {
    platform_.messageBox(nullptr, texts::kProcessCreateError, texts::kCaptionError, kMbOk);
}

void MessageBoxPort::registryReadError() {
    platform_.messageBox(nullptr, texts::kRegistryReadError, texts::kCaptionError, kMbOk);
}

void MessageBoxPort::registryWriteError() {
    char title[kTextSize];
    programTitle(platform_, title, sizeof title);
    platform_.messageBox(nullptr, texts::kRegistryWriteError, title, kMbOk);
}

void MessageBoxPort::fileCreateError(const char* path) {
    platform_.messageBox(nullptr, path, texts::kCaptionCreateFileError, kMbOk);
}

void programTitle(Platform& platform, char* title, std::size_t capacity) {
    char module[kSystemPathSize];
    const char* name = "Setup";
    if (platform.modulePath(module, sizeof module)) {
        char* slash = std::strrchr(module, '\\');
        name = slash ? slash + 1 : module;
        char* dot = std::strrchr(const_cast<char*>(name), '.');
        if (dot) *dot = '\0';
    }
    if (!copyText(title, capacity, name)) copyText(title, capacity, "Setup");
}

}  // namespace kestrova
