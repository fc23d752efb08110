#pragma once
/// @file zarvo/annotations.h
/// Marks on a chart that are not data: zv::ReferenceLine (a line at a value of x or y),
/// zv::Span (the shaded stretch between two values of x or y) and zv::Annotation (text at a
/// point in axis units). They take their values through setters, have no buffer, and move
/// with the chart's limits (pan, zoom, fit) as its data do.

#include <memory>
#include <string>

#include "zarvo/defines.h"
#include "zarvo/series.h"

namespace internal {
class _Mark;
}

namespace zv {

/// Which axis a reference line or span takes its values on.
enum MarkAxis : int {
    ZV_MARK_X = 0,  ///< at values of x: a vertical line, a span of columns
    ZV_MARK_Y = 1   ///< at values of y: a horizontal line, a span of rows
};

/// What the three kinds of mark share. Marks are added to a zv::Chart, where they are drawn
/// in the order added among its series, clipped to the frame, through the chart's limits and
/// axes. They never enter the chart's fit (fitAxesToData() and auto-fit look at the data
/// only), so that a threshold or a note does not stretch the view of the data; and they
/// take no colour of the chart's cycle, so that the data series keep their colours whether
/// marks are added or not. A labelled line or span gets a legend swatch of its colour.
/// Drawn alone (zv::Window::draw), a mark shows in an empty frame of limits 0 to 1.
///
/// Create marks with a window of the share group they will be drawn in current. Copies share
/// one mark.
class ZV_API Mark : public Series {
public:
    /// Colour, packed 0xRRGGBBAA; the alpha byte is the opacity.
    void setColor(Color color);
    /// The object the handles share, as every series gives it to windows and charts.
    std::shared_ptr<internal::AbstractChart2D> chartObject() const override;
    /// The internal record, for the library's own use.
    internal::_Mark* get() const { return mValue.get(); }

protected:
    Mark() = default;  // the kinds below make the record
    std::shared_ptr<internal::_Mark> mValue;
};

/// A line across the whole frame at one value of x (vertical) or y (horizontal), `width`
/// pixels wide (2 by default), light grey (0xC0C0C0FF) unless set. On a logarithmic axis a
/// value at or below zero shows no line.
class ZV_API ReferenceLine : public Mark {
public:
    /// @throws zv::ArgumentError (argument 1) for a value outside MarkAxis, (argument 2) for
    ///         a value that is not finite, before anything is made
    /// @throws zv::Error (ZV_ERR_GL) when no window of the library has its context current
    ReferenceLine(MarkAxis axis, float value);
    /// @throws zv::ArgumentError (argument 1) for a value that is not finite; it stays
    void setValue(float value);
    float value() const;
    /// @throws zv::ArgumentError (argument 1) for a width not in (0, 100] pixels; it stays
    void setWidth(float pixels);
    float width() const;
};

/// The stretch between two values of x (all rows between two columns) or of y, filled in
/// one colour at an opacity: light grey at 0.25 (0xC0C0C040) unless set. The two values may
/// come in either order; equal values fill nothing. On a logarithmic axis an end at or
/// below zero reaches past the frame's lower edge.
class ZV_API Span : public Mark {
public:
    /// @throws zv::ArgumentError (argument 1) for an axis outside MarkAxis, (argument 2 or 3)
    ///         for an end that is not finite, before anything is made
    /// @throws zv::Error (ZV_ERR_GL) when no window of the library has its context current
    Span(MarkAxis axis, float from, float to);
    /// @throws zv::ArgumentError (argument 1 or 2) for an end that is not finite; nothing
    ///         changes then
    void setRange(float from, float to);
    float from() const;
    float to() const;
};

/// Text at a point (x, y) in axis units, UTF-8, in the chart's font at the size of its tick
/// labels unless set: the first line starts at the point, on its baseline; a newline starts
/// a line below. White (0xFFFFFFFF) unless set. Text whose point lies outside the limits is
/// clipped to the frame with the data; on a logarithmic axis a coordinate at or below zero
/// shows nothing.
class ZV_API Annotation : public Mark {
public:
    /// @throws zv::ArgumentError (argument 2 or 3) for a coordinate that is not finite
    /// @throws zv::Error (ZV_ERR_GL) when no window of the library has its context current
    Annotation(const char* text, float x, float y);
    /// Null is taken as empty: nothing is drawn.
    void setText(const char* text);
    const std::string& text() const;
    /// @throws zv::ArgumentError (argument 1 or 2) for a coordinate that is not finite;
    ///         nothing changes then
    void setPosition(float x, float y);
    float x() const;
    float y() const;
    /// Size in pixels, 1 to 200.
    /// @throws zv::ArgumentError (argument 1) outside that; the size stays
    void setTextSize(int pixels);
    int textSize() const;
};

}  // namespace zv
