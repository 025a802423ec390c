#pragma once
// What the publisher tightens or lets pass on the command line; build and
// verify take the same options and judge a package alike.

namespace kestrova::kpack {

struct CheckOptions {
    // --strict (for CI): every warning stops the build, or fails verify.
    bool strict = false;
    // --allow-empty-folders: a `folder =` source that holds no file gives an
    // empty target folder instead of an error.
    bool allowEmptyFolders = false;
    // --allow-reg-escapes: "\\" and "\"" in registry data mean what the
    // setup stores, both characters, rather than regedit's escapes.
    bool allowRegistryEscapes = false;
};

}  // namespace kestrova::kpack
