#pragma once
// A call's arguments as the call log shows them, formatted only when the log
// records: pixel-rate callbacks would otherwise build a string per call that
// no one reads.

#include <string>
#include <type_traits>

namespace host {

// Refers to a formatter (a lambda returning std::string) or to fixed text;
// it does not own either, so it lives no longer than the call it describes.
// Implicit, so that a callback passes its text or lambda as it is.
class CallArgs {
public:
    CallArgs() = default;
    CallArgs(const char* text) : text_(text) {}
    template <typename Format, typename = std::enable_if_t<std::is_invocable_r_v<std::string, const Format&>>>
    CallArgs(const Format& format)
        : format_(&format), call_([](const void* f) -> std::string { return (*static_cast<const Format*>(f))(); }) {}

    std::string text() const { return call_ ? call_(format_) : std::string(text_); }

private:
    const char* text_ = "";
    const void* format_ = nullptr;
    std::string (*call_)(const void*) = nullptr;
};

}  // namespace host
