#pragma once
// Files for the tool's tests: a temporary folder, images as stored on disk (past the tool's conversions), commands.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <OpenImageIO/imageio.h>

#include "cli/arguments.h"
#include "cli/command.h"
#include "plugin_path.h"

namespace test {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tiltshift-test-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? pattern : throw std::runtime_error("no temporary folder");
    }
    ~TempDir() { std::filesystem::remove_all(path_, ignored_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    std::set<std::string> names() const {  // hidden ones included
        std::set<std::string> all;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            all.insert(entry.path().filename().string());
        }
        return all;
    }

private:
    std::filesystem::path path_;
    std::error_code ignored_;
};

template <typename T>
struct FileImage {
    OIIO::ImageSpec spec;
    std::vector<T> values;  // interleaved, as stored
};

// `alphaChannel`, when given, holds straight alpha, stored as it is.
template <typename T>
void writeFile(const std::string& path, int width, int height, int channels, OIIO::TypeDesc stored,
               const std::vector<T>& values, int alphaChannel = -1) {
    std::unique_ptr<OIIO::ImageOutput> out = OIIO::ImageOutput::create(path);
    OIIO::ImageSpec spec(width, height, channels, stored);
    if (alphaChannel >= 0) {
        spec.alpha_channel = alphaChannel;
        spec.attribute("oiio:UnassociatedAlpha", 1);
    }
    if (!out || !out->open(path, spec) || !out->write_image(OIIO::TypeDescFromC<T>::value(), values.data()) ||
        !out->close()) {
        throw std::runtime_error("cannot write the test image " + path);
    }
}

// The file's values as stored (associated alpha stays associated).
template <typename T>
FileImage<T> readFile(const std::string& path) {
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    std::unique_ptr<OIIO::ImageInput> in = OIIO::ImageInput::open(path, &config);
    FileImage<T> image{in ? in->spec() : throw std::runtime_error("cannot read the test image " + path), {}};
    image.values.resize(image.spec.image_pixels() * static_cast<std::size_t>(image.spec.nchannels));
    in->read_image(0, 0, 0, image.spec.nchannels, OIIO::TypeDescFromC<T>::value(), image.values.data());
    return image;
}

template <typename T, typename F>
std::vector<T> valuesOf(std::size_t count, F f) {
    std::vector<T> values(count);
    for (std::size_t i = 0; i < count; ++i) {
        values[i] = static_cast<T>(f(i));
    }
    return values;
}

// Greys varying across it: something to blur, and no pixel of a handle's colour.
inline void writeGreyImage(const std::string& path, int width, int height) {
    const auto w = static_cast<std::size_t>(width);
    writeFile(path, width, height, 3, OIIO::TypeDesc::UINT8, valuesOf<std::uint8_t>(w * height * 3, [w](std::size_t i) {
        return 40 + (i / 3 % w * 7 + i / 3 / w * 13) % 160;
    }));
}

inline std::string contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline void writeFlat(const std::string& path, int width, int height, std::uint8_t grey) {
    writeFile(path, width, height, 3, OIIO::TypeDesc::UINT8,
              std::vector<std::uint8_t>(static_cast<std::size_t>(width * height * 3), grey));
}

// The message of the E that `f` throws, or "no error".
template <typename E = std::runtime_error, typename F>
std::string errorOf(F&& f) {
    try {
        f();
        return "no error";
    } catch (const E& e) {
        return e.what();
    }
}

// A subcommand through the built plug-in, usage errors thrown.
inline int run(const std::string& command, const std::vector<std::string>& args) {
    return tiltshift::runCommand(command, tiltshift::Common{pluginPath()}, args);
}

}  // namespace test
