// Image files read into a world: any bytes either give an image or an error
// naming the file, within a bounded memory (a header claims any size).

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include "images/image_io.h"

namespace {

// No extension: the readers recognise the format by its contents.
std::string scratchFile() {
    std::string name = (std::getenv("TMPDIR") ? std::string(std::getenv("TMPDIR")) : "/tmp") + "/image-fuzz-XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        std::abort();
    }
    close(fd);
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = scratchFile();
    static const int removed = std::atexit([] { unlink(path.c_str()); });
    (void)removed;
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                    static_cast<std::streamsize>(size));
    try {
        tiltshift::readImage(path, std::nullopt, tiltshift::FrameLimit{256u << 20, std::nullopt});
    } catch (const std::runtime_error&) {
    }
    return 0;
}
