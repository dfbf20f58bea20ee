#pragma once
// A file written under a temporary name in its target's folder and renamed
// over the target once complete: the target is always either what it was
// before or the whole new file, whatever fails in between (a full disk or
// an interrupt included, which removes the temporary file on its way out).

#include <cstddef>
#include <string>

namespace tiltshift {

class PendingFile {
public:
    // Makes the temporary file, writable whatever the target's mode; throws
    // std::runtime_error naming the target when its folder does not take one.
    explicit PendingFile(std::string target);
    // Removes the temporary file unless it was committed.
    ~PendingFile();

    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Where a writer that opens files itself writes the contents.
    const std::string& path() const { return temporary_; }
    const std::string& target() const { return target_; }

    // Appends the bytes; throws std::runtime_error naming the target unless
    // every one was written.
    void write(const void* data, std::size_t size);

    // Puts the contents in the target's place once they are on the disk:
    // flushed, closed, given the mode the target had (or a new file's), then
    // renamed. Throws std::runtime_error naming the target when any step
    // fails; the target is then as it was.
    void commit();

private:
    [[noreturn]] void fail(const std::string& why) const;

    std::string target_;
    std::string temporary_;
    int fd_ = -1;
    bool committed_ = false;
};

}  // namespace tiltshift
