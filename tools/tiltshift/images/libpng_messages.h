#pragma once
// libpng prints each fatal error to standard error itself, after OpenImageIO
// has taken the same text into the error it reports; the tool reports that
// one, naming the file, so libpng's own line would show the message twice.

namespace tiltshift {

// While it lives, what is written to standard error (file descriptor 2) is
// held back; when it ends, everything held back but libpng's error lines
// is written out. One at a time in the process: others wait.
class LibpngErrorsMuted {
public:
    LibpngErrorsMuted();
    ~LibpngErrorsMuted();

    LibpngErrorsMuted(const LibpngErrorsMuted&) = delete;
    LibpngErrorsMuted& operator=(const LibpngErrorsMuted&) = delete;

private:
    int saved_ = -1;  // standard error as it was
    int held_ = -1;   // what was written meanwhile
};

}  // namespace tiltshift
