#include "multichart/multichart_impl.hpp"

#include <algorithm>
#include <string>

#include "gl/raise.hpp"
#include "gl/check.hpp"
#include "chart/chart_shaders.hpp"
#include "font/font_impl.hpp"

namespace internal {

namespace {
// Dark and translucent: the data under the legend stays faintly visible.
const float LEGEND_BACKGROUND[4] = {0.08f, 0.08f, 0.08f, 0.75f};
const float LABEL_COLOR[4] = {1.0f, 1.0f, 1.0f, 1.0f};

// Width of a label in pixels at `size`, from the font's advances.
float labelWidth(const font_impl& font, const std::string& text, int size) {
    if (!font.loaded() || font.loadedSize() < 1) {
        return 0.5f * static_cast<float>(size) * static_cast<float>(text.size());
    }
    long long width = 0;
    for (char ch : text) {
        const int b = static_cast<signed char>(ch);
        if (b >= FIRST_GLYPH_CODE && b <= LAST_GLYPH_CODE)
            width += scaleMetric(font.advance(b - FIRST_GLYPH_CODE), size, font.loadedSize());
    }
    return static_cast<float>(width);
}
}  // namespace

multichart_impl::multichart_impl() = default;

void multichart_impl::add(const std::shared_ptr<plot_impl>& plot, const char* label) {
    Series s;
    s.plot = plot;
    addSeries(std::move(s), plot->group(), "plot", label, plot->colorSet());
}

void multichart_impl::add(const std::shared_ptr<hist_impl>& histogram, const char* label) {
    Series s;
    s.hist = histogram;
    addSeries(std::move(s), histogram->group(), "histogram", label, histogram->colorSet());
}

void multichart_impl::addSeries(Series series, const std::shared_ptr<ShareGroup>& objectGroup,
                                const char* kind, const char* label, bool colorSet) {
    if (objectGroup != group()) {
        ZV_RAISE_ARG("Chart::add", 1,
                     std::string("the ") + kind +
                         " belongs to another share group than the chart: create both while a "
                         "window of the same group is current");
    }
    if (label) series.label = label;
    series.labelWidth = labelWidth(*font(), series.label, mLegend.textSize);
    for (Series& s : mSeries) {
        if (s.key() == series.key()) {
            s.label = std::move(series.label);
            s.labelWidth = series.labelWidth;
            return;
        }
    }
    if (!colorSet) {
        const zv::Color c = seriesCycleColor(mCycleNext++);
        const float r = static_cast<float>(c >> 24) / 255.0f;
        const float g = static_cast<float>((c >> 16) & 0xFF) / 255.0f;
        const float b = static_cast<float>((c >> 8) & 0xFF) / 255.0f;
        if (series.plot) series.plot->setColor(c);
        else series.hist->setBarColor(r, g, b);
    }
    mSeries.push_back(std::move(series));
}

bool multichart_impl::remove(const AbstractChart2D* series) {
    auto it = std::find_if(mSeries.begin(), mSeries.end(),
                           [&](const Series& s) { return s.key() == series; });
    if (it == mSeries.end()) return false;
    mSeries.erase(it);
    return true;
}

size_t multichart_impl::labelled() const {
    return static_cast<size_t>(std::count_if(mSeries.begin(), mSeries.end(),
                                             [](const Series& s) { return !s.label.empty(); }));
}

void multichart_impl::setLegendCorner(zv::LegendCorner corner) {
    switch (corner) {
        case zv::ZV_LEGEND_TOP_RIGHT:
        case zv::ZV_LEGEND_TOP_LEFT:
        case zv::ZV_LEGEND_BOTTOM_LEFT:
        case zv::ZV_LEGEND_BOTTOM_RIGHT:
            mCorner = corner;
            return;
    }
    ZV_RAISE_ARG("Chart::setLegendCorner", 1,
                 "pass one of ZV_LEGEND_TOP_RIGHT, ZV_LEGEND_TOP_LEFT, ZV_LEGEND_BOTTOM_LEFT "
                 "or ZV_LEGEND_BOTTOM_RIGHT");
}

DataRange& multichart_impl::rangeOf(Series& s) {
    if (!s.range) {
        if (s.plot)
            s.range.reset(new DataRange(s.plot->vbo(), s.plot->glType(), 2, s.plot->numPoints()));
        else
            s.range.reset(new DataRange(s.hist->vbo(), s.hist->glType(), 1, s.hist->bins()));
    }
    return *s.range;
}

void multichart_impl::applyFit(const SeriesBounds& b) {
    FittedLimits f;
    if (!fitSeries(b, {xmin(), xmax(), ymin(), ymax()}, f)) return;
    if (!settleFit(f.xmax, f.xmin, f.ymax, f.ymin)) return;
    setAxesLimits(f.xmax, f.xmin, f.ymax, f.ymin, "Chart::fitAxesToData");
}

void multichart_impl::fitAxesToData() {
    ContextScope scope(group());
    if (!scope.ok()) {
        ZV_RAISE_ARG("Chart::fitAxesToData", 0,
                     "the chart's share group has no window left: fit while a window of its "
                     "group exists");
    }
    const int id = currentWindowId();
    SeriesBounds b;
    for (Series& s : mSeries) {
        if (s.plot) b.addPoints(rangeOf(s).compute(id));
        else b.addBars(rangeOf(s).compute(id));
    }
    applyFit(b);
}

void multichart_impl::setAutoFit(bool on) {
    if (on && !mAutoFit) {
        for (Series& s : mSeries)
            if (s.range) s.range->resetFollow();
    }
    mAutoFit = on;
    setFollowPausedByMouse(false);
}

void multichart_impl::render(const DrawContext& draw) {
    ZV_CHECK_POINT("Begin Chart::render series");
    const int windowId = draw.windowId;
    if (mAutoFit && !mSeries.empty()) {
        // Every series' reduction is started each draw; the limits move once all of them
        // have one two draws old, so a series added late does not make them jump twice.
        SeriesBounds b;
        bool ready = true;
        for (Series& s : mSeries) {
            DataBounds d;
            if (s.plot ? s.plot->numPoints() == 0 : s.hist->bins() == 0) continue;  // no data
            if (!rangeOf(s).follow(windowId, d)) ready = false;
            else if (s.plot) b.addPoints(d);
            else b.addBars(d);
        }
        if (ready) applyFit(b);
    }
    const FrameDraw f = frameDraw(draw);
    if (beginDataClip(f)) {
        // One data transform for every series: the chart's limits, not the series' own.
        const AxisMap ax = xMap(), ay = yMap();
        const glm::mat4 data = dataTransform(f.layout, ax, ay);
        for (const Series& s : mSeries) {
            if (s.plot) s.plot->renderSeries(f, data, ax, ay);
            else s.hist->renderBars(f, ymax(), ay);
        }
    }
    endDataClip();
    renderChart(f);
    if (f.layout.hasDataArea) renderLegend(f);
    ZV_CHECK_POINT("End Chart::render series");
}

namespace {
// The frame's viewport as the legend lays itself out in it, never empty.
float viewportWidth(const FrameDraw& f) { return static_cast<float>(std::max(f.viewport[2], 1)); }
float viewportHeight(const FrameDraw& f) { return static_cast<float>(std::max(f.viewport[3], 1)); }
}  // namespace

void multichart_impl::fillRect(const FrameDraw& f, const PixelRect& r, const float color[4]) {
    // The frame's square [-1, 1]^2 onto the rectangle, in the viewport's clip space.
    const float vw = viewportWidth(f), vh = viewportHeight(f);
    glm::mat4 t(1.0f);
    t[0][0] = (r.x1 - r.x0) / vw;
    t[1][1] = (r.y1 - r.y0) / vh;
    t[3][0] = (r.x0 + r.x1) / vw - 1.0f;
    t[3][1] = (r.y0 + r.y1) / vh - 1.0f;
    borderUniforms().setMatrix4(ChartBorderUniforms::TRANSFORM, &t[0][0]);
    borderUniforms().setVec4(ChartBorderUniforms::COLOR, color);
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
}

void multichart_impl::renderLegend(const FrameDraw& f) {
    const int windowId = f.draw.windowId;
    const ChartLayout& c = f.layout;
    size_t entries = 0;
    float widest = 0.0f;
    for (const Series& s : mSeries) {
        if (s.label.empty()) continue;
        ++entries;
        widest = std::max(widest, s.labelWidth);
    }
    if (entries == 0) return;

    // The layout was made for the drawing area, which a grid cell's viewport shrinks: the
    // legend is laid out in the viewport's own pixels, so its sizes stay whole pixels.
    const float vw = viewportWidth(f), vh = viewportHeight(f);
    const float kx = vw / static_cast<float>(c.width);
    const float ky = vh / static_cast<float>(c.height);
    const PixelRect frame{c.frameLeft * kx, c.frameBottom * ky, c.frameRight * kx,
                          c.frameTop * ky};
    const PixelRect box = legendBox(frame, mCorner, entries, widest, mLegend);

    bindResources(windowId);
    borderUniforms().use(windowId);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    fillRect(f, box, LEGEND_BACKGROUND);
    glDisable(GL_BLEND);

    // Swatches, then markers (each plot's own program), then all labels in one text run.
    size_t k = 0;
    for (const Series& s : mSeries) {
        if (s.label.empty()) continue;
        const LegendEntry e = legendEntry(box, k++, mLegend);
        if (s.hist) {
            fillRect(f, e.bar, s.hist->barColor());
        } else if (s.plot->markerType() == zv::ZV_MARKER_NONE ||
                   dynamic_cast<const scatter_impl*>(s.plot.get()) == nullptr) {
            fillRect(f, e.line, s.plot->color());
        }
    }
    k = 0;
    for (const Series& s : mSeries) {
        if (s.label.empty()) continue;
        const LegendEntry e = legendEntry(box, k++, mLegend);
        if (!s.plot) continue;
        s.plot->renderMarkerAt(f, 2.0f * e.markerX / vw - 1.0f, 2.0f * e.markerY / vh - 1.0f);
    }
    glUseProgram(0);
    unbindResources();

    font_impl& text = *font();
    if (!text.begin(windowId, static_cast<int>(vw), static_cast<int>(vh))) return;
    k = 0;
    for (const Series& s : mSeries) {
        if (s.label.empty()) continue;
        const LegendEntry e = legendEntry(box, k++, mLegend);
        const float pos[2] = {e.textX, e.textY};
        text.drawString(pos, LABEL_COLOR, s.label.c_str(), mLegend.textSize, false);
    }
    text.end();
}

}  // namespace internal
