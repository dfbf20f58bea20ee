#pragma once
// Progress through a sequence: on a terminal one bar redrawn in place with
// frames done, frames per second and time left; elsewhere (a log, a pipe) a
// plain line per frame. A stream's frames are not known before it ends: its
// progress is frames done and frames per second.

#include <chrono>
#include <optional>
#include <ostream>
#include <string>

namespace tiltshift {

// "[########--------]  12/240 frames  3.4 fps  1:07 left", the bar `width`
// characters wide; rate and time left show as "--" until a frame is done.
// Without a total: "12 frames  3.4 fps".
std::string progressBar(int done, std::optional<int> total, double seconds, int width);

class Progress {
public:
    Progress(std::optional<int> total, std::ostream& os, bool terminal);
    // Ends the bar's line, also when the run stops early on an error.
    ~Progress();

    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // One more frame done, written to `output`.
    void frameDone(int frame, const std::string& output);

private:
    double elapsed() const;
    void draw();

    std::optional<int> total_;
    int done_ = 0;
    std::ostream& os_;
    bool terminal_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastFrame_ = start_;
};

}  // namespace tiltshift
