#include "render/sequence.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "cli/arguments.h"

namespace tiltshift {

namespace {

bool allDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// Throws `missing` when nothing is there, and says so when a folder is.
void checkIsFile(const std::string& path, const std::string& missing) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        throw std::runtime_error(path + " is a folder, not an image file");
    }
    if (!std::filesystem::is_regular_file(path, ignored)) {
        throw std::runtime_error(missing);
    }
}

}  // namespace

std::optional<int> parseFrameNumber(const std::string& text) {
    if (!allDigits(text) || text.size() > 9) {
        return std::nullopt;
    }
    return std::stoi(text);
}

std::optional<FramePattern> FramePattern::parse(const std::string& path) {
    std::optional<FramePattern> pattern;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '%') {
            continue;
        }
        // %d, or %0Nd: a number padded with zeros to N digits.
        std::size_t end = i + 1;
        int width = 0;
        if (end < path.size() && path[end] >= '1' && path[end] <= '9') {
            const std::size_t digits = path.find_first_not_of("0123456789", end);
            if (digits != std::string::npos && path[digits] == 'd') {
                throw UsageError("\"" + path + "\": " + path.substr(i, digits - i + 1) +
                                 " pads the frame number with spaces, which no file name should hold; use %0" +
                                 path.substr(end, digits - end) + "d for zeros, or %d");
            }
        }
        if (end < path.size() && path[end] == '0') {
            const std::size_t digits = path.find_first_not_of("0123456789", end + 1);
            if (digits == std::string::npos || digits == end + 1 || digits - end - 1 > 2) {
                continue;
            }
            width = std::stoi(path.substr(end + 1, digits - end - 1));
            end = digits;
        }
        if (end >= path.size() || path[end] != 'd') {
            continue;
        }
        if (pattern) {
            throw UsageError("\"" + path + "\" has more than one frame number");
        }
        if (path.find('/', end) != std::string::npos) {
            throw UsageError("\"" + path + "\": the frame number belongs in the file name, not a folder");
        }
        pattern = FramePattern();
        pattern->prefix_ = path.substr(0, i);
        pattern->suffix_ = path.substr(end + 1);
        pattern->width_ = width;
        i = end;
    }
    return pattern;
}

std::string FramePattern::path(int frame) const {
    char number[32];
    std::snprintf(number, sizeof number, "%0*d", width_, frame);
    return prefix_ + number + suffix_;
}

std::vector<int> FramePattern::framesOnDisk() const {
    const std::size_t slash = prefix_.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : prefix_.substr(0, slash + 1);
    const std::string start = prefix_.substr(folder.size());
    std::vector<int> frames;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder.empty() ? "." : folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() <= start.size() + suffix_.size() || name.compare(0, start.size(), start) != 0 ||
            name.compare(name.size() - suffix_.size(), suffix_.size(), suffix_) != 0) {
            continue;
        }
        const std::optional<int> frame =
            parseFrameNumber(name.substr(start.size(), name.size() - start.size() - suffix_.size()));
        // "shot.7.exr" is no frame of "shot.%04d.exr".
        if (frame && path(*frame) == folder + name) {
            frames.push_back(*frame);
        }
    }
    std::sort(frames.begin(), frames.end());
    return frames;
}

FrameRange parseFrameRange(const std::string& text) {
    const std::size_t dash = text.find('-');
    const std::optional<int> first = parseFrameNumber(text.substr(0, dash));
    const std::optional<int> last = dash == std::string::npos ? first : parseFrameNumber(text.substr(dash + 1));
    if (!first || !last) {
        throw UsageError("--frames expects FIRST-LAST or one frame (e.g. 1-240), got \"" + text + "\"");
    }
    if (*last < *first) {
        throw UsageError("--frames " + text + ": the last frame comes before the first");
    }
    return FrameRange{*first, *last};
}

FramePlan::FramePlan(std::optional<FramePattern> in, std::optional<FramePattern> out, std::string input,
                     std::string output, FrameRange range, std::vector<int> listed)
    : in_(std::move(in)),
      out_(std::move(out)),
      input_(std::move(input)),
      output_(std::move(output)),
      range_(range),
      listed_(std::move(listed)),
      size_(listed_.empty() ? static_cast<std::size_t>(range_.last - range_.first) + 1 : listed_.size()) {}

FrameFiles FramePlan::operator[](std::size_t index) const {
    const int frame = listed_.empty() ? range_.first + static_cast<int>(index) : listed_[index];
    return FrameFiles{frame, in_ ? in_->path(frame) : input_, out_ ? out_->path(frame) : output_};
}

bool FramePlan::contains(int frame) const {
    return listed_.empty() ? size_ > 0 && frame >= range_.first && frame <= range_.last
                           : std::binary_search(listed_.begin(), listed_.end(), frame);
}

FramePlan planFrames(const std::string& input, const std::string& output, const std::optional<FrameRange>& frames) {
    std::optional<FramePattern> in = FramePattern::parse(input);
    std::optional<FramePattern> out = FramePattern::parse(output);
    if (in && !out) {
        throw UsageError("INPUT is a frame sequence, so OUTPUT must be one too (e.g. out.%04d.png)");
    }
    if (!in && out && !frames) {
        throw UsageError("OUTPUT is a frame sequence: give the frames to render with --frames");
    }
    if (!out && frames && frames->first != frames->last) {
        throw UsageError("--frames names more than one frame, but OUTPUT is a single file");
    }
    std::vector<int> listed;
    if (!frames && in) {
        listed = in->framesOnDisk();
        if (listed.empty()) {
            throw std::runtime_error("no files match " + input);
        }
    }
    const bool inputSequence = in.has_value();
    const FramePlan plan(std::move(in), std::move(out), input, output, frames.value_or(FrameRange{}),
                         std::move(listed));
    if (!inputSequence) {
        checkIsFile(input, "no such file: " + input);
    } else {
        for (const FrameFiles& files : plan) {
            checkIsFile(files.input, "input frame " + std::to_string(files.frame) + " is missing: " + files.input);
        }
    }
    return plan;
}

}  // namespace tiltshift
