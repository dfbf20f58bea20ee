#include "preview/frame_encoding.h"

#include <cstdint>
#include <memory>
#include <stdexcept>

#include <OpenImageIO/filesystem.h>
#include <OpenImageIO/imageio.h>

#include "images/pixel_convert.h"

namespace tiltshift {

namespace {

template <typename T>
std::vector<unsigned char> encode(const Raster<T>& raster, const char* format, OIIO::TypeDesc type,
                                  bool associated) {
    std::vector<unsigned char> bytes;
    OIIO::Filesystem::IOVecOutput memory(bytes);
    const std::unique_ptr<OIIO::ImageOutput> out = OIIO::ImageOutput::create(format);
    if (!out || !out->supports("ioproxy")) {
        throw std::runtime_error(std::string("no ") + format + " encoder that writes to memory");
    }
    OIIO::ImageSpec spec(raster.width, raster.height, 4, type);
    if (!associated) {
        spec.attribute("oiio:UnassociatedAlpha", 1);
    }
    // The bytes go to a browser on this machine: time counts, size hardly.
    spec.attribute("png:compressionLevel", 1);
    out->set_ioproxy(&memory);
    if (!out->open(std::string("frame.") + format, spec) || !out->write_image(type, raster.rgba.data()) ||
        !out->close()) {
        throw std::runtime_error(std::string("cannot encode the frame as ") + format + ": " + out->geterror());
    }
    return bytes;
}

}  // namespace

EncodedImage encodeLossless(const host::Image& image) {
    switch (depthOf(image.format())) {
        case Depth::bits8:
            return {"image/png", encode(toRaster<std::uint8_t>(image), "png", OIIO::TypeDesc::UINT8, false)};
        case Depth::bits16:
            return {"image/png", encode(toRaster<std::uint16_t>(image), "png", OIIO::TypeDesc::UINT16, false)};
        case Depth::float32: break;
    }
    // OpenEXR stores colour times alpha by convention, as the tool writes it.
    Raster<float> raster = toRaster<float>(image);
    premultiply(raster);
    return {"image/x-exr", encode(raster, "exr", OIIO::TypeDesc::FLOAT, true)};
}

}  // namespace tiltshift
