#pragma once
// The uninstaller's message texts, composed around the product's name and
// what was left (GBK, from the texts file).
#include <string>

#include "uninstaller/uninstall_run.h"

namespace kestrova {

// The most paths the final message names; the rest are counted.
constexpr std::size_t kNotRemovedShown = 12;

// "卸载" + product: the caption of every window and box.
std::string uninstallCaption(const char* productName);

// "确实要完全删除" + product + "及其所有组件吗？"
std::string uninstallQuestion(const char* productName);

// The missing file log message, naming its path.
std::string missingLogMessage(const char* fileLogPath);

// The closing message: the product is removed; then, when something stays,
// the paths that could not be removed and those left because they lead
// elsewhere (the first kNotRemovedShown of each, and how many more), the
// number of lines kept because the logs were changed, and the number of
// log lines that were skipped.
std::string finalMessage(const char* productName, const UninstallPlan& plan,
                         const UninstallOutcome& outcome);

}  // namespace kestrova
