#pragma once
/// @file zarvo/defines.h
/// Public enumerations, the packed colour type and the export macro of libzarvo.

#if defined(ZV_BUILDING_LIBRARY)
#define ZV_API __attribute__((visibility("default")))
#else
#define ZV_API
#endif

namespace zv {

/// Element type of the data an application writes into a buffer handed out by the library
/// (image pixels, plot points, histogram frequencies).
enum ZVType {
    ZV_INT8 = 0,     ///< signed 8-bit (GL_BYTE); images only
    ZV_UINT8 = 1,    ///< unsigned 8-bit (GL_UNSIGNED_BYTE)
    ZV_INT32 = 2,    ///< signed 32-bit (GL_INT)
    ZV_UINT32 = 3,   ///< unsigned 32-bit (GL_UNSIGNED_INT)
    ZV_FLOAT32 = 4,  ///< 32-bit float (GL_FLOAT)
    ZV_INT16 = 5,    ///< signed 16-bit (GL_SHORT)
    ZV_UINT16 = 6    ///< unsigned 16-bit (GL_UNSIGNED_SHORT)
};

/// Channel layout of an image; the value is the number of channels per pixel.
enum ColorMode {
    ZV_GRAYSCALE = 1,  ///< one channel (GL_RED)
    ZV_RGB = 3,        ///< three channels (GL_RGB)
    ZV_RGBA = 4        ///< four channels (GL_RGBA); alpha does not reach the screen
};

/// The seven built-in colour maps a window draws images through.
enum ColorMap {
    ZV_CMAP_DEFAULT = 0,   ///< grey ramp, black to white (256 rows)
    ZV_CMAP_SPECTRUM = 1,  ///< near black through purple, blue, green, yellow, red to light grey (257 rows)
    ZV_CMAP_COLORS = 2,    ///< saturated hue circle from red back to red (259 rows)
    ZV_CMAP_RED = 3,       ///< white through yellow and orange to dark red (254 rows)
    ZV_CMAP_MOOD = 4,      ///< violet through blue and teal to yellow-green (256 rows)
    ZV_CMAP_HEAT = 5,      ///< black through blue-violet, red, orange, yellow to white (64 rows)
    ZV_CMAP_BLUE = 6       ///< white through light blue to dark navy (254 rows)
};

/// Kind of plot.
enum ZVPlotType {
    ZV_PLOT_LINE = 0,    ///< points joined by a line strip (any value but 1 means this)
    ZV_PLOT_SCATTER = 1  ///< markers only
};

/// Marker shape drawn at every point of a plot.
enum ZVMarkerType {
    ZV_MARKER_NONE = 0,      ///< no markers
    ZV_MARKER_POINT = 1,     ///< filled disc
    ZV_MARKER_CIRCLE = 2,    ///< ring
    ZV_MARKER_SQUARE = 3,    ///< square outline
    ZV_MARKER_TRIANGLE = 4,  ///< filled triangle, apex up
    ZV_MARKER_CROSS = 5,     ///< diagonal cross
    ZV_MARKER_PLUS = 6,      ///< upright cross
    ZV_MARKER_STAR = 7       ///< diagonal and upright cross together
};

/// Corner of a chart's frame that its legend sits in.
enum LegendCorner {
    ZV_LEGEND_TOP_RIGHT = 0,    ///< the default
    ZV_LEGEND_TOP_LEFT = 1,
    ZV_LEGEND_BOTTOM_LEFT = 2,
    ZV_LEGEND_BOTTOM_RIGHT = 3
};

/// Numeric code carried by every zv::Error.
enum ErrorCode {
    ZV_ERR_DIMENSION = 1001,  ///< a bad dimension (zv::DimensionError)
    ZV_ERR_TYPE = 1002,       ///< an unsupported data type (zv::TypeError)
    ZV_ERR_ARGUMENT = 1003,   ///< a bad argument (zv::ArgumentError)
    ZV_ERR_GL = 2001,         ///< OpenGL, shaders, files, window system and entry-point loading
    ZV_ERR_FONT = 3001        ///< FreeType and fontconfig
};

/// A colour packed as 0xRRGGBBAA; each byte k means k / 255 (0xFF0000FF is opaque red).
typedef unsigned int Color;

}  // namespace zv
