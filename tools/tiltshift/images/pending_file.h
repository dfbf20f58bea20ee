#pragma once
// A file written under a temporary name in its target's folder and renamed
// over the target once complete: the target is always either what it was
// before or the whole new file, whatever fails in between (an interrupt
// included, which removes the temporary file on its way out).

#include <string>

namespace tiltshift {

class PendingFile {
public:
    // Makes the temporary file; throws std::runtime_error naming the target
    // when its folder does not take one.
    explicit PendingFile(std::string target);
    // Removes the temporary file unless it was committed.
    ~PendingFile();

    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Where to write the contents.
    const std::string& path() const { return temporary_; }
    // Puts the contents in the target's place; throws std::runtime_error
    // naming the target when the rename fails, the temporary file removed.
    void commit();

private:
    std::string target_;
    std::string temporary_;
    bool committed_ = false;
};

}  // namespace tiltshift
