#pragma once
// Argument formatting for the call log.

#include <string>

namespace host {

// The text in double quotes with control characters escaped, or null.
std::string quoted(const char* text);
std::string quoted(const std::string& text);
// A number as printf's %g writes it.
std::string number(double value);

}  // namespace host
