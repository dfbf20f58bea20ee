#include "images/pending_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace tiltshift {

namespace {

// The temporary file of the write in progress, for the signal handler,
// which may only make async-signal-safe calls.
char g_pendingPath[4096];
volatile std::sig_atomic_t g_pending = 0;

void removePendingAndDie(int signal) {
    if (g_pending) {
        unlink(g_pendingPath);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void removeOnInterrupt() {
    static const bool installed = [] {
        for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
            std::signal(signal, removePendingAndDie);
        }
        return true;
    }();
    (void)installed;
}

// The mode a new file gets from the process's umask, which can only be
// read by setting it.
mode_t newFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

std::string reason() {
    return std::strerror(errno);
}

}  // namespace

PendingFile::PendingFile(std::string target) : target_(std::move(target)) {
    const std::size_t slash = target_.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    std::string pattern = folder + "." + name + ".XXXXXX";
    if (pattern.size() >= sizeof g_pendingPath) {
        throw std::runtime_error("cannot write " + target_ + ": the path is too long");
    }
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    removeOnInterrupt();
    const int fd = mkstemp(buffer.data());
    if (fd < 0) {
        throw std::runtime_error("cannot write " + target_ + ": " + reason());
    }
    temporary_ = buffer.data();
    std::memcpy(g_pendingPath, temporary_.c_str(), temporary_.size() + 1);
    g_pending = 1;
    // mkstemp makes the file private; the result gets the mode the target
    // had, or the one a new file would get.
    struct stat existing {};
    fchmod(fd, stat(target_.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : newFileMode());
    close(fd);
}

PendingFile::~PendingFile() {
    if (!committed_) {
        g_pending = 0;
        unlink(temporary_.c_str());
    }
}

void PendingFile::commit() {
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        throw std::runtime_error("cannot write " + target_ + ": " + reason());
    }
    g_pending = 0;
    committed_ = true;
}

}  // namespace tiltshift
