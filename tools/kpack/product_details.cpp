#include "product_details.h"

#include "error.h"
#include "gbk_codec.h"
#include "package/product_facts.h"
#include "path_rules.h"
#include "script_rules.h"
#include "setup_limits.h"

namespace kestrova::kpack {
namespace {

// A fact: its line ("Name=value") within what the setup reads whole.
std::string fact(const Manifest& m, const std::optional<ManifestText>& text, const char* name) {
    if (!text || text->gbk.empty()) return "";
    const std::string line = std::string(name) + format::kFactSeparator + text->gbk;
    const std::string problem = lineProblem(line, kSecondPassLineLimit);
    if (!problem.empty())
        throw KpackError(
            m.file, text->line,
            text->field + ": its line in the setup script (" + name + "=...) " + problem);
    return text->gbk;
}

}  // namespace

std::string installedFileProblem(const std::string& icon, const std::vector<ScriptRecord>& records,
                                 const std::vector<std::string>& clearFile) {
    const std::string key = sameFileKey(icon);
    for (const std::string& deleted : clearFile)
        if (sameFileKey(deleted) == key)
            return "is deleted by [clearfile] after installing: name a file the product keeps";
    for (const ScriptRecord& r : records) {
        if (r.noneApp || sameFileKey(r.target) != key) continue;
        if (r.runAndDelete)
            return "is run and deleted when installing: name a file the product keeps";
        if (r.kind == format::kKindRegistryData)
            return "is registry data, deleted after it is imported: name a file the product keeps";
        return "";
    }
    return "is not one of the product's files: name the target of a [[files]] entry, such as "
           "[InstallDir]\\program.exe";
}

ScriptProduct planProductFacts(const Manifest& m, const std::vector<ScriptRecord>& records,
                               const std::vector<std::string>& clearFile) {
    ScriptProduct product;
    product.version = fact(m, m.version, format::kFactVersion);
    product.publisher = fact(m, m.publisher, format::kFactPublisher);
    product.url = fact(m, m.url, format::kFactUrl);
    product.icon = fact(m, m.icon, format::kFactIcon);
    if (!product.icon.empty()) {
        const ManifestText& icon = *m.icon;
        std::string problem = pathProblem(icon.gbk, PathUse::File);
        if (problem.empty()) problem = installedFileProblem(icon.gbk, records, clearFile);
        if (!problem.empty())
            throw KpackError(m.file, icon.line,
                             icon.field + " " + displayGbk(icon.gbk) + " " + problem);
    }
    return product;
}

}  // namespace kestrova::kpack
