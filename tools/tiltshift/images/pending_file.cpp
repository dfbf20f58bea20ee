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
    // Blocked while its handler runs: it ends the process on return.
    std::raise(signal);
}

// Every signal sent to end the process (not those of a fault in it, whose
// state is not to be trusted). Only those left at their default are taken
// over: one ignored at start (SIGHUP under nohup, SIGPIPE in a server that
// must outlive a client that hangs up) stays ignored, and a handler the
// program installed stays its own.
void removeOnInterrupt() {
    static const bool installed = [] {
        for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ,
                           SIGVTALRM, SIGPROF}) {
            struct sigaction current {};
            if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL &&
                (current.sa_flags & SA_SIGINFO) == 0) {
                struct sigaction remove {};
                remove.sa_handler = removePendingAndDie;
                sigemptyset(&remove.sa_mask);
                sigaction(signal, &remove, nullptr);
            }
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
        fail("the path is too long");
    }
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    removeOnInterrupt();
    // Made readable and writable by its owner alone; the target's mode
    // comes at the end, so that a read-only target does not make the
    // temporary file unwritable.
    fd_ = mkstemp(buffer.data());
    if (fd_ < 0) {
        fail(reason());
    }
    temporary_ = buffer.data();
    std::memcpy(g_pendingPath, temporary_.c_str(), temporary_.size() + 1);
    g_pending = 1;
}

PendingFile::~PendingFile() {
    if (fd_ >= 0) {
        close(fd_);
    }
    if (!committed_) {
        g_pending = 0;
        unlink(temporary_.c_str());
    }
}

void PendingFile::fail(const std::string& why) const {
    throw std::runtime_error("cannot write " + target_ + ": " + why);
}

void PendingFile::write(const void* data, std::size_t size) {
    const char* next = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd_, next, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            fail(written < 0 ? reason() : "nothing was written");
        }
        next += written;
        size -= static_cast<std::size_t>(written);
    }
}

void PendingFile::commit() {
    struct stat existing {};
    const mode_t mode = stat(target_.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : newFileMode();
    if (fchmod(fd_, mode) != 0 || fsync(fd_) != 0) {
        fail(reason());
    }
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) {
        fail(reason());
    }
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        fail(reason());
    }
    g_pending = 0;
    committed_ = true;
}

}  // namespace tiltshift
