#include "images/image_io.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

#include <OpenImageIO/imageio.h>

#include "images/pending_file.h"

namespace tiltshift {

namespace {

template <typename T>
constexpr T opaque() {
    if constexpr (std::is_floating_point_v<T>) {
        return 1;
    } else {
        return std::numeric_limits<T>::max();
    }
}

// The file's channels as red, green, blue and alpha, in T's scale (OIIO
// converts from the file's type), with straight alpha.
template <typename T>
Raster<T> readRaster(OIIO::ImageInput& in, const std::string& path) {
    const OIIO::ImageSpec& spec = in.spec();
    std::vector<int> colours;
    for (int c = 0; c < spec.nchannels && colours.size() < 3; ++c) {
        if (c != spec.alpha_channel) {
            colours.push_back(c);
        }
    }
    if (colours.empty()) {
        throw std::runtime_error("cannot read " + path + ": it has no colour channels");
    }
    if (colours.size() < 3) {
        colours.assign(3, colours.front());  // grey
    }

    const std::size_t channels = static_cast<std::size_t>(spec.nchannels);
    std::vector<T> file(static_cast<std::size_t>(spec.width) * static_cast<std::size_t>(spec.height) * channels);
    if (!in.read_image(0, 0, 0, spec.nchannels, OIIO::TypeDescFromC<T>::value(), file.data())) {
        throw std::runtime_error("cannot read " + path + ": " + in.geterror());
    }
    Raster<T> raster(spec.width, spec.height);
    const T* p = file.data();
    for (T* out = raster.rgba.data(); p != file.data() + file.size(); p += channels, out += 4) {
        out[0] = p[colours[0]];
        out[1] = p[colours[1]];
        out[2] = p[colours[2]];
        out[3] = spec.alpha_channel >= 0 ? p[spec.alpha_channel] : opaque<T>();
    }
    // Readers that kept straight alpha say so; the others (OpenEXR's among
    // them) hand out associated alpha.
    if (spec.alpha_channel >= 0 && !spec.get_int_attribute("oiio:UnassociatedAlpha", 0)) {
        unpremultiply(raster);
    }
    return raster;
}

template <typename T>
void writeRaster(OIIO::ImageOutput& out, const host::Image& image, bool associated, const std::string& path) {
    Raster<T> raster = toRaster<T>(image);
    if (associated) {
        premultiply(raster);
    }
    if (!out.write_image(OIIO::TypeDescFromC<T>::value(), raster.rgba.data(), 4 * sizeof(T))) {
        throw std::runtime_error("cannot write " + path + ": " + out.geterror());
    }
}

// With the hint, readers that can keep straight alpha keep it.
std::unique_ptr<OIIO::ImageInput> openInput(const std::string& path) {
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    std::unique_ptr<OIIO::ImageInput> in = OIIO::ImageInput::open(path, &config);
    if (!in) {
        throw std::runtime_error("cannot read " + path + ": " + OIIO::geterror());
    }
    return in;
}

std::unique_ptr<OIIO::ImageOutput> createOutput(const std::string& path) {
    std::unique_ptr<OIIO::ImageOutput> out = OIIO::ImageOutput::create(path);
    if (!out) {
        throw std::runtime_error("cannot write " + path + ": " + OIIO::geterror());
    }
    return out;
}

}  // namespace

Depth depthOf(OIIO::TypeDesc channelType) {
    switch (channelType.basetype) {
        case OIIO::TypeDesc::UINT8:
        case OIIO::TypeDesc::INT8: return Depth::bits8;
        case OIIO::TypeDesc::UINT16:
        case OIIO::TypeDesc::INT16: return Depth::bits16;
        default: return Depth::float32;
    }
}

SourceImage readImage(const std::string& path, std::optional<Depth> depth) {
    const std::unique_ptr<OIIO::ImageInput> in = openInput(path);
    SourceImage source;
    source.channelType = in->spec().format;
    source.hasAlpha = in->spec().alpha_channel >= 0;
    switch (depth.value_or(depthOf(source.channelType))) {
        case Depth::bits8: source.image = toImage(readRaster<std::uint8_t>(*in, path)); break;
        case Depth::bits16: source.image = toImage(readRaster<std::uint16_t>(*in, path)); break;
        case Depth::float32: source.image = toImage(readRaster<float>(*in, path)); break;
    }
    return source;
}

ImageSize imageSize(const std::string& path) {
    const std::unique_ptr<OIIO::ImageInput> in = openInput(path);
    return ImageSize{in->spec().width, in->spec().height};
}

void writeImage(const host::Image& image, const std::string& path, const OutputFormat& format) {
    PendingFile file(path);
    {
        std::unique_ptr<OIIO::ImageOutput> out = createOutput(path);
        const bool alpha = out->supports("alpha") && (format.alpha || hasTransparency(image));
        // OpenEXR stores colour times alpha by convention, and its writer
        // stores what it is given; the others take straight alpha when told.
        const bool associated = std::string(out->format_name()) == "openexr";
        OIIO::ImageSpec spec(image.width(), image.height(), alpha ? 4 : 3, format.channelType);
        if (alpha && !associated) {
            spec.attribute("oiio:UnassociatedAlpha", 1);
        }
        if (!out->open(file.path(), spec)) {
            throw std::runtime_error("cannot write " + path + ": " + out->geterror());
        }
        switch (image.format()) {
            case PF_PixelFormat_ARGB32: writeRaster<std::uint8_t>(*out, image, associated, path); break;
            case PF_PixelFormat_ARGB64: writeRaster<std::uint16_t>(*out, image, associated, path); break;
            default: writeRaster<float>(*out, image, associated, path); break;
        }
        if (!out->close()) {
            throw std::runtime_error("cannot write " + path + ": " + out->geterror());
        }
    }  // the writer lets go of the temporary file before it is renamed or removed
    file.commit();
}

void checkWritable(const std::string& path) {
    createOutput(path);
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    if (access(folder.c_str(), W_OK) != 0) {
        throw std::runtime_error("cannot write " + path + ": " + folder + ": " + std::strerror(errno));
    }
}

}  // namespace tiltshift
