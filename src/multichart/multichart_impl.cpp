#include "multichart/multichart_impl.hpp"

#include <algorithm>
#include <cmath>
#include <string>

#include "exception/raise.hpp"
#include "gl/check.hpp"
#include "chart/chart_shaders.hpp"
#include "common/style.hpp"
#include "font/font_impl.hpp"

namespace internal {

namespace {
// Dark and translucent: the data under the legend stays faintly visible.
const float LEGEND_BACKGROUND[4] = {0.08f, 0.08f, 0.08f, 0.75f};

// The corner a style's legend placement names, or the chart's own.
zv::LegendCorner cornerOf(zv::LegendPlacement p, zv::LegendCorner own) {
    switch (p) {
        case zv::ZV_LEGEND_AT_TOP_RIGHT: return zv::ZV_LEGEND_TOP_RIGHT;
        case zv::ZV_LEGEND_AT_TOP_LEFT: return zv::ZV_LEGEND_TOP_LEFT;
        case zv::ZV_LEGEND_AT_BOTTOM_LEFT: return zv::ZV_LEGEND_BOTTOM_LEFT;
        case zv::ZV_LEGEND_AT_BOTTOM_RIGHT: return zv::ZV_LEGEND_BOTTOM_RIGHT;
        case zv::ZV_LEGEND_OUTSIDE_RIGHT: return zv::ZV_LEGEND_TOP_RIGHT;
        default: return own;
    }
}

// Width of a label in pixels at `size`, from the font's advances and kerning, reading the
// label as UTF-8 as the font draws it.
float labelWidth(font_impl& font, const std::string& text, int size) {
    if (!font.loaded() || font.loadedSize() < 1) {
        return 0.5f * static_cast<float>(size) * static_cast<float>(codePointCount(text.c_str()));
    }
    long long width = 0;
    int previous = -1;
    for (const char* p = text.c_str(); *p;) {
        const std::uint32_t cp = decodeUtf8(p);
        if (cp < static_cast<std::uint32_t>(FIRST_GLYPH_CODE) || (cp >= 0x7F && cp < 0xA0)) continue;
        const int k = font.glyphFor(cp);
        if (previous >= 0) width += scaleMetric(font.kerning(previous, k), size, font.loadedSize());
        width += scaleMetric(font.advance(k), size, font.loadedSize());
        previous = k;
    }
    return static_cast<float>(width);
}
}  // namespace

multichart_impl::multichart_impl() = default;

void multichart_impl::add(const std::shared_ptr<AbstractChart2D>& object, const char* label) {
    ChartSeries* kind = object ? object->asSeries() : nullptr;
    if (!kind) {
        ZV_FAIL(ChartAddsChart, "Chart::add");
    }
    if (object->group() != group()) {
        ZV_FAIL(ChartSeriesInOtherGroup, "Chart::add", kind->seriesKind());
    }
    if (xLog() || yLog()) {
        // The series names its failure, so the id is known only here at run time.
        if (const auto why = kind->logAxesRefusal()) {
            raiseFailure(*why, RaiseSite{"Chart::add", __LINE__, 1}, {});
        }
    }
    std::string text = label ? label : "";
    const float width = labelWidth(*font(), text, mLegend.textSize);
    for (SeriesSlot& s : series()) {
        if (s.key == object.get()) {
            s.label = std::move(text);
            s.labelWidth = width;
            return;
        }
    }
    if (!kind->colorSet()) kind->takeCycleColor(seriesCycleColor(mCycleNext++));
    SeriesSlot slot;
    slot.series = kind;
    slot.key = object.get();
    slot.owner = object;
    slot.label = std::move(text);
    slot.labelWidth = width;
    series().push_back(std::move(slot));
}

bool multichart_impl::remove(const AbstractChart2D* key) {
    auto it = std::find_if(series().begin(), series().end(),
                           [&](const SeriesSlot& s) { return s.key == key; });
    if (it == series().end()) return false;
    series().erase(it);
    return true;
}

size_t multichart_impl::labelled() const {
    return static_cast<size_t>(std::count_if(series().begin(), series().end(),
                                             [](const SeriesSlot& s) { return !s.label.empty(); }));
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
    ZV_FAIL(ChartLegendCorner, "Chart::setLegendCorner");
}

size_t multichart_impl::legendEntries(float& widest) const {
    size_t entries = 0;
    widest = 0.0f;
    for (const SeriesSlot& s : series()) {
        if (s.label.empty()) continue;
        ++entries;
        widest = std::max(widest, s.labelWidth);
    }
    return entries;
}

int multichart_impl::outsideRight(int frameWidth) const {
    if (appliedStyle().legend != zv::ZV_LEGEND_OUTSIDE_RIGHT) return 0;
    float widest = 0.0f;
    if (legendEntries(widest) == 0) return 0;
    const int room = static_cast<int>(std::ceil(legendRoom(widest, mLegend)));
    // A frame left with less than half its width would show too little data: the legend
    // goes back inside the frame then.
    return 2 * room <= frameWidth ? room : 0;
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

void multichart_impl::drawOverlays(const FrameDraw& f) {
    const int windowId = f.draw.windowId;
    const ChartLayout& c = f.layout;
    float widest = 0.0f;
    const size_t entries = legendEntries(widest);
    if (entries == 0) return;
    const zv::Style& style = *f.draw.style;

    // The layout was made for the drawing area, which a grid cell's viewport shrinks: the
    // legend is laid out in the viewport's own pixels, so its sizes stay whole pixels.
    const float vw = viewportWidth(f), vh = viewportHeight(f);
    const float kx = vw / static_cast<float>(c.width);
    const float ky = vh / static_cast<float>(c.height);
    const PixelRect frame{c.frameLeft * kx, c.frameBottom * ky, c.frameRight * kx,
                          c.frameTop * ky};
    // Outside when the layout left the room right of the frame (see outsideRight).
    const bool outside = style.legend == zv::ZV_LEGEND_OUTSIDE_RIGHT &&
                         vw - frame.x1 >= legendRoom(widest, mLegend);
    const PixelRect box =
        outside ? legendBoxOutside(frame, entries, widest, mLegend)
                : legendBox(frame, cornerOf(style.legend, mCorner), entries, widest, mLegend);
    // The library's own box colour keeps its exact shade.
    float boxColor[4];
    if (style.legendBox == zv::Style().legendBox)
        std::copy(LEGEND_BACKGROUND, LEGEND_BACKGROUND + 4, boxColor);
    else
        colorToFloats(style.legendBox, boxColor);
    float labelColor[4];
    colorToFloats(style.foreground, labelColor);

    bindResources(windowId);
    borderUniforms().use(windowId);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    fillRect(f, box, boxColor);
    glDisable(GL_BLEND);

    // Flat swatches, then what the series draw with their own programs (markers), then all
    // labels in one text run.
    struct Painter final : SwatchPainter {
        multichart_impl& chart;
        const FrameDraw& frame;
        Painter(multichart_impl& c, const FrameDraw& f) : chart(c), frame(f) {}
        void fill(const PixelRect& rect, const float color[4]) override {
            chart.fillRect(frame, rect, color);
        }
    } painter(*this, f);
    size_t k = 0;
    for (const SeriesSlot& s : series()) {
        if (s.label.empty()) continue;
        s.series->fillSwatch(legendEntry(box, k++, mLegend), painter);
    }
    k = 0;
    for (const SeriesSlot& s : series()) {
        if (s.label.empty()) continue;
        const LegendEntry e = legendEntry(box, k++, mLegend);
        s.series->drawSwatchMarker(f, 2.0f * e.markerX / vw - 1.0f, 2.0f * e.markerY / vh - 1.0f);
    }
    glUseProgram(0);
    unbindResources();

    font_impl& text = *font();
    if (!text.begin(windowId, static_cast<int>(vw), static_cast<int>(vh))) return;
    k = 0;
    for (const SeriesSlot& s : series()) {
        if (s.label.empty()) continue;
        const LegendEntry e = legendEntry(box, k++, mLegend);
        const float pos[2] = {e.textX, e.textY};
        text.drawString(pos, labelColor, s.label.c_str(), mLegend.textSize, false);
    }
    text.end();
}

}  // namespace internal
