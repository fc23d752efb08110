#pragma once
// Marks: reference lines, spans and text annotations, series of a chart that have no data
// buffer. Their values come through setters; each draw places them through the chart's axes.

#include <cstddef>
#include <string>

#include "chart/chart_impl.hpp"
#include "gl/gl.hpp"
#include "gl/shared_program.hpp"
#include "gl/uniforms.hpp"
#include "gl/vertex_arrays.hpp"
#include "zarvo/annotations.h"
#include "zarvo/defines.h"

namespace internal {

class mark_impl : public AbstractChart2D, public ChartSeries {
public:
    enum class Kind { Line, Span, Text };

    // A line at a (axis a zv::MarkAxis), a span from a to b, or text at (a, b). Raises
    // zv::ArgumentError, recorded as `label`, before anything is made: argument 1 for an
    // axis outside MarkAxis (lines and spans), argument 2 or 3 for a value that is not
    // finite. A window of the share group the mark will be drawn in must be current.
    mark_impl(Kind kind, int axis, float a, float b, const char* label);
    ~mark_impl() override;

    Kind kind() const { return mKind; }
    bool onY() const { return mOnY; }
    // Raise zv::ArgumentError (argument 1 or 2, recorded as `label`) for a value that is
    // not finite; nothing changes then.
    void setValues(float a, float b, const char* label);
    float a() const { return mA; }
    float b() const { return mB; }
    void setColor(zv::Color color);
    const float* color() const { return mColor; }
    // Raises zv::ArgumentError (argument 1) outside (0, 100].
    void setWidth(float pixels);
    float width() const { return mWidth; }
    void setText(const char* text) { mText = text ? text : ""; }
    const std::string& text() const { return mText; }
    // Raises zv::ArgumentError (argument 1) outside 1 to 200.
    void setTextSize(int pixels);
    int textSize() const { return mTextSize; }

    // No data: nothing to reduce or fit.
    GLuint vbo() const override { return 0; }
    size_t size() const override { return 0; }
    void drawSeries(const FrameDraw& frame, const ChartAxes& axes) override;
    SeriesData seriesData() const override { return {}; }
    void addBounds(SeriesBounds& bounds, const DataBounds& range) const override {
        (void)bounds;
        (void)range;
    }
    void fillSwatch(const LegendEntry& entry, SwatchPainter& painter) const override;
    // Marks keep their own colours: the cycle is the data's.
    bool colorSet() const override { return true; }
    void takeCycleColor(zv::Color color) override { (void)color; }
    const char* seriesKind() const override {
        return mKind == Kind::Line ? "reference line" : mKind == Kind::Span ? "span" : "annotation";
    }
    ChartSeries* asSeries() override { return this; }

protected:
    const char* fitLabel() const override { return "Chart::fitAxesToData"; }

private:
    void drawRect(int windowId, const float rect[4]);
    void drawText(const FrameDraw& frame, const ChartAxes& axes);

    Kind mKind;
    bool mOnY = false;
    float mA = 0.0f;
    float mB = 0.0f;
    float mColor[4];
    float mWidth = 2.0f;
    std::string mText;
    int mTextSize = CHART_TEXT_SIZE;
    ProgramRef mProgram;
    VertexArrayMap mVAOs;  // empty: the corners come from the vertex number
};

}  // namespace internal
