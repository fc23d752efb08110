#pragma once
/// @file zarvo/series.h
/// zv::Series: what every kind of series (zv::Plot, zv::Histogram, ...) has in common, so
/// that one window draw and one chart registration take them all.

#include <memory>

#include "zarvo/defines.h"

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

protected:
    Series() = default;
    Series(const Series& other) = default;
    Series& operator=(const Series& other) = default;
};

}  // namespace zv
