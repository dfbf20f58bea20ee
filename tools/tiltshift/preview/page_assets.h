#pragma once
// The preview page's files, built into the binary so that the server reads
// nothing but its input.

#include <string_view>

namespace tiltshift {

struct PageAsset {
    std::string_view path;  // as requested: "/", "/preview.js"
    std::string_view mimeType;
    std::string_view content;
};

// The asset served at `path`, or null.
const PageAsset* findPageAsset(std::string_view path);

}  // namespace tiltshift
