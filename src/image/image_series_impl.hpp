#pragma once
// An image shown on a chart's axes: the image's texture drawn over a rectangle of data
// coordinates (its extent) inside the chart frame, so that ticks, titles, fits, the mouse
// and other series drawn over it all share the frame's axes. The pixels stay the image's:
// the series draws the image's own texture, uploaded from its pixel buffer at every draw, and
// reads its value range and colour-bar title.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "chart/chart_impl.hpp"
#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"
#include "image/image_impl.hpp"
#include "zarvo/defines.h"

namespace internal {

class font_impl;

// An image series is a chart of one series, itself, or a series of a chart of several.
class image_series_impl : public AbstractChart2D, public ChartSeries {
public:
    // The image, once it is known to belong to the share group whose window is current (the
    // series' frame objects are made there, and the image's texture exists there only);
    // raises zv::ArgumentError (argument 1, "ImageSeries::ImageSeries") for another group
    // or no image. Called before the series is made.
    static std::shared_ptr<image_impl> accept(std::shared_ptr<image_impl> image);
    // Shows an accepted image over [0, width] x [0, height] until setExtent, with those
    // limits. A window of the image's share group must be current; raises what the chart
    // frame raises.
    explicit image_series_impl(std::shared_ptr<image_impl> image);
    ~image_series_impl() override;

    // The first column's left edge at x0 and the last column's right edge at x1; the last
    // row's lower edge at y0 and the first row's upper edge at y1 (the picture upright, as
    // the image drawn alone shows it). Reversed ends mirror. Raises zv::ArgumentError
    // (argument 1 to 4) for an end that is not finite, (argument 2 or 4) for ends equal or
    // so far apart that their distance is no finite float; nothing changes then.
    void setExtent(float x0, float x1, float y0, float y1);
    const float* extent() const { return mExtent; }  // x0, x1, y0, y1
    // Linear (true) or nearest (false, the default) sampling between texel centres.
    void setLinearFilter(bool on) { mLinear = on; }
    bool linearFilter() const { return mLinear; }
    void setColorBar(bool on) { mColorBar = on; }
    bool colorBar() const { return mColorBar; }
    const std::shared_ptr<image_impl>& image() const { return mImage; }

    // The chart owns no data buffer of its own: the pixels are the image's.
    GLuint vbo() const override { return 0; }
    size_t size() const override { return 0; }

    // As a series (see chart_series.hpp): the fit reduces the extent's two corners; the
    // legend swatch is the colour map as a small bar.
    void drawSeries(const FrameDraw& frame, const ChartAxes& axes) override;
    SeriesData seriesData() const override { return packedPairs(mCorners.get(), GL_FLOAT, 2); }
    void addBounds(SeriesBounds& bounds, const DataBounds& range) const override {
        bounds.addPoints(range);
    }
    void fillSwatch(const LegendEntry& entry, SwatchPainter& painter) const override;
    void drawSwatchMarker(const FrameDraw& frame, float x, float y) override;
    // A colour map has no colour of the cycle to take.
    bool colorSet() const override { return true; }
    void takeCycleColor(zv::Color color) override { (void)color; }
    const char* seriesKind() const override { return "image series"; }
    ChartSeries* asSeries() override { return this; }
    std::optional<ErrorId> logAxesRefusal() const override;
    // The colour bar's strip, when it is on and the viewport has room for it.
    int besideWidth(const DrawContext& draw) override;
    void drawBeside(const DrawContext& draw) override;

protected:
    const char* fitLabel() const override { return "ImageSeries::fitAxesToData"; }
    // Alone: the limits become the extent exactly.
    void applyFit(const SeriesBounds& bounds) override;

private:
    float barTitleWidth();

    std::shared_ptr<image_impl> mImage;
    float mExtent[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    bool mLinear = false;
    bool mColorBar = false;
    GLBuffer mCorners;  // the extent's corners (x0, y0), (x1, y1), for fits
    // The colour bar's font and labels, made again only when the range or title changes.
    std::shared_ptr<font_impl> mBarFont;
    std::vector<std::string> mBarLabels;
    std::string mTitleMeasured;
    float mTitleWidth = -1.0f;
    float mLabelsMin = 0.0f, mLabelsMax = 0.0f;
};

}  // namespace internal
