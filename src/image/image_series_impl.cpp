#include "image/image_series_impl.hpp"

#include <algorithm>
#include <cmath>
#include <string>

#include "common/style.hpp"
#include "exception/raise.hpp"
#include "font/font_impl.hpp"
#include "gl/context.hpp"
#include "gl/gl_alloc.hpp"
#include "gl/state_guard.hpp"
#include "image/color_bar.hpp"
#include "image/color_bar_layout.hpp"

namespace internal {

namespace {
constexpr const char* CREATE = "ImageSeries::ImageSeries";
}  // namespace

std::shared_ptr<image_impl> image_series_impl::accept(std::shared_ptr<image_impl> image) {
    if (!image) ZV_FAIL(ImageSeriesNoImage, CREATE);
    if (image->group() != currentGroup()) {
        ZV_FAIL(ImageSeriesImageInOtherGroup, CREATE);
    }
    return image;
}

image_series_impl::image_series_impl(std::shared_ptr<image_impl> image)
    : mImage(std::move(image)) {
    {
        GLStateGuard guard;
        mCorners = makeDataBuffer(GL_ARRAY_BUFFER, 4 * sizeof(float), GL_DYNAMIC_DRAW, CREATE,
                                  "the image series' extent buffer");
    }
    // One unit a texel until the caller places the image.
    const float w = static_cast<float>(std::max(1u, mImage->width()));
    const float h = static_cast<float>(std::max(1u, mImage->height()));
    setExtent(0.0f, w, 0.0f, h);
    setAxesLimits(w, 0.0f, h, 0.0f, CREATE);
    SeriesSlot self;
    self.series = this;
    self.key = this;
    series().push_back(std::move(self));
}

image_series_impl::~image_series_impl() = default;

void image_series_impl::setExtent(float x0, float x1, float y0, float y1) {
    const char* label = "ImageSeries::setExtent";
    const float v[4] = {x0, x1, y0, y1};
    for (int i = 0; i < 4; ++i) {
        if (!std::isfinite(v[i])) {
            ZV_FAIL_ARG(ImageSeriesExtentNotFinite, label, i + 1);
        }
    }
    const char* names[2] = {"x", "y"};
    for (int a = 0; a < 2; ++a) {
        const float lo = v[2 * a], hi = v[2 * a + 1];
        if (lo == hi) {
            ZV_FAIL_ARG(ImageSeriesExtentEmpty, label, 2 * a + 2, names[a],
                        a == 0 ? "columns" : "rows");
        }
        if (!std::isfinite(hi - lo)) {
            ZV_FAIL_ARG(ImageSeriesExtentTooWide, label, 2 * a + 2, names[a]);
        }
    }
    std::copy(v, v + 4, mExtent);
    // The corners a fit reduces: uploaded now, in a context of the group, so that a fit
    // before the next draw sees them.
    ContextScope scope(group());
    if (!scope.ok()) return;  // no window left: nothing will be drawn or fitted
    const float corners[4] = {x0, y0, x1, y1};
    GLint previous = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &previous);
    glBindBuffer(GL_ARRAY_BUFFER, mCorners.get());
    glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof(corners), corners);
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(previous));
}

std::optional<ErrorId> image_series_impl::logAxesRefusal() const {
    return ErrorId::ImageSeriesLogAxes;
}

void image_series_impl::applyFit(const SeriesBounds& b) {
    const DataBounds& p = b.points;
    if (p.empty()) return;
    if (p.xmax == xmax() && p.xmin == xmin() && p.ymax == ymax() && p.ymin == ymin()) return;
    setAxesLimits(p.xmax, p.xmin, p.ymax, p.ymin, fitLabel());
}

void image_series_impl::drawSeries(const FrameDraw& f, const ChartAxes& axes) {
    // The extent in chart coordinates (the frame is [-1, 1]^2), then through the frame's
    // transform (px, py) -> (sx (px + ox), sy (py + oy)): the quad's corners (-1, -1) and
    // (1, 1) land on (x0, y0) and (x1, y1). Built in double, so that texel edges far out
    // on a zoomed axis stay where they belong.
    const double cx0 = chartPosition(axes.x, mExtent[0]), cx1 = chartPosition(axes.x, mExtent[1]);
    const double cy0 = chartPosition(axes.y, mExtent[2]), cy1 = chartPosition(axes.y, mExtent[3]);
    const ChartLayout& c = f.layout;
    const GLfloat matrix[16] = {
        static_cast<float>(c.sx * 0.5 * (cx1 - cx0)), 0.0f, 0.0f, 0.0f,
        0.0f, static_cast<float>(c.sy * 0.5 * (cy1 - cy0)), 0.0f, 0.0f,
        0.0f, 0.0f, 1.0f, 0.0f,
        static_cast<float>(c.sx * (0.5 * (cx0 + cx1) + c.ox)),
        static_cast<float>(c.sy * (0.5 * (cy0 + cy1) + c.oy)), 0.0f, 1.0f};
    mImage->drawQuad(f.draw, matrix, mLinear);
}

void image_series_impl::fillSwatch(const LegendEntry& entry, SwatchPainter& painter) const {
    // The swatch is the colour map itself, drawn with the bar's program (drawSwatchMarker).
    (void)entry;
    (void)painter;
}

void image_series_impl::drawSwatchMarker(const FrameDraw& f, float x, float y) {
    if (f.draw.colorMap == 0 || f.draw.colorMapRows == 0) return;
    const int vw = std::max(f.viewport[2], 1), vh = std::max(f.viewport[3], 1);
    const float cx = 0.5f * (x + 1.0f) * static_cast<float>(vw);
    const float cy = 0.5f * (y + 1.0f) * static_cast<float>(vh);
    const float half = 0.5f * LegendMetrics().barSize;
    drawColorSwatch(f.draw.windowId, cx - half, cy - half, cx + half, cy + half, vw, vh,
                    f.draw.colorMap, f.draw.colorMapRows);
}

float image_series_impl::barTitleWidth() {
    const std::string& title = mImage->colorBarTitle();
    if (title.empty()) return -1.0f;
    if (title != mTitleMeasured || mTitleWidth < 0.0f) {
        mTitleMeasured = title;
        mTitleWidth = colorBarTextWidth(*font(), title);
    }
    return mTitleWidth;
}

int image_series_impl::besideWidth(const DrawContext& draw) {
    if (!mColorBar || draw.colorMap == 0 || draw.colorMapRows == 0) return 0;
    const ColorBarLayout bar =
        colorBarLayout(draw.viewport.width, draw.viewport.height, barTitleWidth());
    return bar.shown ? draw.viewport.width - bar.imageWidth : 0;
}

void image_series_impl::drawBeside(const DrawContext& draw) {
    const int w = draw.viewport.width, h = draw.viewport.height;
    const ColorBarLayout bar = colorBarLayout(w, h, barTitleWidth());
    const float lo = mImage->valueMin(), hi = mImage->valueMax();
    if (mBarLabels.empty() || mLabelsMin != lo || mLabelsMax != hi) {
        mLabelsMin = lo;
        mLabelsMax = hi;
        mBarLabels = colorBarLabels(lo, hi);
    }
    float foreground[4];
    foregroundOf(draw.style, foreground);
    drawColorBar(draw.windowId, bar, w, h, draw.colorMap, draw.colorMapRows, *font(), mBarLabels,
                 mImage->colorBarTitle(), foreground);
}

}  // namespace internal
