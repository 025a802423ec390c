#include "uninstaller/uninstall_messages.h"

#include "resources/texts.h"

namespace kestrova {

std::string uninstallCaption(const char* productName) {
    return std::string(texts::kUninstallCaption) + productName;
}

std::string uninstallQuestion(const char* productName) {
    return std::string(texts::kUninstallQuestionBefore) + productName +
           texts::kUninstallQuestionAfter;
}

std::string missingLogMessage(const char* fileLogPath) {
    return std::string(texts::kUninstallNoLogBefore) + fileLogPath + texts::kUninstallNoLogAfter;
}

std::string finalMessage(const char* productName, const UninstallOutcome& outcome, int skipped) {
    std::string text = std::string(productName) + texts::kUninstallDoneAfter;
    const std::vector<std::string>& left = outcome.notRemoved;
    if (!left.empty()) {
        text += "\r\n\r\n";
        text += texts::kUninstallNotRemoved;
        for (std::size_t i = 0; i < left.size() && i < kNotRemovedShown; ++i)
            text += "\r\n" + left[i];
        if (left.size() > kNotRemovedShown)
            text += "\r\n" + std::string(texts::kUninstallMoreBefore) +
                    std::to_string(left.size() - kNotRemovedShown) + texts::kUninstallMoreAfter;
    }
    if (skipped > 0)
        text += "\r\n\r\n" + std::string(texts::kUninstallSkippedBefore) + std::to_string(skipped) +
                texts::kUninstallSkippedAfter;
    return text;
}

}  // namespace kestrova
