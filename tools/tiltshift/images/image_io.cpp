#include "images/image_io.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

#include <OpenImageIO/filesystem.h>
#include <OpenImageIO/imageio.h>

#include "images/libpng_messages.h"
#include "images/pending_file.h"

namespace tiltshift {

namespace {

// How the file's channels are read into a world's pixels: straight in,
// with strides, when they are grey or RGB with or without alpha last; else
// nothing.
std::optional<ReadLayout> directLayout(const OIIO::ImageSpec& spec) {
    const bool alphaLast = spec.alpha_channel == spec.nchannels - 1;
    switch (spec.nchannels) {
        case 1: return ReadLayout::grey;
        case 2: return alphaLast ? std::optional(ReadLayout::greyAlpha) : std::nullopt;
        case 3: return spec.alpha_channel < 0 ? std::optional(ReadLayout::rgb) : std::nullopt;
        case 4: return alphaLast ? std::optional(ReadLayout::rgba) : std::nullopt;
        default: return std::nullopt;
    }
}

// The file's pixels in the world, T being its depth's channel type.
template <typename T>
void readPixels(OIIO::ImageInput& in, const std::string& path, host::Image& image) {
    const OIIO::ImageSpec& spec = in.spec();
    const OIIO::TypeDesc type = OIIO::TypeDescFromC<T>::value();
    const PF_EffectWorld& world = *image.world();
    char* const data = static_cast<char*>(world.data);
    const OIIO::stride_t pixel = 4 * sizeof(T);
    std::optional<ReadLayout> layout = directLayout(spec);
    bool read = false;
    if (layout) {
        read = in.read_image(0, 0, 0, spec.nchannels, type, data + firstSlot(*layout) * sizeof(T), pixel,
                             world.rowbytes);
    } else {
        // Other layouts (alpha first, extra channels) go through a copy of
        // all the channels: red, green and blue are the first three that
        // are not alpha, or the first one three times.
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
            colours.assign(3, colours.front());
        }
        const std::size_t channels = static_cast<std::size_t>(spec.nchannels);
        std::vector<T> file(static_cast<std::size_t>(spec.width) * static_cast<std::size_t>(spec.height) * channels);
        read = in.read_image(0, 0, 0, spec.nchannels, type, file.data());
        const T opaque = std::is_floating_point_v<T> ? T(1) : std::numeric_limits<T>::max();
        const T* p = file.data();
        for (int y = 0; read && y < spec.height; ++y) {
            T* out = Nerevo::Pixels::row<T>(world, y);
            for (int x = 0; x < spec.width; ++x, p += channels, out += 4) {
                out[0] = p[colours[0]];
                out[1] = p[colours[1]];
                out[2] = p[colours[2]];
                out[3] = spec.alpha_channel >= 0 ? p[spec.alpha_channel] : opaque;
            }
        }
        layout = ReadLayout::rgba;
    }
    // A reader may fill in what it could not decode (libjpeg greys out the
    // rest of a truncated file) and still return success; the error it
    // recorded is what says so.
    if (!read || in.has_error()) {
        throw std::runtime_error("cannot read " + path + ": " + in.geterror());
    }
    // Readers that kept straight alpha say so; the others (OpenEXR's among
    // them) hand out associated alpha.
    const bool associated = spec.alpha_channel >= 0 && !spec.get_int_attribute("oiio:UnassociatedAlpha", 0);
    settleReadPixels<T>(image, *layout, associated);
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

// Refuses what reading the first image's pixels into a layer would lose
// without a word: other images in the file, depth samples, a position.
void checkSupported(OIIO::ImageInput& in, const std::string& path) {
    const OIIO::ImageSpec& spec = in.spec();
    const auto window = [](int x, int y, int width, int height) {
        return std::to_string(width) + " x " + std::to_string(height) + " at " + std::to_string(x) + "," +
               std::to_string(y);
    };
    if (spec.deep) {
        throw std::runtime_error("cannot read " + path + ": deep images are not supported");
    }
    if (spec.x != 0 || spec.y != 0 || spec.full_x != 0 || spec.full_y != 0 || spec.full_width != spec.width ||
        spec.full_height != spec.height) {
        throw std::runtime_error("cannot read " + path + ": its data window (" +
                                 window(spec.x, spec.y, spec.width, spec.height) + ") is not its display window (" +
                                 window(spec.full_x, spec.full_y, spec.full_width, spec.full_height) +
                                 "); only images whose data fill a display window at 0,0 are supported");
    }
    if (in.seek_subimage(1, 0)) {
        throw std::runtime_error("cannot read " + path +
                                 ": it holds more than one image (parts, pages or frames); only files of one "
                                 "image are supported");
    }
    in.geterror();  // the failed seek's complaint, if it made one, is no fault of the file
    if (!in.seek_subimage(0, 0)) {
        throw std::runtime_error("cannot read " + path + ": " + in.geterror());
    }
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

InputImage::InputImage(std::string path) : path_(std::move(path)) {
    const LibpngErrorsMuted muted;
    in_ = openInput(path_);
    checkSupported(*in_, path_);
}

InputImage::~InputImage() = default;

ImageSize InputImage::size() const {
    return ImageSize{in_->spec().width, in_->spec().height};
}

SourceImage InputImage::read(std::optional<Depth> depth, std::unique_ptr<host::Image> reuse, const FrameLimit& limit) {
    const OIIO::ImageSpec& spec = in_->spec();
    SourceImage source;
    source.channelType = spec.format;
    source.hasAlpha = spec.alpha_channel >= 0;
    const Depth chosen = depth.value_or(depthOf(source.channelType));
    checkFrameFits(path_, spec.width, spec.height, spec.nchannels, chosen, limit);
    const PF_PixelFormat format = pixelFormatOf(chosen);
    if (reuse && reuse->format() == format && reuse->width() == spec.width && reuse->height() == spec.height) {
        source.image = std::move(reuse);
    } else {
        reuse.reset();
        source.image = std::make_unique<host::Image>(format, spec.width, spec.height);
    }
    const LibpngErrorsMuted muted;
    switch (chosen) {
        case Depth::bits8: readPixels<std::uint8_t>(*in_, path_, *source.image); break;
        case Depth::bits16: readPixels<std::uint16_t>(*in_, path_, *source.image); break;
        case Depth::float32: readPixels<float>(*in_, path_, *source.image); break;
    }
    return source;
}

SourceImage readImage(const std::string& path, std::optional<Depth> depth, const FrameLimit& limit) {
    return InputImage(path).read(depth, nullptr, limit);
}

ImageSize imageSize(const std::string& path) {
    return InputImage(path).size();
}

namespace {

// zlib's fastest level: a 1080p frame is written in a fifth of the time the
// default level takes, for a file about a third larger.
constexpr int kDefaultPngLevel = 1;

// The writer's attributes for the compression asked for. OpenImageIO's PNG
// writer reads its own attribute for the zlib level and ignores
// "compression"; the other writers read "compression" as oiiotool gives it.
void setCompression(OIIO::ImageSpec& spec, const std::string& formatName, const std::optional<Compression>& asked) {
    if (formatName == "png") {
        if (!asked) {
            spec.attribute("png:compressionLevel", kDefaultPngLevel);
        } else if (asked->level) {
            spec.attribute("png:compressionLevel", *asked->level);
        }
        return;
    }
    if (asked) {
        spec.attribute("compression", asked->name + (asked->level ? ":" + std::to_string(*asked->level) : ""));
    }
}

// The writer's message about a file it opened itself names the temporary
// file; the user knows the target.
std::string writerError(OIIO::ImageOutput& out, const PendingFile& file) {
    std::string message = out.geterror();
    for (std::size_t at = message.find(file.path()); at != std::string::npos;
         at = message.find(file.path(), at + file.target().size())) {
        message.replace(at, file.path().size(), file.target());
    }
    return message.empty() ? "the writer failed" : message;
}

// Some writers that cannot write into memory do not check what they write
// either: the file is read back whole, so that a short one fails here.
void checkReadsBack(const PendingFile& file, const OIIO::ImageSpec& spec) {
    std::unique_ptr<OIIO::ImageInput> in = OIIO::ImageInput::open(file.path());
    std::vector<float> pixels;
    if (in && in->spec().width == spec.width && in->spec().height == spec.height) {
        pixels.resize(in->spec().image_pixels() * static_cast<std::size_t>(in->spec().nchannels));
        if (in->read_image(0, 0, 0, in->spec().nchannels, OIIO::TypeDesc::FLOAT, pixels.data())) {
            return;
        }
    }
    throw std::runtime_error("cannot write " + file.target() + ": the file written does not read back whole");
}

}  // namespace

template <typename T>
void ImageWriter::writePixels(OIIO::ImageOutput& out, const host::Image& image, bool associated, Raster<T>& raster,
                              const std::string& path) {
    toRaster(image, raster);
    if (associated) {
        premultiply(raster);
    }
    if (!out.write_image(OIIO::TypeDescFromC<T>::value(), raster.rgba.data(), 4 * sizeof(T))) {
        throw std::runtime_error("cannot write " + path + ": " + out.geterror());
    }
}

void ImageWriter::write(const host::Image& image, const std::string& path, const OutputFormat& format) {
    PendingFile file(path);
    std::unique_ptr<OIIO::ImageOutput> out = createOutput(path);
    const std::string formatName = out->format_name();
    const bool alpha = out->supports("alpha") && (format.alpha || hasTransparency(image));
    // OpenEXR stores colour times alpha by convention, and its writer
    // stores what it is given; the others take straight alpha when told.
    const bool associated = formatName == "openexr";
    OIIO::ImageSpec spec(image.width(), image.height(), alpha ? 4 : 3, format.channelType);
    if (alpha && !associated) {
        spec.attribute("oiio:UnassociatedAlpha", 1);
    }
    setCompression(spec, formatName, format.compression);
    // Where the writer can, it encodes into memory and the bytes are written
    // here, every write checked; writers do not all check theirs.
    encoded_.clear();
    OIIO::Filesystem::IOVecOutput memory(encoded_);
    const bool inMemory = out->supports("ioproxy") && out->set_ioproxy(&memory);
    if (!out->open(inMemory ? path : file.path(), spec)) {
        throw std::runtime_error("cannot write " + path + ": " + writerError(*out, file));
    }
    Nerevo::withPixelType(image.format(), [&](auto type) {
        using Channel = typename Nerevo::PixelTraits<typename decltype(type)::type>::Channel;
        writePixels(*out, image, associated, std::get<Raster<Channel>>(rasters_), path);
    });
    if (!out->close()) {
        throw std::runtime_error("cannot write " + path + ": " + writerError(*out, file));
    }
    out.reset();  // the writer lets go of the temporary file before it is renamed or removed
    if (inMemory) {
        file.write(encoded_.data(), encoded_.size());
    } else {
        checkReadsBack(file, spec);
    }
    file.commit();
}

void writeImage(const host::Image& image, const std::string& path, const OutputFormat& format) {
    ImageWriter().write(image, path, format);
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
