#pragma once
/// @file zarvo/data_layout.h
/// zv::DataLayout: where a series finds the x and y of each point in the buffers the library
/// makes for it.

namespace zv {

/// How a series' points lie in its buffers. Every layout keeps the series' element type
/// (ZVType) for x and y alike; offsets and strides count bytes.
enum DataLayoutKind : int {
    ZV_LAYOUT_INTERLEAVED = 0,  ///< x0, y0, x1, y1, ... tightly packed in one buffer
    ZV_LAYOUT_SEPARATE = 1,     ///< x0, x1, ... in one buffer and y0, y1, ... in another
    ZV_LAYOUT_STRIDED = 2,      ///< one record of `stride` bytes a point, x and y inside it
    ZV_LAYOUT_IMPLICIT_X = 3    ///< y0, y1, ... alone; x of point i is i * xStep + xStart
};

/// A small value: make one with a named constructor and hand it to the series.
///
///     zv::Plot p(n, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_NONE,
///                zv::DataLayout::strided(sizeof(Particle), offsetof(Particle, x),
///                                        offsetof(Particle, y)));
///
/// The series checks it when made (zv::ArgumentError with advice): strides and offsets
/// must be multiples of the element size, each field must lie inside its record, a record
/// may span at most 2048 bytes, and the step and start of an implicit x must be finite.
struct DataLayout {
    DataLayoutKind kind = ZV_LAYOUT_INTERLEAVED;
    unsigned stride = 0;   ///< bytes from one record to the next (ZV_LAYOUT_STRIDED)
    unsigned xOffset = 0;  ///< bytes from a record's start to its x (ZV_LAYOUT_STRIDED)
    unsigned yOffset = 0;  ///< bytes from a record's start to its y (ZV_LAYOUT_STRIDED)
    float xStep = 1.0f;    ///< x from one point to the next (ZV_LAYOUT_IMPLICIT_X)
    float xStart = 0.0f;   ///< x of point 0 (ZV_LAYOUT_IMPLICIT_X)

    /// x and y side by side, point after point: the default.
    static DataLayout interleaved() { return DataLayout(); }
    /// x in one buffer, y in another, each tightly packed (a simulation keeping arrays).
    static DataLayout separate() {
        DataLayout l;
        l.kind = ZV_LAYOUT_SEPARATE;
        return l;
    }
    /// Records of `strideBytes` one after another in one buffer (an array of structures),
    /// x at `xOffsetBytes` and y at `yOffsetBytes` from each record's start; bytes of the
    /// record that are neither are left alone.
    static DataLayout strided(unsigned strideBytes, unsigned xOffsetBytes, unsigned yOffsetBytes) {
        DataLayout l;
        l.kind = ZV_LAYOUT_STRIDED;
        l.stride = strideBytes;
        l.xOffset = xOffsetBytes;
        l.yOffset = yOffsetBytes;
        return l;
    }
    /// y alone (a sampled signal): point i is at x = i * step + start, i counted from the
    /// oldest point drawn (see zv::Plot::setRing), so a ring's newest sample stays at the
    /// right end.
    static DataLayout implicitX(float step = 1.0f, float start = 0.0f) {
        DataLayout l;
        l.kind = ZV_LAYOUT_IMPLICIT_X;
        l.xStep = step;
        l.xStart = start;
        return l;
    }
};

}  // namespace zv
