#include "render/progress.h"

#include <cmath>
#include <cstdio>

namespace tiltshift {

namespace {

constexpr int kBarWidth = 30;

std::string clock(double seconds) {
    const long s = std::lround(seconds);
    char text[32];
    if (s >= 3600) {
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    } else {
        std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    }
    return text;
}

}  // namespace

std::string progressBar(int done, std::optional<int> total, double seconds, int width) {
    const double fps = done > 0 && seconds > 0 ? done / seconds : 0;
    char rate[32] = "--";
    if (fps > 0) {
        std::snprintf(rate, sizeof rate, fps >= 10 ? "%.0f" : "%.2g", fps);
    }
    if (!total) {
        return std::to_string(done) + " frames  " + rate + " fps";
    }
    const int filled = *total > 0 ? static_cast<int>(static_cast<long>(width) * done / *total) : width;
    return "[" + std::string(static_cast<std::size_t>(filled), '#') +
           std::string(static_cast<std::size_t>(width - filled), '-') + "]  " + std::to_string(done) + "/" +
           std::to_string(*total) + " frames  " + rate + " fps  " + (fps > 0 ? clock((*total - done) / fps) : "--") +
           " left";
}

Progress::Progress(std::optional<int> total, std::ostream& os, bool terminal)
    : total_(total), os_(os), terminal_(terminal) {
    draw();
}

void Progress::frameDone(int frame, const std::string& output) {
    ++done_;
    const auto now = std::chrono::steady_clock::now();
    if (terminal_) {
        draw();
    } else {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.2f", std::chrono::duration<double>(now - lastFrame_).count());
        os_ << "frame " << frame;
        if (total_) {
            os_ << " (" << done_ << "/" << *total_ << ")";
        }
        os_ << ": " << output << ", " << seconds << " s" << std::endl;
    }
    lastFrame_ = now;
}

Progress::~Progress() {
    if (terminal_) {
        os_ << "\n" << std::flush;
    }
}

double Progress::elapsed() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void Progress::draw() {
    if (terminal_) {
        // \r returns to the line's start, ESC[K clears what a longer line left.
        os_ << "\r" << progressBar(done_, total_, elapsed(), kBarWidth) << "\x1b[K" << std::flush;
    }
}

}  // namespace tiltshift
