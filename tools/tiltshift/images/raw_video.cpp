#include "images/raw_video.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <OpenImageIO/imageio.h>

namespace tiltshift {

// The formats' 16- and 32-bit channels are little-endian, and are read and
// written as the machine stores its own.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "raw video's channels are little-endian, as this machine's");

namespace {

// The planes of a planar frame, in the order they come, as channels of an
// RGBA pixel.
constexpr int kPlaneChannel[4] = {1, 2, 0, 3};  // green, blue, red, alpha

std::string sizeText(ImageSize size) {
    return std::to_string(size.width) + " x " + std::to_string(size.height);
}

// Reads until `size` bytes came or the stream ended; returns how many came.
std::size_t readUpTo(int fd, unsigned char* data, std::size_t size, const std::string& what) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, data + got, size - got);
        if (n == 0) {
            break;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw std::runtime_error("cannot read " + what + ": " + std::strerror(errno));
        }
        got += static_cast<std::size_t>(n);
    }
    return got;
}

// Writes every byte. A reader that has gone raises SIGPIPE, which would end
// the process without a word: the signal is held back on this thread while
// it writes, so that the write fails with EPIPE and says so, and the signal
// it left pending is taken off again.
void writeAll(int fd, const unsigned char* data, std::size_t size, const std::string& what) {
    sigset_t brokenPipe;
    sigemptyset(&brokenPipe);
    sigaddset(&brokenPipe, SIGPIPE);
    sigset_t before;
    pthread_sigmask(SIG_BLOCK, &brokenPipe, &before);
    int error = 0;
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            break;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    if (error == EPIPE) {
        const timespec now{0, 0};
        sigtimedwait(&brokenPipe, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    if (error != 0) {
        throw std::runtime_error("cannot write " + what + ": " +
                                 (error == EPIPE ? "the program reading it has ended" : std::strerror(error)));
    }
}

}  // namespace

const char* rawFormatName(RawFormat format) {
    switch (format) {
        case RawFormat::rgba: return "rgba";
        case RawFormat::rgba64le: return "rgba64le";
        case RawFormat::gbrapf32le: break;
    }
    return "gbrapf32le";
}

std::optional<RawFormat> parseRawFormat(const std::string& name) {
    for (RawFormat format : {RawFormat::rgba, RawFormat::rgba64le, RawFormat::gbrapf32le}) {
        if (name == rawFormatName(format)) {
            return format;
        }
    }
    return std::nullopt;
}

Depth depthOf(RawFormat format) {
    switch (format) {
        case RawFormat::rgba: return Depth::bits8;
        case RawFormat::rgba64le: return Depth::bits16;
        case RawFormat::gbrapf32le: break;
    }
    return Depth::float32;
}

OIIO::TypeDesc channelTypeOf(RawFormat format) {
    switch (format) {
        case RawFormat::rgba: return OIIO::TypeDesc::UINT8;
        case RawFormat::rgba64le: return OIIO::TypeDesc::UINT16;
        case RawFormat::gbrapf32le: break;
    }
    return OIIO::TypeDesc::FLOAT;
}

std::size_t frameBytes(RawFormat format, ImageSize size) {
    return static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height) * 4 *
           channelTypeOf(format).size();
}

RawVideoReader::RawVideoReader(int fd, std::string name, RawFormat format, ImageSize size)
    : fd_(fd), name_(std::move(name)), format_(format), size_(size) {}

std::unique_ptr<host::Image> RawVideoReader::read(Depth depth, std::unique_ptr<host::Image> reuse) {
    const std::size_t size = frameBytes(format_, size_);
    bytes_.resize(size);
    const std::string frame = "frame " + std::to_string(frames_);
    const std::size_t got = readUpTo(fd_, bytes_.data(), size, frame + " from " + name_);
    if (got == 0 && frames_ == 0) {
        throw std::runtime_error(name_ + " holds no frames: it ended before the first " + sizeText(size_) + " " +
                                 rawFormatName(format_) + " frame");
    }
    if (got == 0) {
        return nullptr;
    }
    if (got < size) {
        throw std::runtime_error(name_ + " ended inside " + frame + ": " + std::to_string(got) + " of its " +
                                 std::to_string(size) + " bytes came");
    }
    const PF_PixelFormat pixelFormat = pixelFormatOf(depth);
    std::unique_ptr<host::Image> image;
    if (reuse && reuse->format() == pixelFormat && reuse->width() == size_.width &&
        reuse->height() == size_.height) {
        image = std::move(reuse);
    } else {
        reuse.reset();
        image = std::make_unique<host::Image>(pixelFormat, size_.width, size_.height);
    }
    switch (depth) {
        case Depth::bits8: unpack<std::uint8_t>(*image); break;
        case Depth::bits16: unpack<std::uint16_t>(*image); break;
        case Depth::float32: unpack<float>(*image); break;
    }
    ++frames_;
    return image;
}

