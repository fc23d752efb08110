#pragma once
/// @file zarvo/image.h
/// zv::Image: a 2-D pixel array the application writes on the GPU, shown through the
/// window's colour map.

#include <memory>

#include "zarvo/defines.h"

namespace internal {
class _Image;
}

namespace zv {

/// An image whose pixels live in an OpenGL pixel-buffer object that the library creates and
/// the application fills (pbo(), size()): rows one after another without padding, the first
/// row shown at the top, channels interleaved, each one element of the channel type. Every
/// draw copies the buffer into the image's texture on the GPU; nothing passes through the CPU.
/// Integer channels are normalised by OpenGL (0..255 -> 0..1 for ZV_UINT8, -127..127 -> -1..1
/// for ZV_INT8, 0..65535 -> 0..1 for ZV_UINT16, -32767..32767 -> -1..1 for ZV_INT16, all 16
/// bits kept, negative values keeping their sign); each channel picks its colour-map row by
/// value, clamped to the map's first and last row. Alpha is not shown.
/// setValueRange() maps any span of values onto the map instead (temperatures in kelvin, say).
/// A float pixel with NaN in a shown channel (the first for grey images, any of red, green
/// and blue for colour images) is drawn as a hole of transparent black (0, 0, 0, 0), with or
/// without a value range: black on the window's background, or whatever lies under it when
/// the application blends.
///
/// Create it with a window of the share group it will be drawn in current (the buffer, the
/// texture and the program belong to that group). Copies share one image.
///
/// Drawn with zv::Window::draw(const Image&) the image fills the window or cell as a picture;
/// to show it on axes, at data coordinates inside a chart frame (a heat map with ticks, a
/// colour bar and other series over it), give it to a zv::ImageSeries.
class ZV_API Image {
public:
    /// @throws zv::DimensionError (argument 1 or 2) when width or height exceeds the
    ///         context's maximum texture size, or the byte size does not fit 32 bits
    /// @throws zv::Error (ZV_ERR_GL), checked first, when no window of the library has its
    ///         context current on this thread (none, or the application's own context is)
    /// @throws zv::Error (ZV_ERR_GL) when OpenGL cannot allocate the pixel buffer
    Image(unsigned width, unsigned height, ColorMode format, ZVType type);
    Image(const Image& other) = default;             ///< shares other's image
    Image& operator=(const Image& other) = default;  ///< makes this handle share other's image

    /// Maps channel values linearly from [min, max] onto the colour map's rows, min onto the
    /// first row and max onto the last, clamped at both ends; each channel of a colour image
    /// on its own. Values are in the element's own units: bytes 0 to 255 for ZV_UINT8, the
    /// values themselves for ZV_FLOAT32. The mapping runs on the GPU at every draw, from the
    /// next draw on, in every window. Without it a value v picks the row at v / 255 (ZV_UINT8),
    /// v / 65535 (ZV_UINT16), v / 32767 (ZV_INT16), v / (2^32 - 1) (ZV_UINT32), v / (2^31 - 1)
    /// (ZV_INT32) or v (ZV_FLOAT32) of the map.
    /// A range with max below min reverses the map; negative values of ZV_INT8 and ZV_INT32
    /// pixels map like any other. Any finite range works, up to -FLT_MAX .. FLT_MAX. ZV_INT32
    /// pixels keep 24 bits and ZV_UINT32 pixels may keep fewer (OpenGL's choice), so a
    /// narrow range of large integers shows steps; use ZV_FLOAT32 pixels for such data.
    /// Needs no current context.
    /// @throws zv::ArgumentError (argument 1 or 2) when min or max is not finite, or
    ///         (argument 2) when max lies less than 2^-110 (about 7.7e-34) from min: equal
    ///         ends, or a range of denormal width, whose ends GPUs may not tell apart since
    ///         they may read floats below about 1.2e-38 as 0; the range in force stays
    void setValueRange(float min, float max);
    /// The lower end of the range that maps onto the colour map: the one set, else 0.
    float valueMin() const;
    /// The upper end: the one set, else 255 (ZV_UINT8), 127 (ZV_INT8), 65535 (ZV_UINT16),
    /// 32767 (ZV_INT16), 2^32 - 1 (ZV_UINT32), 2^31 - 1 (ZV_INT32) or 1 (ZV_FLOAT32).
    float valueMax() const;

    /// Titles the colour bar that Window::draw shows beside the image when asked to (its
    /// colorBar argument): the text is written on a line of its own above the bar, which is
    /// that much shorter, ending inside the strip when it fits there. Null or empty removes
    /// the title (the default). The text is copied; it takes effect from the next draw, in
    /// every window. Needs no current context.
    void setColorBarTitle(const char* title);

    unsigned width() const;       ///< pixels per row
    unsigned height() const;      ///< rows
    ColorMode pixelFormat() const;  ///< the channel layout given at creation
    ZVType channelType() const;     ///< the element type given at creation
    /// Name of the GL_PIXEL_UNPACK_BUFFER-compatible buffer the application writes pixels into.
    unsigned pbo() const;
    /// Byte size of that buffer: width x height x channels x bytes per element.
    unsigned size() const;

    /// The internal record, for the library's own use.
    internal::_Image* get() const { return mValue.get(); }

private:
    std::shared_ptr<internal::_Image> mValue;
};

}  // namespace zv
