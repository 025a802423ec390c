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

namespace {

// A heading and the paths under it, the first kNotRemovedShown by name.
void appendList(std::string* text, const char* heading, const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    *text += "\r\n\r\n";
    *text += heading;
    for (std::size_t i = 0; i < paths.size() && i < kNotRemovedShown; ++i)
        *text += "\r\n" + paths[i];
    if (paths.size() > kNotRemovedShown)
        *text += "\r\n" + std::string(texts::kUninstallMoreBefore) +
                 std::to_string(paths.size() - kNotRemovedShown) + texts::kUninstallMoreAfter;
}

void appendCount(std::string* text, const char* before, int count, const char* after) {
    if (count > 0) *text += "\r\n\r\n" + std::string(before) + std::to_string(count) + after;
}

}  // namespace

std::string finalMessage(const char* productName, const UninstallPlan& plan,
                         const UninstallOutcome& outcome) {
    std::string text = std::string(productName) + texts::kUninstallDoneAfter;
    appendList(&text, texts::kUninstallNotRemoved, outcome.notRemoved);
    appendList(&text, texts::kUninstallRedirected, outcome.redirected);
    appendCount(&text, texts::kUninstallKeptBefore, plan.kept, texts::kUninstallKeptAfter);
    appendCount(&text, texts::kUninstallSkippedBefore, plan.skipped, texts::kUninstallSkippedAfter);
    return text;
}

}  // namespace kestrova
