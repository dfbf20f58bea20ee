#pragma once
// The project keeps stream names as the AEGP suites hand them out: UTF-16.
// The plug-in's own texts (parameter names) are UTF-8.

#include <string>

namespace host {

// Malformed bytes become U+FFFD.
std::u16string toUtf16(const std::string& utf8);
// Unpaired surrogates become U+FFFD.
std::string toUtf8(const std::u16string& utf16);

}  // namespace host
