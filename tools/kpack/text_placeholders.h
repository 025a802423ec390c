#pragma once
// {product} and {version} in the manifest's texts: a shortcut named
// "{product} {version}", an install folder "[Program Files]\{product}".
#include <optional>
#include <string>

namespace kestrova::kpack {

// utf8 with {product} and {version} replaced by product and version (UTF-8;
// null when the manifest gives none). Every other brace stands for itself (a
// GUID in a shortcut's arguments, for one). std::nullopt, with *missing the
// placeholder, when the text uses one that is null.
std::optional<std::string> expandPlaceholders(const std::string& utf8, const std::string* product,
                                              const std::string* version, std::string* missing);

}  // namespace kestrova::kpack
