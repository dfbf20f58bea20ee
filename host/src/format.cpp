#include "format.h"

#include <cstdio>

namespace host {

std::string quoted(const char* text) {
    if (!text) {
        return "null";
    }
    std::string result = "\"";
    for (const char* c = text; *c; ++c) {
        switch (*c) {
        case '\r': result += "\\r"; break;
        case '\n': result += "\\n"; break;
        case '\t': result += "\\t"; break;
        case '"': result += "\\\""; break;
        case '\\': result += "\\\\"; break;
        default:
            if (static_cast<unsigned char>(*c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned>(static_cast<unsigned char>(*c)));
                result += escaped;
            } else {
                result += *c;
            }
        }
    }
    return result + "\"";
}

std::string quoted(const std::string& text) {
    return quoted(text.c_str());
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace host