// Each row goes into the world's row as red, green, blue, alpha in the file
// scale of T, converted as OpenImageIO converts a file's channels, and is
// then settled as a file's would be.
template <typename T>
void RawVideoReader::unpack(host::Image& image) {
    const PF_EffectWorld& world = *image.world();
    const OIIO::TypeDesc stored = channelTypeOf(format_);
    const int values = size_.width * 4;
    const std::size_t rowBytes = static_cast<std::size_t>(values) * stored.size();
    const std::size_t planeBytes = rowBytes / 4 * static_cast<std::size_t>(size_.height);
    for (int y = 0; y < size_.height; ++y) {
        const unsigned char* in = bytes_.data() + static_cast<std::size_t>(y) * rowBytes;
        if (format_ == RawFormat::gbrapf32le) {
            row_.resize(static_cast<std::size_t>(values));
            const unsigned char* rowInPlane = bytes_.data() + static_cast<std::size_t>(y) * (rowBytes / 4);
            for (int plane = 0; plane < 4; ++plane) {
                const unsigned char* p = rowInPlane + static_cast<std::size_t>(plane) * planeBytes;
                for (int x = 0; x < size_.width; ++x, p += sizeof(float)) {
                    std::memcpy(&row_[static_cast<std::size_t>(x) * 4 + kPlaneChannel[plane]], p, sizeof(float));
                }
            }
            in = reinterpret_cast<const unsigned char*>(row_.data());
        }
        OIIO::convert_pixel_values(stored, in, OIIO::TypeDescFromC<T>::value(),
                                   Nerevo::Pixels::row<T>(world, y),
                                   values);
    }
    settleReadPixels<T>(image, ReadLayout::rgba, false);
}

RawVideoWriter::RawVideoWriter(int fd, std::string name, RawFormat format)
    : fd_(fd), name_(std::move(name)), format_(format) {}

void RawVideoWriter::write(const host::Image& image) {
    const std::string frame = "frame " + std::to_string(frames_);
    const ImageSize size{image.width(), image.height()};
    if (!size_) {
        size_ = size;
    } else if (size.width != size_->width || size.height != size_->height) {
        throw std::runtime_error("cannot write " + frame + " to " + name_ + ": it is " + sizeText(size) +
                                 " pixels, but the stream's frames are " + sizeText(*size_));
    }
    bytes_.resize(frameBytes(format_, size));
    Nerevo::withPixelType(image.format(), [&](auto type) {
        using Channel = typename Nerevo::PixelTraits<typename decltype(type)::type>::Channel;
        pack(image, std::get<Raster<Channel>>(rasters_));
    });
    writeAll(fd_, bytes_.data(), bytes_.size(), frame + " to " + name_);
    ++frames_;
}

// The world in the file scale of its depth, as an image file would be
// written, each row then converted to the stream's channels as OpenImageIO
// converts them for a file.
template <typename T>
void RawVideoWriter::pack(const host::Image& image, Raster<T>& raster) {
    toRaster(image, raster);
    const OIIO::TypeDesc stored = channelTypeOf(format_);
    const int values = raster.width * 4;
    const std::size_t rowBytes = static_cast<std::size_t>(values) * stored.size();
    const std::size_t planeBytes = rowBytes / 4 * static_cast<std::size_t>(raster.height);
    for (int y = 0; y < raster.height; ++y) {
        const T* in = raster.rgba.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(values);
        if (format_ != RawFormat::gbrapf32le) {
            OIIO::convert_pixel_values(OIIO::TypeDescFromC<T>::value(), in, stored,
                                       bytes_.data() + static_cast<std::size_t>(y) * rowBytes, values);
            continue;
        }
        row_.resize(static_cast<std::size_t>(values));
        OIIO::convert_pixel_values(OIIO::TypeDescFromC<T>::value(), in, stored, row_.data(), values);
        unsigned char* rowInPlane = bytes_.data() + static_cast<std::size_t>(y) * (rowBytes / 4);
        for (int plane = 0; plane < 4; ++plane) {
            unsigned char* p = rowInPlane + static_cast<std::size_t>(plane) * planeBytes;
            for (int x = 0; x < raster.width; ++x, p += sizeof(float)) {
                std::memcpy(p, &row_[static_cast<std::size_t>(x) * 4 + kPlaneChannel[plane]], sizeof(float));
            }
        }
    }
}

}  // namespace tiltshift
