#include "images/libpng_messages.h"

#include <unistd.h>

#include <cstdio>
#include <mutex>
#include <string>

namespace tiltshift {

namespace {

std::mutex g_muting;

// libpng's default error handler writes "libpng error: MESSAGE\n".
bool fromLibpng(const std::string& line) {
    return line.rfind("libpng error: ", 0) == 0;
}

void writeAll(int fd, const std::string& text) {
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) {
            return;  // standard error gone: nothing else to tell it
        }
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

LibpngErrorsMuted::LibpngErrorsMuted() {
    g_muting.lock();
    std::fflush(stderr);
    std::FILE* held = std::tmpfile();
    saved_ = dup(STDERR_FILENO);
    if (held && saved_ >= 0) {
        held_ = dup(fileno(held));
        if (held_ >= 0 && dup2(held_, STDERR_FILENO) < 0) {
            close(held_);
            held_ = -1;
        }
    }
    if (held) {
        std::fclose(held);  // the duplicate keeps the file
    }
}

LibpngErrorsMuted::~LibpngErrorsMuted() {
    std::fflush(stderr);
    if (held_ >= 0) {
        dup2(saved_, STDERR_FILENO);
        std::string text, line;
        char buffer[4096];
        for (off_t at = 0;;) {
            const ssize_t n = pread(held_, buffer, sizeof buffer, at);
            if (n <= 0) {
                break;
            }
            text.append(buffer, static_cast<std::size_t>(n));
            at += n;
        }
        std::string kept;
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = text.find('\n', start);
            line = text.substr(start, end == std::string::npos ? std::string::npos : end - start + 1);
            if (!fromLibpng(line)) {
                kept += line;
            }
            start = end == std::string::npos ? text.size() : end + 1;
        }
        writeAll(STDERR_FILENO, kept);
        close(held_);
    }
    if (saved_ >= 0) {
        close(saved_);
    }
    g_muting.unlock();
}

}  // namespace tiltshift
