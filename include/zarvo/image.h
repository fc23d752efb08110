#pragma once
/// @file zarvo/image.h
/// zv::Image: a 2-D pixel array the application writes on the GPU, shown through the
/// window's colour map.

#include "zarvo/defines.h"

namespace internal {
class _Image;
}

namespace zv {

/// An image whose pixels live in an OpenGL pixel-buffer object that the library creates and
/// the application fills (pbo(), size()): rows one after another without padding, the first
/// row shown at the top, channels interleaved, each one element of the channel type. Every
/// draw copies the buffer into the image's texture on the GPU; nothing passes through the CPU.
/// Integer channels are normalised by OpenGL (0..255 -> 0..1 for ZV_UINT8); each channel picks
/// its colour-map row by value, clamped to the map's first and last row. Alpha is not shown.
///
/// Create it with a window of the share group it will be drawn in current (the buffer, the
/// texture and the program belong to that group). Copies share one image.
class ZV_API Image {
public:
    /// @throws zv::DimensionError (argument 1 or 2) when width or height exceeds the
    ///         context's maximum texture size, or the byte size does not fit 32 bits
    /// @throws zv::Error (ZV_ERR_GL) when OpenGL cannot allocate the pixel buffer
    Image(unsigned width, unsigned height, ColorMode format, ZVType type);
    Image(const Image& other);             ///< shares other's image
    Image& operator=(const Image& other);  ///< makes this handle share other's image
    ~Image();

    unsigned width() const;       ///< pixels per row
    unsigned height() const;      ///< rows
    ColorMode pixelFormat() const;  ///< the channel layout given at creation
    ZVType channelType() const;     ///< the element type given at creation
    /// Name of the GL_PIXEL_UNPACK_BUFFER-compatible buffer the application writes pixels into.
    unsigned pbo() const;
    /// Byte size of that buffer: width x height x channels x bytes per element.
    unsigned size() const;

    /// The internal record, for the library's own use.
    internal::_Image* get() const { return mValue; }

private:
    internal::_Image* mValue;
};

}  // namespace zv
