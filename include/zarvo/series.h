#pragma once
/// @file zarvo/series.h
/// zv::Series: what every kind of series (zv::Plot, zv::Histogram, ...) has in common, so
/// that one window draw and one chart registration take them all.

#include <memory>

#include "zarvo/defines.h"
#include "zarvo/style.h"

namespace internal {
class AbstractChart2D;
}

namespace zv {

/// The base of every kind of series a window draws alone (whole window or grid cell) and a
/// zv::Chart holds: zv::Plot, zv::Histogram, zv::Band and the kinds to come. It is a handle, as they
/// are: every copy of a handle shares one series object. zv::Window::draw(const Series&) and
/// zv::Chart::add(const Series&, const char*) take any kind; the base itself is abstract and
/// only passed by reference.
class ZV_API Series {
public:
    virtual ~Series();
    /// The object the handle shares, for the library's own use. Reaching it checks that the
    /// caller is on the drawing thread.
    virtual std::shared_ptr<internal::AbstractChart2D> chartObject() const = 0;

    /// A style of the series' own for its draws alone (whole window or grid cell), which it
    /// then keeps whatever the window's style (see zv::Window::setStyle). Inside a zv::Chart
    /// the chart's style applies, apart from the line width a plot takes from it.
    /// @throws zv::ArgumentError (argument 1) for a font size, line width or enumeration value outside
    ///         what zv::Style allows; nothing
    ///         changes then
    void setStyle(const Style& style);
    /// The title written above the frame when the series is drawn alone with titles outside
    /// the frame (zv::ZV_TITLES_OUTSIDE); null or empty for none. Not drawn with titles
    /// inside, nor inside a zv::Chart (which has its own).
    void setTitle(const char* title);

protected:
    Series() = default;
    Series(const Series& other) = default;
    Series& operator=(const Series& other) = default;
};

}  // namespace zv
