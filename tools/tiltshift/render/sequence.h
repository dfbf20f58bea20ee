#pragma once
// Frame sequences: file names with a printf-style frame number
// ("shot.%04d.exr"), frame ranges, and the frames a render goes through.

#include <optional>
#include <string>
#include <vector>

namespace tiltshift {

class FramePattern {
public:
    // The pattern in `path`, or nothing when it has no frame number (%d or
    // %0Nd). Throws UsageError for more than one, one in a folder name, or
    // a number padded with spaces (%4d).
    static std::optional<FramePattern> parse(const std::string& path);

    std::string path(int frame) const;
    // The frames whose files exist, in order.
    std::vector<int> framesOnDisk() const;

private:
    std::string prefix_, suffix_;
    int width_ = 0;  // digits the number is padded to with zeros
};

struct FrameRange {
    int first = 0;
    int last = 0;
};

// "1-240", or "7" for one frame. Throws UsageError.
FrameRange parseFrameRange(const std::string& text);

// A frame number: digits alone, at most nine of them, so that it fits an
// int. Nothing for any other text.
std::optional<int> parseFrameNumber(const std::string& text);

// One frame of a render: the frame time and its two files.
struct FrameFiles {
    int frame = 0;
    std::string input, output;
};

// The frames of a render, each made when it is asked for: a range may
// name more frames than a list of them would fit in memory.
class FramePlan {
public:
    class Iterator {
    public:
        Iterator(const FramePlan& plan, std::size_t index) : plan_(&plan), index_(index) {}
        FrameFiles operator*() const { return (*plan_)[index_]; }
        Iterator& operator++() {
            ++index_;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return index_ != other.index_; }

    private:
        const FramePlan* plan_;
        std::size_t index_;
    };

    FramePlan() = default;
    FramePlan(std::optional<FramePattern> in, std::optional<FramePattern> out, std::string input,
              std::string output, FrameRange range, std::vector<int> listed);

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    bool contains(int frame) const;
    FrameFiles operator[](std::size_t index) const;
    FrameFiles front() const { return (*this)[0]; }
    Iterator begin() const { return Iterator(*this, 0); }
    Iterator end() const { return Iterator(*this, size()); }

private:
    std::optional<FramePattern> in_, out_;
    std::string input_, output_;
    FrameRange range_;         // the frames, when none are listed
    std::vector<int> listed_;  // the frames found on disk
    std::size_t size_ = 0;
};

// The frames to render from INPUT to OUTPUT, either of which may be a
// pattern. A pattern input goes through `frames`, or else every frame on
// disk, into a pattern output; a still input may render into a pattern
// output over `frames`; two plain files render `frames` when it names one
// frame (the frame time; 0 without it). Throws UsageError for combinations
// that do not fit, std::runtime_error for missing input frames (the first
// one, found without listing the range).
FramePlan planFrames(const std::string& input, const std::string& output, const std::optional<FrameRange>& frames);

}  // namespace tiltshift
