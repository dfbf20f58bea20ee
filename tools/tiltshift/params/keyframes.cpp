#include "params/keyframes.h"

#include <set>

#include "cli/arguments.h"
#include "render/sequence.h"

namespace tiltshift {

namespace {

std::vector<std::string> pieces(const std::string& text, const std::string& separators) {
    std::vector<std::string> all;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find_first_of(separators, start);
        all.push_back(trim(text.substr(start, end - start)));
        if (end == std::string::npos) {
            return all;
        }
        start = end + 1;
    }
}

}  // namespace

bool isAnimated(const std::string& text) {
    return text.find('@') != std::string::npos;
}

std::vector<KeyframeText> splitKeyframes(const std::string& name, const std::string& text, bool commaSeparates) {
    const std::string quotedName = "\"" + name + "\"";
    std::vector<KeyframeText> keyframes;
    std::set<int> frames;
    for (const std::string& piece : pieces(text, commaSeparates ? ";," : ";")) {
        if (piece.empty()) {
            throw UsageError(quotedName + ": an empty keyframe in \"" + text + "\"");
        }
        const std::size_t at = piece.find('@');
        if (at == std::string::npos || piece.find('@', at + 1) != std::string::npos) {
            // Two keyframes of a point, run together by a comma.
            const std::string hint = commaSeparates ? "" : "; separate this parameter's keyframes with ';'";
            throw UsageError(quotedName + ": \"" + piece + "\" is no keyframe: expected VALUE@FRAME" + hint);
        }
        const std::optional<int> frame = parseFrameNumber(trim(piece.substr(at + 1)));
        if (!frame) {
            throw UsageError(quotedName + ": \"" + piece + "\" is no keyframe: the frame after '@' must be a " +
                             "whole number from 0");
        }
        if (!frames.insert(*frame).second) {
            throw UsageError(quotedName + ": two keyframes at frame " + std::to_string(*frame));
        }
        keyframes.push_back(KeyframeText{*frame, trim(piece.substr(0, at)), piece});
    }
    return keyframes;
}

}  // namespace tiltshift
