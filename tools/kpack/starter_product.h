#pragma once
// kpack init: a starter product that builds as it is, for a publisher to
// change into their own.
#include <filesystem>
#include <string>
#include <vector>

namespace kestrova::kpack {

namespace fs = std::filesystem;

// Writes into folder (made when missing; folderName in messages): product.toml
// with a comment on every key, pictures/welcome.bmp and pictures/title.bmp
// of their places' sizes, and files/readme.txt, the file it installs.
// Returns the files' names relative to folder. Throws KpackError naming the
// first of them that exists already (nothing is written then) or that
// cannot be written.
std::vector<std::string> writeStarterProduct(const fs::path& folder, const std::string& folderName);

}  // namespace kestrova::kpack
