#pragma once
// Animated parameter values: keyframes written VALUE@FRAME, as --param and
// presets give them ("Blur Amount=0@1,80@48"). Each VALUE takes the form a
// single value of the parameter takes; the host plays the keyframes back,
// linear in between and held before the first and after the last, while
// popups and checkboxes hold each value until the next keyframe.

#include <string>
#include <vector>

namespace tiltshift {

struct KeyframeText {
    int frame = 0;
    std::string value;
    std::string piece;  // as written, for errors: "80@48"
};

// Whether the text holds keyframes rather than one value.
bool isAnimated(const std::string& text);

// "0@1,80@48" → {1, "0"}, {48, "80"}, in the order written. Keyframes are
// separated by ';', and by ',' too when `commaSeparates` (for parameters
// whose values hold no comma; points and colours do). Throws UsageError
// naming the parameter `name` and the piece that is no VALUE@FRAME, or the
// frame given twice.
std::vector<KeyframeText> splitKeyframes(const std::string& name, const std::string& text, bool commaSeparates);

}  // namespace tiltshift
